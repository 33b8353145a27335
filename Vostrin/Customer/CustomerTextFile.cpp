#include "Customer/CustomerTextFile.h"

#include "PrintElement/GbkText.h"

namespace TVostrin {

CustomerTextFile::~CustomerTextFile() {
    Close();
}

bool CustomerTextFile::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "rb");
    return file_ != nullptr;
}

void CustomerTextFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool CustomerTextFile::Seek(long position) {
    if (!file_ || position < 0) return false;
    return std::fseek(file_, position, SEEK_SET) == 0;
}

long CustomerTextFile::Tell() const {
    return file_ ? std::ftell(file_) : -1;
}

bool CustomerTextFile::ReadChar(char& c) {
    if (!file_) return false;
    const int byte = std::getc(file_);
    if (byte == EOF) return false;
    if (byte == '\r') {
        const int next = std::getc(file_);
        if (next == '\n') {
            c = '\n';
            return true;
        }
        if (next != EOF) std::ungetc(next, file_);
    }
    c = static_cast<char>(byte);
    return true;
}

bool CustomerTextFile::ReadLine(std::string& line) {
    line.clear();
    char c;
    bool any = false;
    while (ReadChar(c)) {
        any = true;
        if (c == '\n') return true;
        line.push_back(c);
    }
    return any;
}

std::string CustomerTextFile::Read(size_t count) {
    std::string text;
    char c;
    while (text.size() < count && ReadChar(c)) text.push_back(c);
    return text;
}

std::vector<std::string> SplitFields(const std::string& text, const std::string& separator) {
    std::vector<std::string> fields;
    if (separator.empty()) {
        if (!text.empty()) fields.push_back(text);
        return fields;
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t at = FindOnCharacterStart(text, separator, start);
        if (at == std::string::npos) at = text.size();
        fields.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    return fields;
}

std::string SeparatorAsRead(const std::string& separator) {
    std::string read;
    for (size_t i = 0; i < separator.size(); ++i) {
        if (separator[i] == '\r' && i + 1 < separator.size() && separator[i + 1] == '\n') continue;
        read.push_back(separator[i]);
    }
    return read;
}

}  // namespace TVostrin
