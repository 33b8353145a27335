// Helpers of the customer import tests: files written into a temporary folder.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "text/Gbk.h"

namespace customertest {

// The GBK bytes of UTF-8 text, as customer files hold them.
inline std::string Gbk(const char* utf8) {
    return tw::text::ToGbk(QString::fromUtf8(utf8));
}

class TempFiles {
  public:
    // Writes bytes to a file of that name in the folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
        return path;
    }
    std::string Path(const std::string& name) const {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }

  private:
    QTemporaryDir dir_;
};

}  // namespace customertest
