// Times the automatic builder on generated schools and prints what it placed. With --demo it
// writes a built demo school into a database file instead.
//
//   bench_build                         24 and 72 classes, 15 courses, 7 lessons a day
//   bench_build --classes 40 --runs 3   one size, three runs
//   bench_build --demo dist/demo.mdb    a demo school with its timetable
//   bench_build --dump /tmp/week        also writes each timetable to /tmp/week<classes>.txt
#include <QCoreApplication>
#include <QDir>
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
#include "shell/mdlPublic.h"
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
    if (!tw::db::Database::Create(path, kDbPassword, ReadSchema(), &error)) {
        std::fprintf(stderr, "cannot create %s: %s\n", qPrintable(path), qPrintable(error));
        return nullptr;
    }
    return tw::db::Database::Open(path, kDbPassword);
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

int RunOne(const QString& path, const schoolgen::SchoolParams& p, int run, const QString& dump) {
    auto db = NewDatabase(path);
    if (!db) return 1;
    schoolgen::SchoolSummary s = schoolgen::WriteSchool(*db, p);
    auto gen = std::make_shared<std::mt19937>(p.seed * 1000u + static_cast<unsigned>(run));
    mdlBuildKb::Builder builder(*db, p.lessonsPerDay, [gen] {
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
    std::printf(
        "%3d classes %2d courses %3d teachers %4d plan rows | planned %5lld placed %5lld "
        "(%lld pre-set) %6.2f%% result %d | %7.1f ms (cpu %7.1f ms) | %6lld statements, %.1f "
        "per placed lesson\n",
        s.classes, s.courses, s.teachers, s.planRows, planned, placed, placed - byBuilder,
        planned ? 100.0 * static_cast<double>(placed) / static_cast<double>(planned) : 0.0, percent,
        ms, cpuMs, builder.StatementCount(),
        byBuilder ? static_cast<double>(builder.StatementCount()) / static_cast<double>(byBuilder)
                  : 0.0);
    std::fflush(stdout);
    if (!dump.isEmpty()) Dump(*db, dump + QString::number(s.classes) + ".txt");
    return percent < 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    schoolgen::SchoolParams p;
    p.courses = 15;
    p.lessonsPerWeek = 34;
    p.lessonsPerDay = 7;
    p.teacherLoad = 14;
    p.sharedCourses = 1;
    p.sharedClasses = 8;
    p.fixedLessons = 40;
    p.staleLessons = 0;
    std::vector<int> sizes = {24, 72};
    int runs = 1;
    QString demo;
    QString dump;
    bool dayGiven = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--lessons-day") == 0) dayGiven = true;
        auto arg = [&](const char* name) {
            return std::strcmp(argv[i], name) == 0 && i + 1 < argc;
        };
        if (arg("--classes"))
            sizes = {std::atoi(argv[++i])};
        else if (arg("--courses"))
            p.courses = std::atoi(argv[++i]);
        else if (arg("--lessons-week"))
            p.lessonsPerWeek = std::atoi(argv[++i]);
        else if (arg("--lessons-day"))
            p.lessonsPerDay = std::atoi(argv[++i]);
        else if (arg("--teacher-load"))
            p.teacherLoad = std::atoi(argv[++i]);
        else if (arg("--shared"))
            p.sharedCourses = std::atoi(argv[++i]);
        else if (arg("--shared-classes"))
            p.sharedClasses = std::atoi(argv[++i]);
        else if (arg("--fixed"))
            p.fixedLessons = std::atoi(argv[++i]);
        else if (arg("--seed"))
            p.seed = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (arg("--runs"))
            runs = std::atoi(argv[++i]);
        else if (arg("--demo"))
            demo = QString::fromLocal8Bit(argv[++i]);
        else if (arg("--dump"))
            dump = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--no-limits") == 0)
            p.limits = false;
        else {
            std::fprintf(stderr,
                         "usage: bench_build [--classes N] [--courses N] [--lessons-week N] "
                         "[--lessons-day 6|7] [--teacher-load N] [--shared N] [--shared-classes "
                         "N] [--fixed N] [--no-limits] [--seed N] [--runs N] [--demo FILE] "
                         "[--dump PREFIX]\n");
            return 2;
        }
    }
    try {
        if (!demo.isEmpty()) {
            // A small school with its timetable built, for a first look at the program.
            // Six lessons a day and 28 a week, as a new settings file has it.
            p.fixedLessons = 6;
            if (!dayGiven) {
                p.lessonsPerDay = 6;
                p.lessonsPerWeek = 28;
            }
            p.classes = sizes.size() == 1 ? sizes[0] : 12;
            auto db = NewDatabase(demo);
            if (!db) return 1;
            schoolgen::WriteSchool(*db, p);
            mdlBuildKb::Builder builder(*db, p.lessonsPerDay, mdlBuildKb::ClockSecondsRnd);
            const int percent = builder.AutoBuildLessons();
            std::printf("%s: %d classes, %d%% of the planned lessons placed\n", qPrintable(demo),
                        p.classes, percent);
            return percent < 0 ? 1 : 0;
        }
        QTemporaryDir dir;
        int rc = 0;
        for (int classes : sizes) {
            p.classes = classes;
            for (int run = 0; run < runs; ++run)
                rc |= RunOne(dir.filePath(QStringLiteral("bench.mdb")), p, run, dump);
        }
        return rc;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
}
