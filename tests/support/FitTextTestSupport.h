// Checks that a control of fixed size reads: its text drawn at 8 pt or more, either whole inside
// the control or cut at its end with "…" while the tooltip holds the whole text; and the tooltip
// of a list item.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QThread>
#include <QToolTip>

#include "ui/FitText.h"

namespace twtest {

// The width a control has for its text in its current font.
inline int TextRoom(QWidget* w) {
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        return combo->style()
                   ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                    combo)
                   .width() -
               2;
    }
    auto* label = qobject_cast<QLabel*>(w);
    return label ? label->contentsRect().width() : w->width();
}

inline QString WholeText(QWidget* w) {
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    return QString();
}

inline ::testing::AssertionResult ReadsWholeOrCut(QWidget* w) {
    const QString whole = WholeText(w);
    const QString shown = tw::ui::ShownText(w);
    const QFont font = w->font();
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    if (points < 7.99) {
        return ::testing::AssertionFailure()
               << w->objectName().toStdString() << " at " << points << " pt";
    }
    if (QFontMetrics(w->font()).horizontalAdvance(shown) > TextRoom(w)) {
        return ::testing::AssertionFailure()
               << w->objectName().toStdString() << " draws \"" << shown.toStdString()
               << "\" wider than its room of " << TextRoom(w) << " px";
    }
    if (shown == whole) return ::testing::AssertionSuccess();
    if (!shown.endsWith(QStringLiteral("…")) || w->toolTip() != whole ||
        !whole.startsWith(shown.chopped(1))) {
        return ::testing::AssertionFailure()
               << w->objectName().toStdString() << " draws \"" << shown.toStdString() << "\" for \""
               << whole.toStdString() << "\" with the tooltip \"" << w->toolTip().toStdString()
               << "\"";
    }
    return ::testing::AssertionSuccess();
}

// Hides the tooltip and waits until it is gone (it hides on a timer).
inline void HideTip() {
    QToolTip::hideText();
    QElapsedTimer waited;
    waited.start();
    while (QToolTip::isVisible() && waited.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

// The tooltip a list shows when the mouse rests on an item (empty when it shows none).
inline QString TipOfItem(QAbstractItemView* view, const QModelIndex& index) {
    HideTip();
    const QPoint pos = view->visualRect(index).center();
    QHelpEvent help(QEvent::ToolTip, pos, view->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(view->viewport(), &help);
    const QString tip = QToolTip::isVisible() ? QToolTip::text() : QString();
    HideTip();
    return tip;
}

}  // namespace twtest
