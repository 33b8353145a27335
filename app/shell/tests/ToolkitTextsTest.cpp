// Start-up gives the toolkit's own message box buttons and file chooser Chinese texts, and
// makes Chinese (China) the default locale whatever the machine's.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>

#include "shell/MdlSubMain.h"

using tw::shell::RegisterControls;

namespace {

TEST(ToolkitTexts, MessageBoxButtonsReadInChinese) {
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_zh_CN.qm"))
        GTEST_SKIP() << "Qt's Chinese translation is not installed";
    EXPECT_EQ(RegisterControls(), 0);
    EXPECT_EQ(RegisterControls(), 0);  // a second call changes nothing

    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok |
                           QMessageBox::Cancel);
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("是")))
        << box.button(QMessageBox::Yes)->text().toStdString();
    EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("否")));
    EXPECT_TRUE(box.button(QMessageBox::Ok)->text().startsWith(QStringLiteral("确定")));
    EXPECT_TRUE(box.button(QMessageBox::Cancel)->text().startsWith(QStringLiteral("取消")));
}

TEST(ToolkitTexts, TheDefaultLocaleIsChineseWhateverTheMachines) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    RegisterControls();
    EXPECT_EQ(QLocale().language(), QLocale::Chinese);
    EXPECT_EQ(QLocale().territory(), QLocale::China);
    // File-type descriptions follow it where the type database has them in Chinese.
    const QString type = QMimeDatabase().mimeTypeForName("application/zip").comment();
    if (type != QStringLiteral("Zip archive")) {
        EXPECT_EQ(type, QStringLiteral("Zip 归档文件"));
    }
}

}  // namespace
