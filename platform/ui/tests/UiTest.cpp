#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPalette>

#include "ui/Combo.h"
#include "ui/FormStyle.h"
#include "ui/MsgBox.h"
#include "ui/StatusBar.h"
#include "ui/Units.h"

using namespace tw::ui;

TEST(MsgBox, ScriptedHandlerSeesEveryCallAndAnswers) {
    std::vector<MsgBoxCall> calls;
    SetMsgBoxHandler([&](const MsgBoxCall& c) {
        calls.push_back(c);
        return c.style & vbYesNo ? int(vbNo) : int(vbOK);
    });
    EXPECT_EQ(MsgBox("打开数据库失败！", vbCritical, "T"), vbOK);
    EXPECT_EQ(MsgBox("删除?", vbYesNo | vbQuestion), vbNo);
    SetMsgBoxHandler(nullptr);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].text, QString::fromUtf8("打开数据库失败！"));
    EXPECT_EQ(calls[0].style, vbCritical);
    EXPECT_EQ(calls[0].title, "T");
    EXPECT_EQ(calls[1].style, vbYesNo | vbQuestion);
}

TEST(FileDialogs, ScriptedHandlerAnswers) {
    SetFileDialogHandler([](bool save, const QString&) { return save ? "/s" : "/o"; });
    EXPECT_EQ(GetOpenFileName("t", "*.mdb"), "/o");
    EXPECT_EQ(GetSaveFileName("t", "*.mdb"), "/s");
    SetFileDialogHandler(nullptr);
}

TEST(Combo, SettingFromCodeAlwaysRunsTheHandler) {
    QComboBox combo;
    combo.addItems({"一(1)班", "Abc"});
    int clicks = 0;
    auto click = [&] { ++clicks; };
    EXPECT_TRUE(SetComboIndex(&combo, 1, click));
    EXPECT_TRUE(SetComboIndex(&combo, 1, click));  // same value: runs again
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(SetComboText(&combo, "abc", click));
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_TRUE(SetComboText(&combo, QString::fromUtf8("一(1)班"), click));
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(clicks, 4);
    EXPECT_FALSE(SetComboText(&combo, "none", click));
    EXPECT_FALSE(SetComboIndex(&combo, 2, click));
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_TRUE(SetComboIndex(&combo, -1, click));
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(clicks, 5);
}

TEST(StatusBar, PanelsAreNumberedFromOneWithFixedWidths) {
    StatusBar bar({3000, 1500});
    ASSERT_EQ(bar.PanelCount(), 2);
    EXPECT_EQ(bar.Panel(0), nullptr);
    EXPECT_EQ(bar.Panel(3), nullptr);
    bar.Panel(1)->setText(QString::fromUtf8("读取成功"));
    EXPECT_EQ(bar.findChild<QLabel*>("Panel1")->text(), QString::fromUtf8("读取成功"));
    EXPECT_EQ(bar.Panel(2)->width(), 100);
    EXPECT_EQ(bar.Panel(1)->minimumWidth(), 200);
}

TEST(Units, ColoursAreBlueGreenRed) {
    EXPECT_EQ(VbColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(VbColor(0xFFFF80), QColor(0x80, 0xFF, 0xFF));
    EXPECT_EQ(VbColor(0xC0), QColor(0xC0, 0, 0));
    EXPECT_EQ(ToVbColor(QColor(0x80, 0xFF, 0xFF)), 0xFFFF80u);
    EXPECT_EQ(TwipsToPixels(1500), 100);
}

TEST(Units, SystemColoursAreTheApplicationPalettes) {
    const QPalette pal = QApplication::palette();
    EXPECT_EQ(VbColor(kVbWindowBackground), pal.color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(VbColor(kVbWindowText), pal.color(QPalette::Active, QPalette::Text));
    EXPECT_EQ(VbColor(kVbButtonFace), pal.color(QPalette::Active, QPalette::Button));
    EXPECT_EQ(VbColor(kVbHighlight), pal.color(QPalette::Active, QPalette::Highlight));
}

TEST(FormStyle, FormFontResolvesToAnInstalledChineseFont) {
    const QString family = QFontInfo(FormFont(12)).family();
    EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese))
        << family.toStdString();
    EXPECT_EQ(QFontInfo(FormFont(9)).family(), family);
}
