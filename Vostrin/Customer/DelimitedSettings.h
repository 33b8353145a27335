// The settings shared by the layouts that read one customer per line with delimited fields:
// how many customers one call reads, and the field separator (none by default, which makes
// the whole line one field).
#pragma once

#include <string>

namespace TVostrin {

struct DelimitedSettings {
    int customersPerCall = 0;
    std::string fieldSeparator;
};

DelimitedSettings ReadDelimitedSettings(const std::string& iniFile);

}  // namespace TVostrin
