// Setting a drop-down list from code the way the form runtime does it: the list's click
// handler runs every time, even when the value does not change. User choices should reach the
// handlers through QComboBox::activated only, so no handler runs twice.
#pragma once

#include <QString>
#include <functional>

class QComboBox;

namespace tw::ui {

// Selects entry index (-1: no entry) and runs onClick (when given). Returns false, changing
// nothing and running nothing, for an index outside -1 to count - 1.
bool SetComboIndex(QComboBox* combo, int index, const std::function<void()>& onClick = {});
// Selects the first entry whose text equals text (without regard to case) and runs onClick.
// Returns false, changing nothing and running nothing, when no entry has that text.
bool SetComboText(QComboBox* combo, const QString& text, const std::function<void()>& onClick = {});

}  // namespace tw::ui
