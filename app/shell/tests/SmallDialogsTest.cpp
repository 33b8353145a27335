// The typed confirmation, the about box and the usage steps.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "shell/frmAbout.h"
#include "shell/frmConfirm.h"
#include "shell/frmSimpleManual.h"

using tw::shell::frmAbout;
using tw::shell::frmConfirm;
using tw::shell::frmSimpleManual;

TEST(frmConfirm, OkInAnyCaseWithBlanksAroundConfirms) {
    for (const QString typed : {"OK", "ok", "Ok", " ok ", "   oK"}) {
        frmConfirm form;
        form.show();
        form.Text1->setText(typed);
        form.cmdOK->click();
        EXPECT_TRUE(form.Confirmed) << typed.toStdString();
        EXPECT_FALSE(form.isVisible()) << typed.toStdString();
    }
}

TEST(frmConfirm, AnyOtherWordKeepsTheFormWithTheTextSelected) {
    for (const QString typed : {"O K", "OK!", "", "no", "OKK"}) {
        frmConfirm form;
        form.show();
        form.Text1->setText(typed);
        form.cmdOK->click();
        EXPECT_FALSE(form.Confirmed) << typed.toStdString();
        EXPECT_TRUE(form.isVisible()) << typed.toStdString();
        EXPECT_EQ(form.Text1->selectedText(), typed);
    }
}

TEST(frmConfirm, CancelAndCloseBoxEndWithoutConfirmation) {
    frmConfirm cancelled;
    cancelled.show();
    cancelled.Text1->setText("OK");
    cancelled.cmdCancel->click();
    EXPECT_FALSE(cancelled.Confirmed);
    EXPECT_FALSE(cancelled.isVisible());

    frmConfirm closed;
    closed.show();
    closed.Text1->setText("OK");
    closed.close();
    EXPECT_FALSE(closed.Confirmed);
}

TEST(frmConfirm, ControlsCarryTheirCaptions) {
    frmConfirm form;
    EXPECT_EQ(form.windowTitle(), "请确认");
    EXPECT_EQ(form.Label1->text(), "请在右边框中输入OK，然后按<确认>按钮");
    EXPECT_EQ(form.cmdOK->text(), "确认(&Y)");
    EXPECT_EQ(form.cmdCancel->text(), "取消(&C)");
    EXPECT_EQ(form.findChild<QLineEdit*>("Text1"), form.Text1);
}

TEST(frmAbout, VersionLabelShowsThreeNumbersWithoutLeadingZeros) {
    EXPECT_EQ(frmAbout::VersionCaption("1.2.15"), "Ver 1.2.15");
    EXPECT_EQ(frmAbout::VersionCaption("01.02.003"), "Ver 1.2.3");
    frmAbout form;
    EXPECT_EQ(form.windowTitle(), "关于");
    EXPECT_EQ(form.findChild<QLabel*>("lblVersion")->text(),
              frmAbout::VersionCaption(QStringLiteral(TW_VERSION)));
    EXPECT_TRUE(form.lblVersion->text().startsWith("Ver "));
    EXPECT_EQ(form.findChildren<QPushButton*>().size(), 0);
}

TEST(frmSimpleManual, SeventeenLinesAsGiven) {
    const QStringList lines = frmSimpleManual::Lines();
    ASSERT_EQ(lines.size(), 17);
    EXPECT_EQ(lines[0], "简要使用步骤：（详细操作请参考《使用手册》）");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[8], "");
    EXPECT_EQ(lines[3], "    1. 加入班级名单");
    EXPECT_EQ(lines[11], "    2. 自动生成课表。 运行此功能，会先删除原先排好的课表。");
    EXPECT_TRUE(lines[13].startsWith("        删除已排课时"));
    EXPECT_EQ(lines[16], "    4. 打印课表。");
    frmSimpleManual form;
    EXPECT_EQ(form.windowTitle(), "简要使用说明");
    EXPECT_EQ(form.Label1->text(), lines.join('\n'));
}
