// Build tool: makes an encrypted database file from a schema script.
//   tw_mkdb <output file> <schema.sql> <password>
// An existing output file is replaced.
#include <QFile>
#include <cstdio>

#include "db/Database.h"

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
    QString error;
    if (!tw::db::Database::Create(tmp, QString::fromLocal8Bit(argv[3]),
                                  QString::fromUtf8(schema.readAll()), &error)) {
        std::fprintf(stderr, "cannot create %s: %s\n", argv[1], error.toLocal8Bit().constData());
        return 1;
    }
    QFile::remove(out);
    if (!QFile::rename(tmp, out)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
