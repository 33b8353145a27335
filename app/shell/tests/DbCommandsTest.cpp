// The commands on the whole database run on the program's open database only.
#include "SchoolDbTestSupport.h"
#include "shell/OpenDatabase.h"
#include "store/School.h"

using h2test::SchoolDbTest;
using tw::store::Reason;

namespace {

class DbCommandsTest : public SchoolDbTest {};

}  // namespace

TEST_F(DbCommandsTest, DeleteAllLessonsWithoutDatabaseFails) {
    CloseDb();
    EXPECT_EQ(OnOpenDatabase(tw::store::DeleteAllLessons).reason, Reason::NoDatabase);
    EXPECT_EQ(OnOpenDatabase(tw::store::MaintainData).reason, Reason::NoDatabase);
    EXPECT_EQ(OnOpenDatabase(tw::store::UpgradeSchoolYear).reason, Reason::NoDatabase);
}
