#include "Combo.h"

#include <QComboBox>

#include "db/CodeOrder.h"

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
        if (tw::db::SameCode(combo->itemText(i), text)) return SetComboIndex(combo, i, onClick);
    return false;
}

QString ComboCode(const QComboBox* combo) {
    return combo->currentIndex() < 0 ? QString() : combo->currentData().toString();
}

QString ComboName(const QComboBox* combo) {
    const int i = combo->currentIndex();
    if (i < 0) return QString();
    const QVariant name = combo->itemData(i, kComboNameRole);
    return name.isValid() ? name.toString() : combo->itemText(i);
}

int ComboIndexOfCode(const QComboBox* combo, const QString& code) {
    for (int i = 0; combo && i < combo->count(); ++i)
        if (tw::db::SameCode(combo->itemData(i).toString(), code)) return i;
    return -1;
}

bool SetComboCode(QComboBox* combo, const QString& code, const std::function<void()>& onClick) {
    const int index = ComboIndexOfCode(combo, code);
    return index >= 0 && SetComboIndex(combo, index, onClick);
}

}  // namespace tw::ui
