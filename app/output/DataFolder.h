// Where the print and export data files ("tmp.xml", "export_data.json") are written: the
// program folder when the user may write there, else the user's own cache folder, so that a
// system-wide installation prints and exports too.
#pragma once

#include <QString>

namespace tw::output {

// The program folder when it is writable; otherwise the user's cache folder ($XDG_CACHE_HOME,
// or ~/.cache when that is not set to an absolute path) followed by "/Tarnwick395", made when
// missing.
QString DataFolder();
// DataFolder() + "/" + name.
QString DataFile(const QString& name);

// The text that tells the user a data file could not be written: the file and the reason.
QString CannotWriteText(const QString& file, const QString& reason);

}  // namespace tw::output
