// Times the automatic builder on generated schools and prints what it placed. The build is timed
// in process on an open database; the open of the school's file (with its key) is timed apart and
// printed beside it, as a peer timed as a whole process pays for reading its input too.
//
//   bench_build                         24 and 72 classes with 15 common courses, and a course
//                                       system of 111 classes and 560 courses; 7 lessons a day
//   bench_build --classes 40 --runs 3   one common school, three runs
//   bench_build --course-system         the course system alone (its parameters may follow)
//   bench_build --dump /tmp/week        also writes each timetable to /tmp/week<classes>.txt
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

#include "SchoolGen.h"
#include "db/Database.h"
#include "shell/AppState.h"
#include "timetable/mdlBuildKb.h"

namespace {

QString ReadSchema() {
    QFile f(QStringLiteral(TW_SCHEMA_FILE));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

long long Int(tw::db::Database& db, const QString& sql) {
    auto rs = db.OpenRecordset(sql);
    long long v = rs->Eof() ? 0 : rs->Fields(0).Int();
    rs->Close();
    return v;
}

std::unique_ptr<tw::db::Database> NewDatabase(const QString& path) {
    QFile::remove(path);
    QString error;
    if (!tw::db::Database::Create(path, tw::shell::kDbPassword, ReadSchema(), &error)) {
        std::fprintf(stderr, "cannot create %s: %s\n", qPrintable(path), qPrintable(error));
        return nullptr;
    }
    return tw::db::Database::Open(path, tw::shell::kDbPassword);
}

// Writes the timetable, one lesson a line, for comparing two builds.
void Dump(tw::db::Database& db, const QString& file) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    auto rs = db.OpenRecordset(
        "select ClassCode, Day, LessonNo, CourseCode, TeacherCode, SetFlag from LessonListtb "
        "order by ClassCode, Day, LessonNo");
    for (; !rs->Eof(); rs->MoveNext()) {
        QStringList f;
        for (int i = 0; i < rs->FieldCount(); ++i) f << rs->Fields(i).Text();
        out.write((f.join(' ') + '\n').toUtf8());
    }
}

int RunOne(const QString& path, const tw::timetable::demo::SchoolParams& p, int run,
           const QString& dump) {
    auto db = NewDatabase(path);
    if (!db) return 1;
    tw::timetable::demo::SchoolSummary s = tw::timetable::demo::WriteSchool(*db, p);
    // The school is on disk: open it again, as the program opens a school before building.
    db.reset();
    QElapsedTimer openTimer;
    openTimer.start();
    db = tw::db::Database::Open(path, tw::shell::kDbPassword);
    const double openMs = static_cast<double>(openTimer.nsecsElapsed()) / 1e6;
    if (!db) return 1;
    auto gen = std::make_shared<std::mt19937>(p.seed * 1000u + static_cast<unsigned>(run));
    tw::timetable::Builder builder(*db, p.lessonsPerDay, [gen] {
        return std::uniform_real_distribution<double>(0.0, 1.0)(*gen);
    });
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    const int percent = builder.AutoBuildLessons();
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const long long planned = Int(*db, "select sum(Count) from ClassPlantb");
    const long long placed = Int(*db, "select sum(BuildCount) from ClassPlantb");
    const long long byBuilder = Int(*db, "select count(*) from LessonListtb where SetFlag=1");
    const auto perLesson = [byBuilder](double v) {
        return byBuilder ? v / static_cast<double>(byBuilder) : 0.0;
    };
    std::printf(
        "%4d classes %3d courses %4d teachers %5d plan rows | planned %5lld placed %5lld "
        "(%lld pre-set) %6.2f%% result %d | %7.1f ms (cpu %7.1f ms), %5.1f us per placed lesson "
        "| %6lld statements, %.1f per placed lesson | open %.1f ms\n",
        s.classes, s.courses, s.teachers, s.planRows, planned, placed, placed - byBuilder,
        planned ? 100.0 * static_cast<double>(placed) / static_cast<double>(planned) : 0.0, percent,
        ms, cpuMs, perLesson(1000.0 * ms), builder.StatementCount(),
        perLesson(static_cast<double>(builder.StatementCount())), openMs);
    std::fflush(stdout);
    if (!dump.isEmpty()) Dump(*db, dump + QString::number(s.classes) + ".txt");
    return percent < 0 ? 1 : 0;
}

using tw::timetable::demo::SchoolParams;

// An option that sets one number of every school; some are for the course system only.
struct NumberOption {
    const char* name;
    int SchoolParams::*field;
    bool courseSystemOnly;
};

constexpr NumberOption kNumberOptions[] = {
    {"--classes", &SchoolParams::classes, false},
    {"--courses", &SchoolParams::courses, false},
    {"--lessons-week", &SchoolParams::lessonsPerWeek, false},
    {"--lessons-day", &SchoolParams::lessonsPerDay, false},
    {"--teacher-load", &SchoolParams::teacherLoad, false},
    {"--teachers", &SchoolParams::courseTeachers, true},
    {"--school-lessons", &SchoolParams::schoolLessons, true},
    {"--shared", &SchoolParams::sharedCourses, false},
    {"--shared-classes", &SchoolParams::sharedClasses, false},
    {"--fixed", &SchoolParams::fixedLessons, false},
};

// The number option of that name; null when there is none.
const NumberOption* NumberOptionOf(const char* name) {
    for (const NumberOption& o : kNumberOptions)
        if (std::strcmp(o.name, name) == 0) return &o;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<tw::timetable::demo::SchoolParams> schools = {
        tw::timetable::demo::BenchmarkSchool(24), tw::timetable::demo::BenchmarkSchool(72),
        tw::timetable::demo::CourseSystem()};
    int runs = 1;
    QString dump;
    auto usage = [] {
        std::fprintf(stderr,
                     "usage: bench_build [--course-system] [--classes N] [--courses N] "
                     "[--lessons-week N] [--lessons-day 6|7] [--teacher-load N] [--teachers N] "
                     "[--school-lessons N] [--shared N] [--shared-classes N] [--fixed N] "
                     "[--no-limits] [--seed N] [--runs N] [--dump PREFIX]\n");
        return 2;
    };
    // The schools: the three above, the course system alone, or one common school whose
    // parameters the options give.
    bool courseSystem = false, parameters = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--course-system") == 0)
            courseSystem = true;
        else if (std::strncmp(argv[i], "--", 2) == 0 && std::strcmp(argv[i], "--runs") != 0 &&
                 std::strcmp(argv[i], "--dump") != 0)
            parameters = true;
    }
    if (courseSystem)
        schools = {tw::timetable::demo::CourseSystem()};
    else if (parameters)
        schools = {tw::timetable::demo::BenchmarkSchool(24)};
    for (int i = 1; i < argc; ++i) {
        auto arg = [&](const char* name) {
            return std::strcmp(argv[i], name) == 0 && i + 1 < argc;
        };
        if (std::strcmp(argv[i], "--course-system") == 0) {
        } else if (std::strcmp(argv[i], "--no-limits") == 0) {
            for (tw::timetable::demo::SchoolParams& p : schools) p.limits = false;
        } else if (arg("--runs")) {
            runs = std::atoi(argv[++i]);
        } else if (arg("--dump")) {
            dump = QString::fromLocal8Bit(argv[++i]);
        } else if (arg("--seed")) {
            const auto seed = static_cast<unsigned>(std::atoi(argv[++i]));
            for (tw::timetable::demo::SchoolParams& p : schools) p.seed = seed;
        } else if (const NumberOption* o = NumberOptionOf(argv[i]);
                   o && arg(o->name) && (courseSystem || !o->courseSystemOnly)) {
            const int v = std::atoi(argv[++i]);
            for (SchoolParams& p : schools) p.*(o->field) = v;
        } else {
            return usage();
        }
    }
    try {
        QTemporaryDir dir;
        int rc = 0;
        for (const tw::timetable::demo::SchoolParams& p : schools) {
            for (int run = 0; run < runs; ++run)
                rc |= RunOne(dir.filePath(QStringLiteral("bench.mdb")), p, run, dump);
        }
        return rc;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
}
