#include "Customer/CustomerReading.h"

#include <climits>

namespace TVostrin {

namespace {

void ThrowIfFailed(const CustomerTextFile& file) {
    if (file.Failed()) throw CustomerReadError("customer file read failed");
}

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

}  // namespace

int OpenCustomerFileAt(CustomerTextFile& file, const std::string& dataFile, const int* filePos) {
    if (!file.Open(dataFile)) return VOSTRIN_CUSTOMER_FILE_NOT_OPENED;
    if (!file.Seek(filePos ? *filePos : 0)) return VOSTRIN_CUSTOMER_SEEK_FAILED;
    return 0;
}

bool ReadBoundedLine(CustomerTextFile& file, std::string& line, size_t maxBytes) {
    line.clear();
    bool any = false;
    char c;
    while (file.ReadChar(c)) {
        any = true;
        if (c == '\n') return true;
        if (line.size() < maxBytes) line.push_back(c);
    }
    ThrowIfFailed(file);
    return any;
}

bool ReadCheckedChar(CustomerTextFile& file, char& c) {
    if (file.ReadChar(c)) return true;
    ThrowIfFailed(file);
    return false;
}

std::string ReadCheckedBytes(CustomerTextFile& file, size_t count) {
    std::string bytes = file.Read(count);
    ThrowIfFailed(file);
    return bytes;
}

int CurrentPosition(const CustomerTextFile& file) {
    const long position = file.Tell();
    if (position < 0 || position > INT_MAX)
        throw CustomerReadError("customer file position out of range");
    return static_cast<int>(position);
}

void ReturnTo(CustomerTextFile& file, int position) {
    if (!file.Seek(position)) throw CustomerReadError("customer file seek failed");
}

std::string TrimBlanks(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

}  // namespace TVostrin
