// Setting a drop-down list from code the way the form runtime does it: the list's click
// handler runs every time, even when the value does not change. User choices should reach the
// handlers through QComboBox::activated only, so no handler runs twice.
#pragma once

#include <QString>
#include <Qt>
#include <functional>

class QComboBox;

namespace tw::ui {

// Selects entry index (-1: no entry) and runs onClick (when given). Returns false, changing
// nothing and running nothing, for an index outside -1 to count - 1.
bool SetComboIndex(QComboBox* combo, int index, const std::function<void()>& onClick = {});
// Selects the first entry whose text equals text (as the database compares texts: ASCII letters
// without regard to case) and runs onClick. Returns false, changing nothing and running nothing,
// when no entry has that text.
bool SetComboText(QComboBox* combo, const QString& text, const std::function<void()>& onClick = {});

// Lists of names whose entries carry the code of their record (item data), so that two records
// of the same name stay apart, and the record's stored name (kComboNameRole) where the entry's
// text tells namesakes apart. The code of the selected entry; empty when none is selected.
QString ComboCode(const QComboBox* combo);
inline constexpr int kComboNameRole = Qt::UserRole + 1;
// The stored name of the selected entry (its text where it carries none); empty when none is
// selected.
QString ComboName(const QComboBox* combo);
// The first entry whose code equals code (compared as the database does); -1 when none has it.
int ComboIndexOfCode(const QComboBox* combo, const QString& code);
// Selects the first entry whose code equals code (compared as the database does) and runs
// onClick; false, changing nothing and running nothing, when no entry has that code.
bool SetComboCode(QComboBox* combo, const QString& code, const std::function<void()>& onClick = {});

}  // namespace tw::ui
