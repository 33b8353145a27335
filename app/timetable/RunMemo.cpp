#include "timetable/RunMemo.h"

#include <algorithm>
#include <cassert>
#include <map>
#include <utility>

#include "db/CodeOrder.h"
#include "db/Database.h"

namespace tw::timetable {

namespace {

constexpr std::uint8_t kBest = 1;     // a limit row of Attr 0
constexpr std::uint8_t kAvoid = 2;    // a limit row of Attr 2
constexpr std::uint8_t kLimited = 4;  // a limit row of an Attr other than 1

// Counts beyond this could make the database's sums overflow, which fails the statement; such a
// plan is left to the statements.
constexpr long long kCountBound = 1LL << 40;

bool InWeek(long long day) {
    return day >= 1 && day <= 5;
}

}  // namespace

RunMemo::RunMemo(tw::store::BuildStatements& reads, int lessonOfDay)
    : reads_(&reads), lessonOfDay_(std::max(0, lessonOfDay)) {
    LoadPlan();
    LoadWeek();
}

// ---- keys ----

int RunMemo::Id(const QString& code) const {
    for (const Recent& r : recent_)
        if (r.id >= 0 && r.code == code) return r.id;
    auto it = ids_.constFind(tw::db::CodeKey(code));
    if (it == ids_.constEnd()) return -1;
    recent_[nextRecent_] = {code, it.value()};
    nextRecent_ = (nextRecent_ + 1) % recent_.size();
    return it.value();
}

int RunMemo::Intern(const QString& code) {
    const QByteArray f = tw::db::CodeKey(code);
    auto it = ids_.constFind(f);
    if (it != ids_.constEnd()) return it.value();
    const int id = static_cast<int>(codeKeys_.size());
    ids_.insert(f, id);
    codeKeys_.push_back(f);
    assert(ids_.size() == static_cast<qsizetype>(codeKeys_.size()));
    const size_t perCode = 6 * (static_cast<size_t>(lessonOfDay_) + 1);
    classAt_.resize(codeKeys_.size() * perCode);
    teacherAt_.resize(codeKeys_.size() * perCode);
    courseAt_.resize(codeKeys_.size() * perCode);
    limits_.resize(codeKeys_.size() * perCode);
    classUnnumbered_.resize(codeKeys_.size() * 6);
    teacherDay_.resize(codeKeys_.size() * 6);
    if (shared_) shared_->resize(codeKeys_.size());
    return id;
}

size_t RunMemo::Slot(int id, int day, int lesson) const {
    assert(id >= 0 && InWeek(day) && lesson >= 0 && lesson <= lessonOfDay_);
    const size_t slot = (static_cast<size_t>(id) * 6 + static_cast<size_t>(day)) *
                            (static_cast<size_t>(lessonOfDay_) + 1) +
                        static_cast<size_t>(lesson);
    // Every code met has its slots in each per-slot table.
    assert(slot < classAt_.size() && classAt_.size() == teacherAt_.size() &&
           classAt_.size() == courseAt_.size() && classAt_.size() == limits_.size());
    return slot;
}

// ---- reading ----

void RunMemo::LoadPlan() {
    auto rs = reads_->OpenPlan();
    // Spellings met per key, to see whether a statement could return another spelling.
    std::unordered_map<int, QString> spelling;
    bool oneSpelling = true;
    bool countsBounded = true;
    auto code = [&](const tw::db::Field& f, QString& text) {
        if (f.IsNull()) return -1;
        text = f.Text();
        const int id = Intern(text);
        auto [it, fresh] = spelling.emplace(id, text);
        if (!fresh && it->second != text) oneSpelling = false;
        return id;
    };
    while (!rs->Eof()) {
        PlanRow row;
        row.clsId = code(rs->Fields("ClassCode"), row.cls);
        row.courseId = code(rs->Fields("CourseCode"), row.course);
        row.teacherId = code(rs->Fields("TeacherCode"), row.teacher);
        row.count = rs->Fields("Count").Int();
        row.buildCount = rs->Fields("BuildCount").Int();
        const tw::db::Field done = rs->Fields("IsAutoBuild");
        row.finished = done.IsNull() || done.Int() != 0;
        if (row.count > kCountBound || row.count < -kCountBound) countsBounded = false;
        rows_.push_back(std::move(row));
        rs->MoveNext();
    }
    rs->Close();

    planKnown_ = oneSpelling && countsBounded;
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        const PlanRow& row = rows_[static_cast<size_t>(i)];
        if (row.teacherId >= 0) teacherTotal_[row.teacherId] += row.count;
        if (row.clsId >= 0 && row.courseId >= 0 &&
            !byClassCourse_.emplace(Pair(row.clsId, row.courseId), i).second)
            planKnown_ = false;
        if (row.finished) continue;
        // The preparation finished every row that lacks a code; one written since by another
        // writer leaves the plan to the statements.
        if (row.clsId < 0 || row.courseId < 0 || row.teacherId < 0) {
            planKnown_ = false;
            continue;
        }
        byCourse_[row.courseId].rows.push_back(i);
        byCourseTeacher_[Pair(row.courseId, row.teacherId)].rows.push_back(i);
        auto& teacherRows = rowsOfTeacher_[row.teacherId];
        if (teacherRows.empty()) teachers_.push_back(row.teacherId);
        teacherRows.push_back(i);
        if (openRows_[Pair(row.teacherId, row.clsId)]++ == 0) ++openClasses_[row.teacherId];
    }
}

