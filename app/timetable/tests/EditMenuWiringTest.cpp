// The main window's pre-setting and hand-editing menu items open their forms.
#include <QAction>

#include "HandEditTestSupport.h"
#include "shell/ModalForm.h"
#include "shell/frmMain.h"

using tw::shell::frmMain;
using tw::shell::SetModalFormHandler;

namespace {

using EditMenuWiringTest = HandEditTest;

TEST_F(EditMenuWiringTest, PresetAndHandEditItemsShowTheirForms) {
    QStringList shown;
    SetModalFormHandler([&shown](QWidget& form) { shown << form.objectName(); });
    {
        frmMain main(twtest::State());
        for (const char* item : {"mnuPrepairBuild", "mnuManualBuild"}) {
            QAction* action = main.findChild<QAction*>(item);
            ASSERT_NE(action, nullptr) << item;
            action->trigger();
        }
    }
    SetModalFormHandler(nullptr);
    EXPECT_EQ(shown.join(','), "frmSetLesson,frmManualSetLesson");
}

}  // namespace
