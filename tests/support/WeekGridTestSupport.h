// Mouse input on the week grid of the limit, pre-setting and hand-editing forms in tests.
#pragma once

#include <QApplication>
#include <QMouseEvent>

#include "ui/WeekGrid.h"

namespace twtest {

// Presses and releases a mouse button over the centre of a grid cell.
inline void Release(tw::ui::WeekGrid& grid, int row, int column, Qt::MouseButton button) {
    const QPointF pos = grid.CellCenter(row, column);
    QMouseEvent press(QEvent::MouseButtonPress, pos, grid.viewport()->mapToGlobal(pos), button,
                      button, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, grid.viewport()->mapToGlobal(pos), button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &release);
}

}  // namespace twtest
