// Where the print and export data files ("tmp.xml", "export_data.json") are written: the
// program folder when the user may write there, else the user's own cache folder, so that a
// system-wide installation prints and exports too.
#pragma once

#include <QString>
#include <string>

namespace tw::output {

// The user's cache folder for the data files: $XDG_CACHE_HOME (or ~/.cache when that is not set
// to an absolute path) followed by "/Tarnwick395".
QString CacheDataFolder();
// The program folder when it is writable; otherwise CacheDataFolder(), made when missing. Empty
// text when it cannot be made, with the folder and the system's reason in *error when given.
QString DataFolder(QString* error = nullptr);
// DataFolder() + "/" + name; empty text, with *error as above, when the folder cannot be made.
QString DataFile(const QString& name, QString* error = nullptr);

// The text that tells the user a data file could not be written: the file and the reason.
QString CannotWriteText(const QString& file, const QString& reason);

// Writes bytes as the whole content of the data file fileName. The file is replaced only once
// every byte is written, so on failure an existing file keeps its old content. True when
// written; false otherwise, with CannotWriteText's text in *error when error is given.
bool WriteDataFileBytes(const QString& fileName, const std::string& bytes,
                        QString* error = nullptr);

}  // namespace tw::output
