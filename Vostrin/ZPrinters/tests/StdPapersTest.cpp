// The standard paper table and its lookups.
#include <gtest/gtest.h>

#include "ZPrinters/ZStdPapers.h"

using namespace Zprinters;

TEST(StdPapers, TableHasThirtyEightRowsInFixedOrder) {
    TZStringList list;
    EnumStdPaperFmts(&list);
    ASSERT_EQ(list.Count(), 38);
    EXPECT_EQ(list.Strings(0), "Letter");
    EXPECT_EQ(list.Objects(0), 1);
    EXPECT_EQ(list.Strings(37), "German Legal FanFold");
    EXPECT_EQ(list.Objects(37), 41);
    // Codes 24 to 26 are missing and 28 follows 30.
    EXPECT_EQ(list.Strings(23), "Env DL");
    EXPECT_EQ(list.Objects(23), 27);
    EXPECT_EQ(list.Objects(24), 29);
    EXPECT_EQ(list.Objects(25), 30);
    EXPECT_EQ(list.Objects(26), 28);
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(StdPapers, EnumReplacesThePreviousContent) {
    TZStringList list;
    list.Add("stale");
    EnumStdPaperFmts(&list);
    EXPECT_EQ(list.Count(), 38);
    EXPECT_EQ(list.IndexOf("stale"), -1);
}

TEST(StdPapers, SizesByCodeAndName) {
    EXPECT_EQ(StdPaperSize(9), (TPoint{2100, 2970}));
    EXPECT_EQ(StdPaperSize(8), (TPoint{2970, 4200}));
    EXPECT_EQ(StdPaperSize(4), (TPoint{4318, 2794}));  // Ledger is stored wide
    EXPECT_EQ(StdPaperSize(35), (TPoint{1760, 1250}));
    EXPECT_EQ(StdPaperSize(24), (TPoint{0, 0}));
    EXPECT_EQ(StdPaperSize(0), (TPoint{0, 0}));
    EXPECT_EQ(StdPaperSize(QString("A4")), (TPoint{2100, 2970}));
    EXPECT_EQ(StdPaperSize(QString("a4")), (TPoint{0, 0}));
    EXPECT_EQ(StdPaperSize(QString("")), (TPoint{0, 0}));
}

TEST(StdPapers, FormatsCompareNamesCaseSensitively) {
    EXPECT_EQ(StdPaperFmt(QString("A4")), 9);
    EXPECT_EQ(StdPaperFmt(QString("a4")), -1);
    EXPECT_EQ(StdPaperFmt(QString("Env C5")), 28);
    EXPECT_EQ(StdPaperFmt(QString("German Std FanFold")), 40);
    EXPECT_EQ(StdPaperFmt(QString("German Std Fanfold")), -1);
    EXPECT_EQ(StdPaperFmt(9), "A4");
    EXPECT_EQ(StdPaperFmt(41), "German Legal FanFold");
    EXPECT_EQ(StdPaperFmt(25), "");
    EXPECT_EQ(StdPaperFmt(-1), "");
}
