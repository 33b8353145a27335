// Small helpers shared by the data-entry forms: sizes in twips, the forms' font, the blank
// trimming of typed text, the red/white colours of the input checks and buttons that never act
// as default.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include "Units.h"

class QAbstractButton;
class QPushButton;
class QWidget;

namespace tw::ui {

// Places a widget at left, top, width, height given in twips.
void PlaceTwips(QWidget* w, int left, int top, int width, int height);

// The family the forms were designed in.
inline const QString kFormFontFamily = QStringLiteral("宋体");
// The forms' font at a size in points. The design's family is not installed here; it is made to
// resolve to the installed Chinese font, for Latin text too, the same in every form.
QFont FormFont(int pointSize);

// Removes leading and trailing blanks (spaces) only, as the form runtime's Trim does.
QString Trim(const QString& text);

inline const QColor kCheckFailColor{255, 0, 0};
inline const QColor kCheckPassColor{255, 255, 255};
// Paints an input control red (failed) or white (passed); the colour stays until changed.
void PaintCheck(QWidget* w, bool passed);
// The colour a check last painted (the base colour of the control).
QColor CheckColor(const QWidget* w);

// A push button that Enter in another control never presses.
QPushButton* MakeButton(const QString& name, const QString& caption, QWidget* parent);

}  // namespace tw::ui
