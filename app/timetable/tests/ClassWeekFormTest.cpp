// What both class-week forms (pre-setting and hand editing) share: the bold heading label in
// the form's font, Escape that does not close the form, and the exit button that does.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "HandEditTestSupport.h"
#include "timetable/frmManualSetLesson.h"
#include "timetable/frmSetLesson.h"

using tw::timetable::frmManualSetLesson;
using tw::timetable::frmSetLesson;

namespace {

class ClassWeekFormTest : public HandEditTest {
  protected:
    template <class Form>
    static void ExpectHeadingEscapeAndExit() {
        Form f(twtest::State());
        EXPECT_TRUE(f.Label1->font().bold());
        EXPECT_EQ(f.Label1->font().pointSize(), 12);
        f.show();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&f, &escape);
        EXPECT_TRUE(f.isVisible());
        f.cmdOK->click();
        EXPECT_FALSE(f.isVisible());
    }
};

}  // namespace

TEST_F(ClassWeekFormTest, EscapeLeavesTheFormOpenAndTheExitButtonClosesIt) {
    {
        SCOPED_TRACE("pre-setting");
        ExpectHeadingEscapeAndExit<frmSetLesson>();
    }
    {
        SCOPED_TRACE("hand editing");
        ExpectHeadingEscapeAndExit<frmManualSetLesson>();
    }
}
