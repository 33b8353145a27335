// Build tool: makes the demo school, a made-up school with its timetable built, for a first look
// at the program. It starts from the empty database the build makes in the build tree and writes
// the generator's demo school into a copy of it beside the output file, which then takes the
// output's name in one step. An existing output file is replaced only by a whole demo school: on
// any failure it stays as it was and the copy is removed.
//   tw_mkdemo <empty database> <output file> <password>
#include <QFile>
#include <cstdio>
#include <memory>
#include <random>

#include "SchoolGen.h"
#include "db/Database.h"
#include "store/Command.h"
#include "timetable/mdlBuildKb.h"

namespace {

// Writes the school into the database file and builds its timetable with a fixed random
// sequence, so that every build makes the same file; false after a message on a failure.
bool WriteDemo(const QString& path, const QString& password) {
    std::unique_ptr<tw::db::Database> db = tw::db::Database::Open(path, password);
    if (!db) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return false;
    }
    const tw::timetable::demo::SchoolParams p = tw::timetable::demo::DemoSchool();
    const tw::store::Outcome written = tw::store::RunGuarded([&] {
        tw::timetable::demo::WriteSchool(*db, p);
        return tw::store::Outcome::Ok();
    });
    if (!written.Done()) {
        std::fprintf(stderr, "cannot write the school into %s: %s\n", qPrintable(path),
                     qPrintable(written.detail));
        return false;
    }
    auto gen = std::make_shared<std::mt19937>(p.seed);
    tw::timetable::Builder builder(*db, p.lessonsPerDay, [gen] {
        return std::uniform_real_distribution<double>(0.0, 1.0)(*gen);
    });
    const tw::store::Read<int> built = builder.Run();
    if (built.value < 0) {
        std::fprintf(stderr, "cannot build the timetable of %s %s\n", qPrintable(path),
                     qPrintable(built.outcome.detail));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <empty database> <output> <password>\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    const QString tmp = out + ".tmp";
    QFile::remove(tmp);
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), tmp)) {
        std::fprintf(stderr, "cannot copy %s to %s\n", argv[1], qPrintable(tmp));
        return 1;
    }
    if (!WriteDemo(tmp, QString::fromLocal8Bit(argv[3])) ||
        std::rename(QFile::encodeName(tmp).constData(), argv[2]) != 0) {
        QFile::remove(tmp);
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
