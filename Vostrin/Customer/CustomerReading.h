// Reading helpers shared by the customer file layouts: bounded lines, checked reads and
// positions. A read that fails for another reason than the end of the file throws
// CustomerReadError, which each layout turns into its read-failure status.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include "Customer/CBuildCustomerElement.h"
#include "Customer/CustomerTextFile.h"

namespace TVostrin {

class CustomerReadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads one line without its line feed and keeps at most maxBytes of it; the rest of an
// over-long line is read and dropped, so the next read starts on the next line. False when
// nothing was left to read.
bool ReadBoundedLine(CustomerTextFile& file, std::string& line, size_t maxBytes);

// One character; false at the end of the file.
bool ReadCheckedChar(CustomerTextFile& file, char& c);

// Up to count characters; fewer (or none) at the end of the file.
std::string ReadCheckedBytes(CustomerTextFile& file, size_t count);

// Opens dataFile and moves to *filePos (the start when filePos is null): 0, or
// VOSTRIN_CUSTOMER_FILE_NOT_OPENED or VOSTRIN_CUSTOMER_SEEK_FAILED.
int OpenCustomerFileAt(CustomerTextFile& file, const std::string& dataFile, const int* filePos);

// The file position as the int the callers carry between calls.
int CurrentPosition(const CustomerTextFile& file);

// Moves back to a position taken with CurrentPosition.
void ReturnTo(CustomerTextFile& file, int position);

// Drops leading and trailing blanks and control bytes (bytes up to 0x20).
std::string TrimBlanks(const std::string& text);

}  // namespace TVostrin
