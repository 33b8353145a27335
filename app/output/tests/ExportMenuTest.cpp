// The main window's export menu item opens the export dialog with its lists filled.
#include <QAction>
#include <QComboBox>

#include "ExportTestSupport.h"
#include "shell/ModalForm.h"
#include "shell/frmMain.h"

using tw::shell::frmMain;
using tw::shell::SetModalFormHandler;

namespace {

using ExportMenuTest = ExportTest;

TEST_F(ExportMenuTest, ExportItemShowsTheExportDialog) {
    AddClass("101", "初一(1)班", "一1");
    QStringList shown;
    int classes = -1;
    SetModalFormHandler([&](QWidget& form) {
        shown << form.objectName();
        if (auto* combo = form.findChild<QComboBox*>("CmbClass")) {
            classes = combo->count();
        }
    });
    {
        frmMain main(twtest::State());
        QAction* action = main.findChild<QAction*>("mnuExport");
        ASSERT_NE(action, nullptr);
        action->trigger();
    }
    SetModalFormHandler(nullptr);
    EXPECT_EQ(shown, QStringList{"frmExport"});
    EXPECT_EQ(classes, 1);
}

}  // namespace
