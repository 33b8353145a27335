// Private-profile (INI) files with the Windows rules: section and key names match without
// regard to case, the first match wins, values are cut to the caller's buffer on a GBK
// character boundary, a write creates file and section and keeps every other line.
// Values are GBK bytes on disk.
#pragma once

#include <QString>
#include <string>

namespace tw::ini {

// Byte-level interface (GBK bytes), as the Windows functions: bufferSize counts the terminator,
// so at most bufferSize-1 bytes are returned.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, size_t bufferSize,
                                    const std::string& file);
// Leading decimal digits count; a value not starting with a digit is 0; missing key -> def.
unsigned GetPrivateProfileInt(const std::string& section, const std::string& key, unsigned def,
                              const std::string& file);
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file);

// QString conveniences: converted to and from GBK at the boundary; file is a path. A write
// whose section, key or value GBK cannot hold whole is refused (false, the file untouched), so
// a value is never stored changed.
QString ReadString(const QString& file, const QString& section, const QString& key,
                   const QString& def, size_t bufferSize);
unsigned ReadInt(const QString& file, const QString& section, const QString& key, unsigned def);
bool WriteString(const QString& file, const QString& section, const QString& key,
                 const QString& value);

}  // namespace tw::ini
