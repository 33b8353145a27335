// The slot limits' commands: the reason each gives, one row per slot whatever case a code is
// written in, all normal all or nothing, and nothing stored for no entry, outside the week or
// without a level.
#include <QStringList>
#include <map>
#include <random>

#include "StoreTestSupport.h"
#include "db/CodeOrder.h"
#include "store/Limits.h"

using tw::store::LimitKind;
using tw::store::Reason;

namespace {

class LimitsTest : public storetest::StoreTest {};

// Random single stores (with week and levels the forms never send among them) and all-normal
// commands of every kind, for codes that the database takes as one (C1 and c1) or as two, a
// quoted code and the empty one, with writes the database refuses. Each command's reason and
// count is the one a model of the table expects, and after every command each code's stored
// limits are the model's, one row a slot, and no row lies outside the week or has no level.
TEST_F(LimitsTest, RandomStoresGiveTheirReasonsAndKeepOneRowASlot) {
    db_->OpenRecordset("PRAGMA synchronous=OFF")->Close();
    db_->Execute(
        "create trigger NoNeverOnFriday before insert on Limittb when new.Day=5 and new.Attr=3 "
        "begin select raise(abort, 'refused'); end");
    db_->Execute(
        "create trigger NoT2Lesson6 before insert on Limittb when upper(new.Code)='T2' "
        "and new.LessonNo=6 begin select raise(abort, 'refused'); end");
    db_->Execute(
        "create trigger KeepBest before update on Limittb when old.Attr=0 and new.Attr=2 "
        "begin select raise(abort, 'refused'); end");
    // kind, code key -> (day, lesson) -> level
    std::map<std::pair<int, QByteArray>, std::map<std::pair<int, int>, int>> model;
    std::mt19937 rng(3105);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const QStringList codes = {"C1", "c1", "T2", "t2", "X'1", "Ｃ1", ""};
    // Each code but the empty one names a stored class, course and teacher ("c1" is "C1").
    for (const char* table : {"Classtb", "Coursetb", "Teachertb"}) {
        for (const QString& code : codes) {
            if (code.isEmpty()) continue;
            db_->Execute(QString("insert or ignore into %1 (Code,Name) values ('%2','%2')")
                             .arg(table, tw::db::SqlQ(code)));
        }
    }
    int done = 0, refused = 0, bad = 0, normalRefused = 0;
    for (int step = 0; step < 2000; ++step) {
        const int kind = pick(4);
        const QString code = codes[pick(codes.size())];
        auto& week = model[{kind, tw::db::CodeKey(code)}];
        if (pick(8) > 0) {
            const int day = pick(6), lesson = pick(8), level = pick(5) - 1;
            const tw::store::Outcome outcome =
                StoreLimit(*db_, static_cast<LimitKind>(kind), code, day, lesson, level);
            const bool valid = !code.isEmpty() && day >= 1 && day <= 5 && lesson >= 1 &&
                               lesson <= 7 && level >= 0 && level <= 3;
            const auto slot = week.find({day, lesson});
            const bool refusedByDb =
                valid && (slot == week.end() ? (day == 5 && level == 3) ||
                                                   (tw::db::SameCode(code, "T2") && lesson == 6)
                                             : slot->second == 0 && level == 2);
            const Reason expected = !valid        ? Reason::BadLimit
                                    : refusedByDb ? Reason::DatabaseError
                                                  : Reason::Done;
            ASSERT_EQ(outcome.reason, expected) << "step " << step;
            done += expected == Reason::Done;
            refused += expected == Reason::DatabaseError;
            bad += expected == Reason::BadLimit;
            if (expected == Reason::Done) week[{day, lesson}] = level;
        } else {
            const int lessons = pick(9);
            const tw::store::Read<int> stored =
                StoreAllNormal(*db_, static_cast<LimitKind>(kind), code, lessons);
            // The first slot in the command's order whose store the database refuses.
            int reach = 0;
            bool fails = false;
            for (int lesson = 1; lesson <= lessons && !fails; ++lesson) {
                for (int day = 1; day <= 5 && !fails; ++day) {
                    ++reach;
                    const auto slot = week.find({day, lesson});
                    fails = slot == week.end() && tw::db::SameCode(code, "T2") && lesson == 6;
                }
            }
            if (code.isEmpty() || lessons < 1 || lessons > 7) {
                ASSERT_EQ(stored.outcome.reason, Reason::BadLimit) << "step " << step;
            } else if (fails) {
                ASSERT_EQ(stored.outcome.reason, Reason::DatabaseError) << "step " << step;
                ASSERT_EQ(stored.value, reach) << "step " << step;
                ++normalRefused;
            } else {
                ASSERT_EQ(stored.outcome.reason, Reason::Done) << "step " << step;
                ASSERT_EQ(stored.value, lessons * 5) << "step " << step;
                for (int lesson = 1; lesson <= lessons; ++lesson) {
                    for (int day = 1; day <= 5; ++day) week[{day, lesson}] = 1;
                }
            }
        }
        // Every code's limits as the model holds them.
        for (const QString& each : codes) {
            const auto read = ReadLimits(*db_, static_cast<LimitKind>(kind), each);
            ASSERT_TRUE(read.Done());
            std::map<std::pair<int, int>, int> shown;
            for (const tw::store::StoredLimit& limit : read.value.rows) {
                ASSERT_TRUE(
                    shown.emplace(std::pair<int, int>(limit.day, limit.lesson), limit.level).second)
                    << "step " << step << ": a slot twice";
            }
            ASSERT_EQ(shown, (model[{kind, tw::db::CodeKey(each)}])) << "step " << step;
        }
        ASSERT_EQ(Column("select count(*) from Limittb where Code='' or Day<1 or Day>5 or "
                         "LessonNo<1 or LessonNo>7 or Attr is null or Attr<0 or Attr>3"),
                  QStringList{"0"})
            << "step " << step;
    }
    EXPECT_GT(done, 600);
    EXPECT_GT(refused, 50);
    EXPECT_GT(bad, 600);
    EXPECT_GT(normalRefused, 5);
}

}  // namespace
