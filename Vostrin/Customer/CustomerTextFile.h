// A customer text file opened for reading the way the layouts expect: a carriage return just
// before a line feed is dropped, positions are byte offsets in the file, and every byte value
// (0xFF included) is data. Closed when the object goes.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace TVostrin {

class CustomerTextFile {
  public:
    CustomerTextFile() = default;
    ~CustomerTextFile();
    CustomerTextFile(const CustomerTextFile&) = delete;
    CustomerTextFile& operator=(const CustomerTextFile&) = delete;

    // False when the file cannot be opened for reading.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    // Moves to a byte offset from the start; false for a negative offset or a failed seek.
    bool Seek(long position);
    // The byte offset of the next byte to read.
    long Tell() const;
    // True once a read failed for another reason than the end of the file.
    bool Failed() const { return file_ != nullptr && std::ferror(file_) != 0; }

    // Reads one character; false at the end of the file. A CR LF pair reads as one LF.
    bool ReadChar(char& c);
    // Reads one line of any length without its line feed (nor the carriage return before
    // it); false when nothing was left to read. The last line may lack its line feed.
    bool ReadLine(std::string& line);
    // Reads up to count characters (CR LF counting as one); fewer at the end of the file.
    std::string Read(size_t count);

  private:
    std::FILE* file_ = nullptr;
};

// Cuts text at every occurrence of separator that starts on a character boundary, left to
// right: the second byte of a GBK character (which may be 0x40-0x7E, "|" among them) never
// starts a separator, while a byte after a lead byte that it cannot follow does. A trailing
// empty piece is not produced; an empty separator gives the whole text as the one field (an
// empty text gives no field).
std::vector<std::string> SplitFields(const std::string& text, const std::string& separator);

// The separator as the reading layer reads it from the file: each CR LF becomes LF, so that a
// separator holding a line end matches the text read.
std::string SeparatorAsRead(const std::string& separator);

}  // namespace TVostrin
