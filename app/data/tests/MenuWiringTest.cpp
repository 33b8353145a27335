// The main window's school-data menu items open the data-entry forms.
#include <QAction>

#include "DataFormTestSupport.h"
#include "shell/ModalForm.h"
#include "shell/frmMain.h"

using tw::shell::frmMain;
using tw::shell::SetModalFormHandler;

using namespace datatest;

namespace {

using MenuWiringTest = DataFormTest;

TEST_F(MenuWiringTest, EachSchoolDataItemShowsItsForm) {
    QStringList shown;
    SetModalFormHandler([&shown](QWidget& form) { shown << form.objectName(); });
    {
        frmMain main(twtest::State());
        for (const char* item : {"mnuClassList", "mnuCourseList", "mnuTeacherList",
                                 "mnuClassRoomList", "mnuClassPlan"}) {
            QAction* action = main.findChild<QAction*>(item);
            ASSERT_NE(action, nullptr) << item;
            action->trigger();
        }
    }
    SetModalFormHandler(nullptr);
    EXPECT_EQ(shown.join(','),
              "frmClassInput,frmCourseInput,frmTeacherInput,frmClassRoomInput,frmClassPlanInput");
}

}  // namespace
