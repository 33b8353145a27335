#include "Customer/DelimitedSettings.h"

#include "Customer/TextFileFormat.h"

namespace TVostrin {

DelimitedSettings ReadDelimitedSettings(const std::string& iniFile) {
    DelimitedSettings s;
    s.customersPerCall = ReadFormatInt(iniFile, kKeyCustomerRecordCnt, 0);
    s.fieldSeparator = ReadFormatSeparator(iniFile, kKeyFieldSeparator, "");
    return s;
}

}  // namespace TVostrin
