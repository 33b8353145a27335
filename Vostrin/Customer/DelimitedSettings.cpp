#include "Customer/DelimitedSettings.h"

#include "Customer/CustomerPages.h"
#include "Customer/CustomerReading.h"
#include "Customer/CustomerTreeElements.h"
#include "Customer/TextFileFormat.h"

namespace TVostrin {

DelimitedSettings ReadDelimitedSettings(const std::string& iniFile) {
    DelimitedSettings s;
    s.customersPerCall = ReadFormatInt(iniFile, kKeyCustomerRecordCnt, 0);
    s.fieldSeparator = ReadFormatSeparator(iniFile, kKeyFieldSeparator, "");
    return s;
}

int ReadFullSetPage(const std::string& dataFile, int* filePos, const std::string& iniFile,
                    int index, TXml* root, size_t maxLine, const AppendLineRow& appendRow) {
    const DelimitedSettings s = ReadDelimitedSettings(iniFile);
    return ReadCustomerPages(dataFile, filePos, root,
                             [&](CustomerTextFile& file, CustomerPages& pages) -> int {
                                 // Without a count no call would ever take a customer or reach the
                                 // end of the data.
                                 if (s.customersPerCall < 1) return VOSTRIN_CUSTOMER_READ_FAILED;
                                 auto record = NewElement("record");
                                 std::string line;
                                 int taken = 0;
                                 while (taken < s.customersPerCall) {
                                     if (!ReadBoundedLine(file, line, maxLine))
                                         return VOSTRIN_NO_CUSTOMER_LEFT;
                                     if (appendRow(record.get(), line, s.fieldSeparator)) ++taken;
                                 }
                                 pages.push_back(NewCustomerPage(index, std::move(record)));
                                 return 0;
                             });
}

}  // namespace TVostrin
