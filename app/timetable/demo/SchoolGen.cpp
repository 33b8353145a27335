#include "SchoolGen.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <stdexcept>
#include <tuple>

using tw::db::SqlQ;

namespace tw::timetable::demo {

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

// Who takes which course and who teaches it.
struct Courses {
    std::vector<std::vector<int>> takers;          // per course, its classes
    std::vector<int> counts;                       // per course, its lessons a week
    std::vector<QString> teacherNames;             // teacher n is T<n+1>
    std::map<std::pair<int, int>, int> teacherOf;  // (course, class) -> teacher
};

// A course system: course k is taken by class k (counted round the school), every fourteenth
// also by the class half the school away. Each course has 1 to 3 lessons a week, then single
// courses gain or lose one until the school has its lessons a week; the courses are dealt out to
// the teachers in a random order, so each teacher holds several.
Courses CourseSystem(const SchoolParams& p, const std::function<int(int)>& pick) {
    Courses cs;
    cs.takers.resize(static_cast<size_t>(p.courses));
    cs.counts.resize(static_cast<size_t>(p.courses));
    long total = 0;
    for (int k = 0; k < p.courses; ++k) {
        auto& takers = cs.takers[static_cast<size_t>(k)];
        takers.push_back(k % p.classes);
        if (k % 14 == 13 && p.classes > 1) takers.push_back((k + p.classes / 2) % p.classes);
        cs.counts[static_cast<size_t>(k)] = 1 + pick(3);
        total += cs.counts[static_cast<size_t>(k)] * static_cast<long>(takers.size());
    }
    for (int guard = 0; total != p.schoolLessons && guard < 100 * p.courses; ++guard) {
        const auto k = static_cast<size_t>(pick(p.courses));
        if (cs.takers[k].size() != 1) continue;
        if (total < p.schoolLessons && cs.counts[k] < 5) {
            ++cs.counts[k];
            ++total;
        } else if (total > p.schoolLessons && cs.counts[k] > 1) {
            --cs.counts[k];
            --total;
        }
    }
    std::vector<int> order(static_cast<size_t>(p.courses));
    for (int k = 0; k < p.courses; ++k) order[static_cast<size_t>(k)] = k;
    for (int i = p.courses - 1; i > 0; --i)
        std::swap(order[static_cast<size_t>(i)], order[static_cast<size_t>(pick(i + 1))]);
    for (int t = 0; t < p.courseTeachers; ++t)
        cs.teacherNames.push_back("老师" + QString::number(t + 1));
    for (int i = 0; i < p.courses; ++i) {
        const int k = order[static_cast<size_t>(i)];
        for (int c : cs.takers[static_cast<size_t>(k)]) cs.teacherOf[{k, c}] = i % p.courseTeachers;
    }
    return cs;
}

// The common school: every class takes every course but the shared-resource ones, which only a
// few take (their lessons go to the first course instead in the other classes); each teacher
// teaches one course to as many classes as make about the aimed weekly load.
Courses CommonCourses(const SchoolParams& p, std::vector<int>& extra) {
    Courses cs;
    cs.counts = CourseCounts(p.courses, p.lessonsPerWeek);
    cs.takers.resize(static_cast<size_t>(p.courses));
    const int firstShared = std::max(1, p.courses - p.sharedCourses);
    for (int k = 0; k < p.courses; ++k) {
        auto& takers = cs.takers[static_cast<size_t>(k)];
        for (int c = 0; c < p.classes; ++c) {
            bool takes = true;
            if (k >= firstShared) {
                // Every n-th class, starting at a different class per course.
                int step = std::max(1, p.classes / std::max(1, p.sharedClasses));
                takes = (c + k) % step == 0 && static_cast<int>(takers.size()) < p.sharedClasses;
            }
            if (takes)
                takers.push_back(c);
            else
                extra[static_cast<size_t>(c)] += cs.counts[static_cast<size_t>(k)];
        }
    }
    for (int k = 0; k < p.courses; ++k) {
        const int count = cs.counts[static_cast<size_t>(k)];
        const auto& takers = cs.takers[static_cast<size_t>(k)];
        int per = std::max(1, (p.teacherLoad + count / 2) / std::max(1, count));
        for (size_t i = 0; i < takers.size(); ++i) {
            if (i % static_cast<size_t>(per) == 0)
                cs.teacherNames.push_back(QString::fromUtf8(kCourseNames[static_cast<size_t>(k)]) +
                                          "老师" + QString::number(cs.teacherNames.size() + 1));
            cs.teacherOf[{k, takers[i]}] = static_cast<int>(cs.teacherNames.size()) - 1;
        }
    }
    return cs;
}

}  // namespace

