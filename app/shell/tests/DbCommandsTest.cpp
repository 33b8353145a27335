// The commands on the whole database run on the state's open database only.
#include "SchoolDbTestSupport.h"
#include "shell/OpenDatabase.h"
#include "store/School.h"

using h2test::SchoolDbTest;
using tw::store::Reason;

namespace {

class DbCommandsTest : public SchoolDbTest {};

}  // namespace

TEST_F(DbCommandsTest, DeleteAllLessonsWithoutDatabaseFails) {
    twtest::State().Close();
    EXPECT_EQ(OnOpenDatabase(twtest::State(), tw::store::DeleteAllLessons).reason,
              Reason::NoDatabase);
    EXPECT_EQ(OnOpenDatabase(twtest::State(), tw::store::MaintainData).reason, Reason::NoDatabase);
    EXPECT_EQ(OnOpenDatabase(twtest::State(), tw::store::UpgradeSchoolYear).reason,
              Reason::NoDatabase);
}
