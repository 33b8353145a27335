#include "db/CodeOrder.h"

#include <cstdint>

namespace tw::db {

QByteArray CodeKey(const QString& code) {
    // The bytes the database layer stores for the text.
    QByteArray key = code.toUtf8();
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    // The database's comparison stops at a NUL byte inside the text and then tells the two
    // texts apart by their byte lengths alone: the bytes up to the first NUL, the NUL, and the
    // length (most significant byte first) order and match as it does.
    const qsizetype nul = key.indexOf('\0');
    if (nul >= 0) {
        const auto length = static_cast<std::uint64_t>(key.size());
        key.truncate(nul + 1);
        for (int shift = 56; shift >= 0; shift -= 8)
            key.append(static_cast<char>((length >> shift) & 0xFF));
    }
    return key;
}

int CompareCodes(const QString& a, const QString& b) {
    // QByteArray compares its bytes as unsigned numbers, the shorter first on a common start.
    return CodeKey(a).compare(CodeKey(b));
}

}  // namespace tw::db
