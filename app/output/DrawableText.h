// Whether the names a print data file carries can be drawn: a character that no installed font
// has prints as an empty box, so the print command names such names before it prints.
#pragma once

#include <QString>
#include <QStringList>

namespace tw::output {

// The values of the print data file at path (GB18030) that hold a character no installed font
// can draw, each once, in the order first met, written as the value followed by its characters
// that cannot be drawn in "（" "）". Empty when every character can be drawn or the file cannot
// be read.
QStringList UndrawableNames(const QString& path);

}  // namespace tw::output
