// An unsorted list of texts, each with an integer object beside it; duplicates allowed, lookups
// by name without regard to case. Changes can be bracketed by BeginUpdate/EndUpdate.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "ZPrinters/ZExport.h"

namespace Zprinters {

class ZPRINTERS_API TZStringList {
  public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Raise EListError for an index outside the list.
    const QString& Strings(int index) const;
    intptr_t Objects(int index) const;
    int Add(const QString& s);
    int AddObject(const QString& s, intptr_t object);
    void Delete(int index);
    void Clear() { items_.clear(); }
    // First position whose text equals s without regard to case; -1 when none.
    int IndexOf(const QString& s) const;
    // First position whose object equals object; -1 when none.
    int IndexOfObject(intptr_t object) const;
    QStringList Texts() const;

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate() {
        if (updateCount_ > 0) --updateCount_;
    }
    int UpdateCount() const { return updateCount_; }

  private:
    struct Item {
        QString text;
        intptr_t object;
    };
    void CheckIndex(int index) const;
    std::vector<Item> items_;
    int updateCount_ = 0;
};

}  // namespace Zprinters
