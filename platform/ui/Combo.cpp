#include "Combo.h"

#include <QComboBox>

namespace tw::ui {

bool SetComboIndex(QComboBox* combo, int index, const std::function<void()>& onClick) {
    if (!combo || index < -1 || index >= combo->count()) return false;
    combo->setCurrentIndex(index);
    if (onClick) onClick();
    return true;
}

bool SetComboText(QComboBox* combo, const QString& text, const std::function<void()>& onClick) {
    if (!combo) return false;
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return SetComboIndex(combo, i, onClick);
    return false;
}

}  // namespace tw::ui
