#include "ZPrinters/ZStringList.h"

#include "ZPrinters/ZErrors.h"

namespace Zprinters {

void TZStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

const QString& TZStringList::Strings(int index) const {
    CheckIndex(index);
    return items_[index].text;
}

intptr_t TZStringList::Objects(int index) const {
    CheckIndex(index);
    return items_[index].object;
}

int TZStringList::Add(const QString& s) {
    return AddObject(s, 0);
}

int TZStringList::AddObject(const QString& s, intptr_t object) {
    items_.push_back({s, object});
    return Count() - 1;
}

void TZStringList::Delete(int index) {
    CheckIndex(index);
    items_.erase(items_.begin() + index);
}

int TZStringList::IndexOf(const QString& s) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[i].text.compare(s, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int TZStringList::IndexOfObject(intptr_t object) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[i].object == object) return i;
    return -1;
}

QStringList TZStringList::Texts() const {
    QStringList out;
    for (const auto& it : items_) out << it.text;
    return out;
}

}  // namespace Zprinters
