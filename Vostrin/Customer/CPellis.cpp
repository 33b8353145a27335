#include "Customer/CPellis.h"

#include <vector>

#include "Customer/CustomerTextFile.h"
#include "Customer/CustomerTreeElements.h"
#include "Customer/DelimitedSettings.h"

namespace TVostrin {

namespace {

constexpr size_t kMaxFieldLine = 4095;

void AppendNumberedRow(TXml* record, const std::vector<std::string>& fields) {
    auto tr = NewElement("tr");
    for (size_t i = 0; i < fields.size(); ++i)
        AppendValueElement(tr.get(), "field" + std::to_string(i), fields[i]);
    AppendElement(record, std::move(tr));
}

}  // namespace

int CPellis::Build(const std::string& dataFile, int* filePos, const std::string& iniFile, int index,
                   TXml* root) {
    return ReadFullSetPage(dataFile, filePos, iniFile, index, root, kMaxFieldLine,
                           [](TXml* record, const std::string& line, const std::string& separator) {
                               if (line.empty()) return false;  // blank lines are not customers
                               AppendNumberedRow(record, SplitFields(line, separator));
                               return true;
                           });
}

}  // namespace TVostrin