SchoolSummary WriteSchool(tw::db::Database& db, const SchoolParams& p) {
    const bool courseSystem = p.courseTeachers > 0;
    const int perGrade = (p.classes + 5) / 6;
    if (p.courses < 1 || (!courseSystem && p.courses > static_cast<int>(kCourseNames.size())) ||
        p.classes < 1 || p.lessonsPerDay < 1 ||
        (!courseSystem && p.lessonsPerWeek > 5 * p.lessonsPerDay) || (p.formCodes && perGrade > 20))
        throw std::invalid_argument("school parameters out of range");
    std::mt19937 rng(p.seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    SchoolSummary sum;
    tw::db::Transaction transaction(db);

    // Classes: spread over grades 1 to 6, numbered within their grade.
    std::vector<QString> classes;
    for (int i = 0; i < p.classes; ++i) {
        const int grade = 1 + i / perGrade;
        const QString g = QString::fromUtf8(kGradeNames[static_cast<size_t>(grade)]);
        const QString n = QString::number(i % perGrade + 1);
        QString code = QString::number(grade) + QString::asprintf("%02d", i % perGrade + 1);
        QString name = g + "年级" + n + "班", fullName = name, shortName = name;
        if (p.formCodes) {
            code = QString::number(grade) + n;
            name = g + "（" + n + "）班";
            fullName = g + "年级（" + n + "）班";
            shortName = g + "（" + n + "）";
        }
        db.Execute("insert into Classtb (Code,Name,FullName,ShortName) values (" + Q(code) + "," +
                   Q(name) + "," + Q(fullName) + "," + Q(shortName) + ")");
        classes.push_back(code);
    }
    // Courses.
    std::vector<QString> courses;
    for (int k = 0; k < p.courses; ++k) {
        const QString subject = QString::fromUtf8(kCourseNames[static_cast<size_t>(k) % 15]);
        QString code = QString::asprintf("%02d", k + 1);
        QString name = subject;
        if (courseSystem) {
            code = QString::asprintf("%03d", k + 1);
            name = subject + QString::number(k / 15 + 1);
        }
        db.Execute("insert into Coursetb (Code,Name,FullName,ShortName) values (" + Q(code) + "," +
                   Q(name) + "," + Q(name) + "," + Q(name.left(1)) + ")");
        courses.push_back(code);
    }

    std::vector<int> extra(static_cast<size_t>(p.classes), 0);
    const Courses cs = courseSystem ? CourseSystem(p, pick) : CommonCourses(p, extra);
    const int firstShared = std::max(1, p.courses - p.sharedCourses);
    for (size_t t = 0; t < cs.teacherNames.size(); ++t) {
        const QString code = QString::asprintf("T%03d", static_cast<int>(t) + 1);
        db.Execute("insert into Teachertb (Code,Name,FullName,ShortName) values (" + Q(code) + "," +
                   Q(cs.teacherNames[t]) + "," + Q(cs.teacherNames[t]) + "," +
                   Q(cs.teacherNames[t]) + ")");
    }
    // Teaching plan.
    std::vector<PlanRow> plan;
    for (int k = 0; k < p.courses; ++k) {
        for (int c : cs.takers[static_cast<size_t>(k)]) {
            int count =
                cs.counts[static_cast<size_t>(k)] + (k == 0 ? extra[static_cast<size_t>(c)] : 0);
            PlanRow row{classes[static_cast<size_t>(c)], courses[static_cast<size_t>(k)],
                        QString::asprintf("T%03d", cs.teacherOf.at({k, c}) + 1), count};
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
        for (int k = 0; k < p.courses; ++k) {
            for (int d = 1; d <= 5; ++d) {
                if (k % 15 < 3)
                    for (int l = 1; l <= 2; ++l) attr[{k, d, l}] = 0;
                if (k % 15 == 9) attr[{k, d, 1}] = 2;
            }
        }
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
    sum.teachers = static_cast<int>(cs.teacherNames.size());
    sum.planRows = static_cast<int>(plan.size());
    return sum;
}

SchoolParams BenchmarkSchool(int classes) {
    SchoolParams p;
    p.classes = classes;
    p.courses = 15;
    p.lessonsPerWeek = 34;
    p.lessonsPerDay = 7;
    p.teacherLoad = 14;
    p.sharedCourses = 1;
    p.sharedClasses = 8;
    p.fixedLessons = 40;
    p.staleLessons = 0;
    return p;
}

SchoolParams CourseSystem() {
    SchoolParams p = BenchmarkSchool(111);
    p.courses = 560;
    p.courseTeachers = 100;
    p.schoolLessons = 1371;
    p.sharedCourses = 3;
    return p;
}

SchoolParams DemoSchool() {
    SchoolParams p = BenchmarkSchool(12);
    p.lessonsPerWeek = 28;
    p.lessonsPerDay = 6;
    p.fixedLessons = 6;
    p.formCodes = true;
    return p;
}

}  // namespace tw::timetable::demo