void RunMemo::LoadWeek() {
    auto rs = reads_->OpenWeek();
    while (!rs->Eof()) {
        const tw::db::Field cls = rs->Fields("ClassCode"), day = rs->Fields("Day"),
                            lesson = rs->Fields("LessonNo"), course = rs->Fields("CourseCode"),
                            teacher = rs->Fields("TeacherCode");
        const long long d = day.Int();
        if (!day.IsNull() && InWeek(d)) {
            const int di = static_cast<int>(d);
            const int c = cls.IsNull() ? -1 : Intern(cls.Text());
            const int k = course.IsNull() ? -1 : Intern(course.Text());
            const int t = teacher.IsNull() ? -1 : Intern(teacher.Text());
            if (t >= 0) ++teacherDay_[static_cast<size_t>(t) * 6 + static_cast<size_t>(di)];
            if (c >= 0 && k >= 0) {
                auto& perDay = courseDay_[Pair(c, k)];
                perDay.resize(6);
                ++perDay[static_cast<size_t>(di)];
            }
            if (lesson.IsNull()) {
                if (c >= 0)
                    classUnnumbered_[static_cast<size_t>(c) * 6 + static_cast<size_t>(di)] = true;
            } else if (lesson.Int() >= 1 && lesson.Int() <= lessonOfDay_) {
                const int l = static_cast<int>(lesson.Int());
                if (c >= 0) ++classAt_[Slot(c, di, l)];
                if (t >= 0) ++teacherAt_[Slot(t, di, l)];
                if (k >= 0) ++courseAt_[Slot(k, di, l)];
            }
        }
        rs->MoveNext();
    }
    rs->Close();
}

void RunMemo::LoadLimits() {
    limitsRead_ = true;
    auto rs = reads_->OpenCourseLimits();
    while (!rs->Eof()) {
        const tw::db::Field code = rs->Fields("Code"), day = rs->Fields("Day"),
                            lesson = rs->Fields("LessonNo"), attr = rs->Fields("Attr");
        const long long d = day.Int(), l = lesson.Int();
        if (!code.IsNull() && !day.IsNull() && d >= 1 && d <= 5 && !lesson.IsNull() && l >= 1 &&
            l <= lessonOfDay_ && !attr.IsNull()) {
            std::uint8_t& kinds =
                limits_[Slot(Intern(code.Text()), static_cast<int>(d), static_cast<int>(l))];
            if (attr.Int() == 0) kinds |= kBest;
            if (attr.Int() == 2) kinds |= kAvoid;
            if (attr.Int() != 1) kinds |= kLimited;
        }
        rs->MoveNext();
    }
    rs->Close();
}

// ---- the plan ----

