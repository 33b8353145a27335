// Build tool: makes the demo school, a made-up school of 12 classes with its timetable built,
// for a first look at the program. Its classes are coded and named as the class form makes
// them, and it has 6 lessons a day, as a new settings file has it.
//   tw_mkdemo <output file> <schema.sql> <password>
// An existing output file is replaced.
#include <QFile>
#include <cstdio>
#include <memory>
#include <random>

#include "SchoolGen.h"
#include "db/Database.h"
#include "timetable/mdlBuildKb.h"

namespace {

schoolgen::SchoolParams DemoSchool() {
    schoolgen::SchoolParams p;
    p.classes = 12;
    p.courses = 15;
    p.lessonsPerWeek = 28;
    p.lessonsPerDay = 6;
    p.teacherLoad = 14;
    p.sharedCourses = 1;
    p.sharedClasses = 8;
    p.fixedLessons = 6;
    p.staleLessons = 0;
    p.formCodes = true;
    return p;
}

// Writes the school and builds its timetable; false after a message on a failure.
bool MakeDemo(const QString& path, const QString& password, const QString& schema) {
    QString error;
    if (!tw::db::Database::Create(path, password, schema, &error)) {
        std::fprintf(stderr, "cannot create %s: %s\n", qPrintable(path), qPrintable(error));
        return false;
    }
    std::unique_ptr<tw::db::Database> db = tw::db::Database::Open(path, password);
    if (!db) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return false;
    }
    const schoolgen::SchoolParams p = DemoSchool();
    schoolgen::WriteSchool(*db, p);
    // A fixed random sequence, so that every build makes the same file.
    auto gen = std::make_shared<std::mt19937>(p.seed);
    mdlBuildKb::Builder builder(*db, p.lessonsPerDay, [gen] {
        return std::uniform_real_distribution<double>(0.0, 1.0)(*gen);
    });
    const int percent = builder.AutoBuildLessons();
    db->Close();
    if (percent < 0) {
        std::fprintf(stderr, "cannot build the timetable of %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <output> <schema.sql> <password>\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QFile schema(QString::fromLocal8Bit(argv[2]));
    if (!schema.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 1;
    }
    const QString tmp = out + ".tmp";
    QFile::remove(tmp);
    try {
        if (!MakeDemo(tmp, QString::fromLocal8Bit(argv[3]), QString::fromUtf8(schema.readAll())))
            return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cannot write the school into %s: %s\n", argv[1], e.what());
        return 1;
    }
    QFile::remove(out);
    if (!QFile::rename(tmp, out)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
