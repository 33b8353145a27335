#include "ComboRuntime.h"

#include <QComboBox>

namespace tw::data {

bool SetComboIndex(QComboBox* combo, int index, const std::function<void()>& onClick) {
    if (index < -1 || index >= combo->count()) {
        return false;
    }
    combo->setCurrentIndex(index);
    if (onClick) {
        onClick();
    }
    return true;
}

bool SetComboText(QComboBox* combo, const QString& text, const std::function<void()>& onClick) {
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
            return SetComboIndex(combo, i, onClick);
        }
    }
    return false;
}

}  // namespace tw::data
