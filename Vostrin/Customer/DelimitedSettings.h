// The settings shared by the layouts that read one customer per line with delimited fields:
// how many customers one call reads, and the field separator (none by default, which makes
// the whole line one field).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

class TXml;

namespace TVostrin {

struct DelimitedSettings {
    int customersPerCall = 0;
    std::string fieldSeparator;
};

DelimitedSettings ReadDelimitedSettings(const std::string& iniFile);

// Adds the row of one line (read without its line feed) to record and answers whether the
// line was a customer; a line that was not is passed over.
using AppendLineRow =
    std::function<bool(TXml* record, const std::string& line, const std::string& separator)>;

// One call of a layout that prints only a full set of customers on one page: reads the
// settings from iniFile, then lines of at most maxLine bytes from *filePos until
// customersPerCall of them were customers, each adding its row to the page's one record.
// VOSTRIN_CUSTOMER_READ_FAILED without a count, VOSTRIN_NO_CUSTOMER_LEFT when the data ends
// before the set is full; see ReadCustomerPages for the rest.
int ReadFullSetPage(const std::string& dataFile, int* filePos, const std::string& iniFile,
                    int index, TXml* root, size_t maxLine, const AppendLineRow& appendRow);

}  // namespace TVostrin