std::optional<QString> RunMemo::PickTeacherAndCourse(QString& teacher) const {
    assert(planKnown_);
    int chosen = -1;
    int best = 0;
    for (int t : teachers_) {
        auto it = openClasses_.find(t);
        const int n = it == openClasses_.end() ? 0 : it->second;
        if (n > best ||
            (n == best && n > 0 &&
             codeKeys_[static_cast<size_t>(t)] < codeKeys_[static_cast<size_t>(chosen)])) {
            best = n;
            chosen = t;
        }
    }
    if (chosen < 0) {
        teacher.clear();
        return std::nullopt;
    }
    // Per course of the teacher: classes with unfinished rows and their lessons a week.
    struct Course {
        std::vector<int> classes;
        long long total = 0;
        int row = -1;
    };
    std::map<int, Course> courses;
    for (int i : rowsOfTeacher_.at(chosen)) {
        const PlanRow& row = rows_[static_cast<size_t>(i)];
        if (row.finished) continue;
        Course& c = courses[row.courseId];
        if (std::find(c.classes.begin(), c.classes.end(), row.clsId) == c.classes.end())
            c.classes.push_back(row.clsId);
        c.total += row.count;
        if (c.row < 0) c.row = i;
    }
    const Course* pick = nullptr;
    int pickId = -1;
    for (const auto& [id, c] : courses) {
        const auto n = c.classes.size();
        bool better = !pick || n > pick->classes.size();
        if (pick && n == pick->classes.size())
            better = c.total > pick->total ||
                     (c.total == pick->total &&
                      codeKeys_[static_cast<size_t>(id)] < codeKeys_[static_cast<size_t>(pickId)]);
        if (better) {
            pick = &c;
            pickId = id;
        }
    }
    // The chosen teacher has unfinished rows, so a course is always found.
    assert(pick);
    if (!pick) return std::nullopt;
    const PlanRow& row = rows_[static_cast<size_t>(pick->row)];
    teacher = row.teacher;
    return row.course;
}

int RunMemo::FirstOpen(RowList& list) {
    while (list.first < list.rows.size() &&
           rows_[static_cast<size_t>(list.rows[list.first])].finished)
        ++list.first;
    return list.first < list.rows.size() ? list.rows[list.first] : -1;
}

std::optional<QString> RunMemo::PickClass(const QString& course, QString& teacher) {
    assert(planKnown_);
    const int k = Id(course), t = Id(teacher);
    int i = -1;
    if (k >= 0 && t >= 0) {
        auto it = byCourseTeacher_.find(Pair(k, t));
        if (it != byCourseTeacher_.end()) i = FirstOpen(it->second);
    }
    if (i < 0 && k >= 0) {
        auto it = byCourse_.find(k);
        if (it != byCourse_.end()) i = FirstOpen(it->second);
    }
    if (i < 0) return std::nullopt;
    const PlanRow& row = rows_[static_cast<size_t>(i)];
    assert(!row.finished && row.courseId == k);
    teacher = row.teacher;
    return row.cls;
}

std::optional<RunMemo::RowCounts> RunMemo::Row(const QString& cls, const QString& course) const {
    assert(planKnown_);
    const int c = Id(cls), k = Id(course);
    if (c < 0 || k < 0) return std::nullopt;
    auto it = byClassCourse_.find(Pair(c, k));
    if (it == byClassCourse_.end()) return std::nullopt;
    const PlanRow& row = rows_[static_cast<size_t>(it->second)];
    return RowCounts{row.count, row.buildCount};
}

long long RunMemo::TeacherTotal(const QString& teacher) const {
    assert(planKnown_);
    auto it = teacherTotal_.find(Id(teacher));
    return it == teacherTotal_.end() ? 0 : it->second;
}

void RunMemo::SetBuildCount(const QString& cls, const QString& course, long long buildCount) {
    assert(planKnown_);
    const int c = Id(cls), k = Id(course);
    if (c < 0 || k < 0) return;
    auto it = byClassCourse_.find(Pair(c, k));
    if (it == byClassCourse_.end()) return;
    PlanRow& row = rows_[static_cast<size_t>(it->second)];
    // The run places a row's lessons one by one and stops at its count.
    assert(buildCount == row.buildCount + 1 && buildCount <= row.count);
    row.buildCount = buildCount;
}

void RunMemo::MarkBuilt(const QString& cls, const QString& course, const QString& teacher) {
    assert(planKnown_);
    const int c = Id(cls), k = Id(course), t = Id(teacher);
    if (c < 0 || k < 0 || t < 0) return;
    auto it = byClassCourse_.find(Pair(c, k));
    if (it == byClassCourse_.end()) return;
    PlanRow& row = rows_[static_cast<size_t>(it->second)];
    if (row.teacherId == t) Finish(row);
}

