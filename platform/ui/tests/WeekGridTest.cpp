// The shared week grid: lesson/row mapping, layout for 6 and 7 lessons, clearing, mouse reports
// and scripted popup menus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include "WeekGridTestSupport.h"
#include "ui/WeekGrid.h"

using twtest::Release;

TEST(WeekGridMapping, LessonsAndRowsRoundTripAroundTheSeparator) {
    EXPECT_EQ(tw::ui::WeekGridRowOfLesson(1), 1);
    EXPECT_EQ(tw::ui::WeekGridRowOfLesson(4), 4);
    EXPECT_EQ(tw::ui::WeekGridRowOfLesson(5), 6);
    EXPECT_EQ(tw::ui::WeekGridRowOfLesson(7), 8);
    for (int lesson = 1; lesson <= 7; ++lesson) {
        EXPECT_EQ(tw::ui::WeekGridLessonOfRow(tw::ui::WeekGridRowOfLesson(lesson)), lesson);
    }
    EXPECT_EQ(tw::ui::WeekGridLessonOfRow(0), 0);
    EXPECT_EQ(tw::ui::WeekGridLessonOfRow(tw::ui::kWeekGridSeparatorRow), 0);
    EXPECT_EQ(tw::ui::WeekGridRowCount(6), 8);
    EXPECT_EQ(tw::ui::WeekGridRowCount(7), 9);
}

TEST(WeekGridMapping, ColoursOfTheOldRuntimeAreBlueInTheHighByte) {
    EXPECT_EQ(tw::ui::VbColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(tw::ui::VbColor(0xFFFF80), QColor(128, 255, 255));
    EXPECT_EQ(tw::ui::VbColor(0x0000C0), QColor(192, 0, 0));
    EXPECT_EQ(tw::ui::VbColor(tw::ui::kVbWindowBackground),
              QApplication::palette().color(QPalette::Base));
}

TEST(WeekGridLayout, SixLessonsHaveEightRowsWithHeadingsLabelsAndAThinSeparator) {
    tw::ui::WeekGrid grid;
    grid.LayOut(6, 500, 1500, 800, 800);
    ASSERT_EQ(grid.rowCount(), 8);
    ASSERT_EQ(grid.columnCount(), 6);
    EXPECT_EQ(grid.LessonsPerDay(), 6);
    const QStringList headings = {"※", "星期一", "星期二", "星期三", "星期四", "星期五"};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(grid.TextMatrix(0, c), headings[c]);
        EXPECT_EQ(grid.item(0, c)->foreground().color(), QColor(0, 0, 255));
    }
    const QStringList labels = {"", "一", "二", "三", "四", "", "五", "六"};
    for (int r = 1; r < 8; ++r) EXPECT_EQ(grid.TextMatrix(r, 0), labels[r]) << r;
    EXPECT_EQ(grid.columnWidth(0), 500 / 15);
    EXPECT_EQ(grid.columnWidth(3), 1500 / 15);
    EXPECT_EQ(grid.rowHeight(1), 800 / 15);
    EXPECT_EQ(grid.rowHeight(5), 100 / 15);
    EXPECT_EQ(grid.rowHeight(7), 800 / 15);
    EXPECT_TRUE(grid.IsSlotCell(1, 1));
    EXPECT_TRUE(grid.IsSlotCell(7, 5));
    EXPECT_FALSE(grid.IsSlotCell(5, 3));
    EXPECT_FALSE(grid.IsSlotCell(0, 3));
    EXPECT_FALSE(grid.IsSlotCell(3, 0));
    EXPECT_FALSE(grid.IsSlotCell(8, 1));
}

TEST(WeekGridLayout, SevenLessonsAddRowEightLabelledSeven) {
    tw::ui::WeekGrid grid;
    grid.LayOut(7, 500, 1500, 700, 700);
    ASSERT_EQ(grid.rowCount(), 9);
    EXPECT_EQ(grid.TextMatrix(8, 0), "七");
    EXPECT_EQ(grid.rowHeight(8), 700 / 15);
    EXPECT_EQ(grid.rowHeight(5), 100 / 15);
}

TEST(WeekGridLayout, LayoutKeepsSlotCellsAndClearingEmptiesThem) {
    tw::ui::WeekGrid grid;
    grid.LayOut(6, 500, 1500, 800, 800);
    grid.SetTextMatrix(2, 3, "语文");
    grid.SetCellBackColor(2, 3, QColor(1, 2, 3));
    grid.LayOut(6, 500, 1500, 800, 800);
    EXPECT_EQ(grid.TextMatrix(2, 3), "语文");
    EXPECT_EQ(grid.CellBackColor(2, 3), QColor(1, 2, 3));

    grid.ClearCells();
    EXPECT_EQ(grid.TextMatrix(2, 3), "");
    EXPECT_EQ(grid.TextMatrix(0, 1), "");
    EXPECT_FALSE(grid.HasCellBackColor(2, 3));
    EXPECT_EQ(grid.CellBackColor(2, 3), tw::ui::VbColor(tw::ui::kVbWindowBackground));
    // The heading colours belong to the grid and survive clearing.
    EXPECT_EQ(grid.item(0, 1)->foreground().color(), QColor(0, 0, 255));
}

TEST(WeekGridMouse, ReleaseReportsButtonAndCellWithoutMovingTheCurrentCell) {
    tw::ui::WeekGrid grid;
    grid.LayOut(6, 500, 1500, 800, 800);
    grid.resize(600, 450);
    grid.setCurrentCell(1, 1);
    QList<std::tuple<Qt::MouseButton, int, int>> seen;
    QObject::connect(&grid, &tw::ui::WeekGrid::MouseUp,
                     [&](Qt::MouseButton b, int r, int c, const QPoint&) {
                         seen.append({b, r, c});
                     });
    Release(grid, 6, 3, Qt::RightButton);
    Release(grid, 5, 2, Qt::LeftButton);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], std::make_tuple(Qt::RightButton, 6, 3));
    EXPECT_EQ(seen[1], std::make_tuple(Qt::LeftButton, 5, 2));
    EXPECT_EQ(grid.currentRow(), 1);
    EXPECT_EQ(grid.currentColumn(), 1);
}

TEST(WeekGridPopup, ScriptedHandlerChoosesAndTriggersAnAction) {
    QMenu menu;
    QAction* a = menu.addAction("a");
    QAction* b = menu.addAction("b");
    int triggeredB = 0;
    QObject::connect(b, &QAction::triggered, [&] { ++triggeredB; });
    tw::ui::SetPopupMenuHandler([&](QMenu& m) {
        EXPECT_EQ(m.actions().size(), 2);
        return b;
    });
    EXPECT_EQ(tw::ui::PopupMenu(menu, QPoint(0, 0)), b);
    tw::ui::SetPopupMenuHandler(nullptr);
    EXPECT_EQ(triggeredB, 1);
    (void)a;
}
