// Private-profile (INI) files with the Windows rules: section and key names match without
// regard to case, the first match wins, values are cut to the caller's buffer on a character
// boundary, a write creates file and section and keeps every other line. A file is GBK text,
// or UTF-8 text when it begins with the UTF-8 byte-order mark or, without the mark (as Linux
// editors save it), when all its bytes are valid UTF-8 and some are beyond ASCII; a write keeps
// the file's encoding (a write that would leave the file reading as the other one is refused),
// and the buffer limits count the bytes as stored.
#pragma once

#include <QString>
#include <string>

namespace tw::ini {

// Byte-level interface, as the Windows functions, on the bytes as the file stores them (GBK in
// the program's files): bufferSize counts the terminator, so at most bufferSize-1 bytes are
// returned. The reader trims the blanks around a value and drops enclosing quotes.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, size_t bufferSize,
                                    const std::string& file);
// Leading decimal digits count; a value not starting with a digit is 0; missing key -> def.
unsigned GetPrivateProfileInt(const std::string& section, const std::string& key, unsigned def,
                              const std::string& file);
// False, with the file untouched, when the write would change the file's shape (a line break,
// a key with "=") or the reader would give the value back changed (blanks around it, enclosing
// quotes).
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file);

// QString conveniences, converted from and to the file's encoding; file is a path. A write is
// refused (false, the file untouched) when the encoding cannot hold the section, key or value
// whole, or when the reader, with a buffer of readBufferSize bytes (0: any size), would give
// the value back changed; so a value is never stored changed.
QString ReadString(const QString& file, const QString& section, const QString& key,
                   const QString& def, size_t bufferSize);
unsigned ReadInt(const QString& file, const QString& section, const QString& key, unsigned def);
bool WriteString(const QString& file, const QString& section, const QString& key,
                 const QString& value, size_t readBufferSize = 0);

}  // namespace tw::ini