void RunMemo::Finish(PlanRow& row) {
    // A row is finished once per run: the selection never offers a finished row again.
    assert(!row.finished);
    row.finished = true;
    int& open = openRows_[Pair(row.teacherId, row.clsId)];
    assert(open > 0);
    if (--open == 0) {
        int& classes = openClasses_[row.teacherId];
        assert(classes > 0);
        --classes;
    }
}

// ---- the week ----

bool RunMemo::ClassFree(const QString& cls, int day, int lesson) const {
    const int c = Id(cls);
    return c < 0 || classAt_[Slot(c, day, lesson)] == 0;
}

bool RunMemo::TeacherFree(const QString& teacher, int day, int lesson) const {
    const int t = Id(teacher);
    return t < 0 || teacherAt_[Slot(t, day, lesson)] == 0;
}

bool RunMemo::CourseAt(const QString& course, int day, int lesson) const {
    const int k = Id(course);
    return k >= 0 && courseAt_[Slot(k, day, lesson)] > 0;
}

long RunMemo::TeacherLessons(const QString& teacher, int day) const {
    assert(InWeek(day));
    const int t = Id(teacher);
    return t < 0 ? 0 : teacherDay_[static_cast<size_t>(t) * 6 + static_cast<size_t>(day)];
}

long RunMemo::CourseLessons(const QString& cls, const QString& course, int day) const {
    assert(InWeek(day));
    const int c = Id(cls), k = Id(course);
    if (c < 0 || k < 0) return 0;
    auto it = courseDay_.find(Pair(c, k));
    return it == courseDay_.end() ? 0 : it->second[static_cast<size_t>(day)];
}

std::vector<bool> RunMemo::Limited(const QString& course, int day) {
    if (!limitsRead_) LoadLimits();
    std::vector<bool> limited(static_cast<size_t>(lessonOfDay_) + 1, false);
    const int k = Id(course);
    if (k < 0) return limited;
    for (int l = 1; l <= lessonOfDay_; ++l)
        limited[static_cast<size_t>(l)] = (limits_[Slot(k, day, l)] & kLimited) != 0;
    return limited;
}

std::vector<int> RunMemo::PassLessons(const QString& cls, const QString& course, int day,
                                      int pass) {
    if (!limitsRead_) LoadLimits();
    std::vector<int> lessons;
    const int k = Id(course), c = Id(cls);
    // A lesson of the class without a number makes "not in" unknown for every lesson.
    if (k < 0 ||
        (c >= 0 && classUnnumbered_[static_cast<size_t>(c) * 6 + static_cast<size_t>(day)]))
        return lessons;
    const std::uint8_t kind = pass == 0 ? kBest : pass == 2 ? kAvoid : 0;
    for (int l = 1; l <= lessonOfDay_; ++l)
        if ((limits_[Slot(k, day, l)] & kind) != 0 && ClassFree(cls, day, l)) lessons.push_back(l);
    return lessons;
}

bool RunMemo::IsShared(const QString& course) {
    if (!shared_) {
        shared_.emplace(codeKeys_.size(), false);
        auto rs = reads_->OpenSharedCourses();
        while (!rs->Eof()) {
            const tw::db::Field f = rs->Fields("CourseCode");
            if (!f.IsNull()) (*shared_)[static_cast<size_t>(Intern(f.Text()))] = true;
            rs->MoveNext();
        }
        rs->Close();
    }
    const int k = Id(course);
    return k >= 0 && (*shared_)[static_cast<size_t>(k)];
}

void RunMemo::Placed(const QString& cls, const QString& course, const QString& teacher, int day,
                     int lesson) {
    auto key = [this](const QString& code) {
        const int id = Id(code);
        return id >= 0 ? id : Intern(code);
    };
    const int c = key(cls), k = key(course), t = key(teacher);
    // The run only places a lesson where the class and the teacher are free.
    assert(classAt_[Slot(c, day, lesson)] == 0 && teacherAt_[Slot(t, day, lesson)] == 0);
    ++classAt_[Slot(c, day, lesson)];
    ++teacherAt_[Slot(t, day, lesson)];
    ++courseAt_[Slot(k, day, lesson)];
    ++teacherDay_[static_cast<size_t>(t) * 6 + static_cast<size_t>(day)];
    auto& perDay = courseDay_[Pair(c, k)];
    perDay.resize(6);
    ++perDay[static_cast<size_t>(day)];
}

}  // namespace tw::timetable
