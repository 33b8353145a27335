// Build tool: makes an encrypted database file from a schema script.
//   tw_mkdb <output file> <schema.sql> <password>
// The file is made under a temporary name beside the output and takes the output's name in one
// step, replacing an existing output file only when it is whole.
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
    if (std::rename(QFile::encodeName(tmp).constData(), argv[1]) != 0) {
        QFile::remove(tmp);
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
