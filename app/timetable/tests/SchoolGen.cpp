#include "SchoolGen.h"

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <set>
#include <stdexcept>
#include <tuple>

using tw::db::SqlQ;

namespace schoolgen {

namespace {

const std::array<const char*, 15> kCourseNames = {"语文", "数学", "英语", "物理", "化学",
                                                  "生物", "历史", "地理", "政治", "体育",
                                                  "音乐", "美术", "信息", "劳动", "心理"};
const std::array<int, 15> kBaseCounts = {5, 5, 4, 3, 2, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1};
const std::array<const char*, 10> kGradeNames = {"学前", "一", "二", "三", "四",
                                                 "五",   "六", "七", "八", "九"};

QString Q(const QString& s) {
    return "'" + SqlQ(s) + "'";
}

// Weekly counts of the courses, adjusted so that they add up to the lessons a class has a week.
std::vector<int> CourseCounts(int courses, int perWeek) {
    std::vector<int> counts(kBaseCounts.begin(), kBaseCounts.begin() + courses);
    int sum = 0;
    for (int c : counts) sum += c;
    for (size_t i = 0; sum != perWeek; i = (i + 1) % counts.size()) {
        if (sum < perWeek) {
            ++counts[i];
            ++sum;
        } else if (counts[i] > 1) {
            --counts[i];
            --sum;
        } else if (std::all_of(counts.begin(), counts.end(), [](int c) { return c <= 1; })) {
            break;
        }
    }
    return counts;
}

struct PlanRow {
    QString cls, course, teacher;
    int count = 0;
};

}  // namespace

SchoolSummary WriteSchool(tw::db::Database& db, const SchoolParams& p) {
    if (p.courses < 1 || p.courses > static_cast<int>(kCourseNames.size()) || p.classes < 1 ||
        p.lessonsPerDay < 1 || p.lessonsPerWeek > 5 * p.lessonsPerDay)
        throw std::invalid_argument("school parameters out of range");
    std::mt19937 rng(p.seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    SchoolSummary sum;
    tw::db::Transaction transaction(db);

    // Classes: spread over grades 1 to 6, numbered within their grade.
    std::vector<QString> classes;
    const int perGrade = (p.classes + 5) / 6;
    for (int i = 0; i < p.classes; ++i) {
        int grade = 1 + i / perGrade;
        QString code = QString::number(grade) + QString::asprintf("%02d", i % perGrade + 1);
        QString name = QString::fromUtf8(kGradeNames[grade]) + "年级" +
                       QString::number(i % perGrade + 1) + "班";
        db.Execute("insert into Classtb (Code,Name,FullName,ShortName) values (" + Q(code) + "," +
                   Q(name) + "," + Q(name) + "," + Q(name) + ")");
        classes.push_back(code);
    }
    // Courses.
    std::vector<QString> courses;
    for (int k = 0; k < p.courses; ++k) {
        QString code = QString::asprintf("%02d", k + 1);
        QString name = QString::fromUtf8(kCourseNames[k]);
        db.Execute("insert into Coursetb (Code,Name,FullName,ShortName) values (" + Q(code) + "," +
                   Q(name) + "," + Q(name) + "," + Q(name.left(1)) + ")");
        courses.push_back(code);
    }
    const std::vector<int> counts = CourseCounts(p.courses, p.lessonsPerWeek);

    // Which classes take each course; a shared-resource course only a few, its lessons going to
    // the first course instead in the other classes.
    const int firstShared = std::max(1, p.courses - p.sharedCourses);
    std::vector<PlanRow> plan;
    std::vector<std::vector<int>> takers(p.courses);
    std::vector<int> extra(p.classes, 0);
    for (int k = 0; k < p.courses; ++k) {
        for (int c = 0; c < p.classes; ++c) {
            bool takes = true;
            if (k >= firstShared) {
                // Every n-th class, starting at a different class per course.
                int step = std::max(1, p.classes / std::max(1, p.sharedClasses));
                takes = (c + k) % step == 0 && static_cast<int>(takers[k].size()) < p.sharedClasses;
            }
            if (takes)
                takers[k].push_back(c);
            else
                extra[c] += counts[k];
        }
    }
    // Teachers: one course each, as many classes as make about the aimed weekly load.
    int teacherNo = 0;
    std::map<std::pair<int, int>, QString> teacherOf;  // (course, class) -> teacher
    for (int k = 0; k < p.courses; ++k) {
        int per = std::max(1, (p.teacherLoad + counts[k] / 2) / std::max(1, counts[k]));
        for (size_t i = 0; i < takers[k].size(); ++i) {
            if (i % per == 0) {
                ++teacherNo;
                QString code = QString::asprintf("T%03d", teacherNo);
                QString name =
                    QString::fromUtf8(kCourseNames[k]) + "老师" + QString::number(teacherNo);
                db.Execute("insert into Teachertb (Code,Name,FullName,ShortName) values (" +
                           Q(code) + "," + Q(name) + "," + Q(name) + "," + Q(name) + ")");
            }
            teacherOf[{k, takers[k][i]}] = QString::asprintf("T%03d", teacherNo);
        }
    }
    // Teaching plan.
    for (int k = 0; k < p.courses; ++k) {
        for (int c : takers[k]) {
            int count = counts[k] + (k == 0 ? extra[c] : 0);
            PlanRow row{classes[c], courses[k], teacherOf[{k, c}], count};
            db.Execute("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values (" +
                       Q(row.cls) + "," + Q(row.course) + "," + Q(row.teacher) + "," +
                       QString::number(count) + ")");
            plan.push_back(row);
            sum.plannedLessons += count;
        }
    }
    for (int k = firstShared; k < p.courses; ++k)
        db.Execute("insert into CourseAttrtb (CourseCode) values (" + Q(courses[k]) + ")");

    // Course limits: the main courses prefer the first two lessons, physical education avoids
    // the first lesson, the last course never has the last lesson of Friday; one best slot names
    // lesson 7 (a day of 6 lessons has none). A few class and teacher limits the builder ignores.
    std::map<std::tuple<int, int, int>, int> attr;  // (course, day, lesson) -> Attr
    auto limit = [&](int kind, const QString& code, int day, int lesson, int a) {
        db.Execute("insert into Limittb values(" + QString::number(kind) + "," + Q(code) + "," +
                   QString::number(day) + "," + QString::number(lesson) + "," + QString::number(a) +
                   ")");
    };
    if (p.limits) {
        for (int k = 0; k < std::min(3, p.courses); ++k)
            for (int d = 1; d <= 5; ++d)
                for (int l = 1; l <= 2; ++l) attr[{k, d, l}] = 0;
        if (p.courses > 9)
            for (int d = 1; d <= 5; ++d) attr[{9, d, 1}] = 2;
        attr[{p.courses - 1, 5, p.lessonsPerDay}] = 3;
        if (p.courses > 1) attr[{1, 1, 7}] = 0;
        for (const auto& [key, a] : attr)
            limit(1, courses[std::get<0>(key)], std::get<1>(key), std::get<2>(key), a);
        limit(0, classes[0], 1, 1, 3);
        limit(2, QStringLiteral("T001"), 1, 2, 3);
    }

    // Fixed lessons: clash-free for classes and teachers, inside the day, off never slots,
    // within the daily bound of the course, shared-resource courses in one class per slot.
    std::set<std::tuple<QString, int, int>> classBusy, teacherBusy, sharedBusy;
    std::map<std::tuple<QString, QString, int>, int> perDay;  // (class, course, day)
    std::vector<int> fixedOfRow(plan.size(), 0);
    for (int tries = 0; sum.fixedLessons < p.fixedLessons && tries < p.fixedLessons * 50; ++tries) {
        size_t r = static_cast<size_t>(pick(static_cast<int>(plan.size())));
        const PlanRow& row = plan[r];
        int d = 1 + pick(5), l = 1 + pick(p.lessonsPerDay);
        int k = row.course.toInt() - 1;
        auto a = attr.find({k, d, l});
        bool shared = k >= firstShared;
        if (fixedOfRow[r] + 1 >= row.count || classBusy.count({row.cls, d, l}) ||
            teacherBusy.count({row.teacher, d, l}) || (a != attr.end() && a->second == 3) ||
            perDay[{row.cls, row.course, d}] >= row.count / 5 + 1 ||
            (shared && sharedBusy.count({row.course, d, l})))
            continue;
        classBusy.insert({row.cls, d, l});
        teacherBusy.insert({row.teacher, d, l});
        if (shared) sharedBusy.insert({row.course, d, l});
        ++perDay[{row.cls, row.course, d}];
        ++fixedOfRow[r];
        db.Execute("insert into LessonListtb values(" + Q(row.cls) + "," + QString::number(d) +
                   "," + QString::number(l) + "," + Q(row.course) + "," + Q(row.teacher) + ",0)");
        ++sum.fixedLessons;
    }
    // Lessons of an earlier build and placed by hand, anywhere the class is free.
    for (int i = 0, placed = 0; placed < p.staleLessons && i < p.staleLessons * 50; ++i) {
        const PlanRow& row = plan[static_cast<size_t>(pick(static_cast<int>(plan.size())))];
        int d = 1 + pick(5), l = 1 + pick(p.lessonsPerDay);
        if (!classBusy.insert({row.cls, d, l}).second) continue;
        db.Execute("insert into LessonListtb values(" + Q(row.cls) + "," + QString::number(d) +
                   "," + QString::number(l) + "," + Q(row.course) + "," + Q(row.teacher) + "," +
                   QString::number(1 + placed % 2) + ")");
        ++placed;
    }
    if (p.staleLessons > 0) db.Execute("update ClassPlantb set BuildCount=Count, IsAutoBuild=1");

    transaction.Commit();
    sum.classes = p.classes;
    sum.courses = p.courses;
    sum.teachers = teacherNo;
    sum.planRows = static_cast<int>(plan.size());
    return sum;
}

}  // namespace schoolgen
