// The print interface tests on a scripted printing system: one default printer "Scripted"
// whose documents come back page by page.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ZPrinters/ZPrintDevices.h"
#include "ZPrinters/tests/ScriptedPrintingTestSupport.h"

namespace vostrintest {

inline std::string DataFile(const char* name) {
    return std::string(TW_TEST_DATA_DIR) + "/" + name;
}

class ScriptedPrinter : public ScriptedPrinting {
  protected:
    void SetUp() override {
        ScriptedPrinting::SetUp();
        AddPrinter("Scripted", {"A4"});
        AddPrinter("Other", {"A4"});
        sys->defaultPrinter = "Scripted";
        Zprinters::FreePrintDevices();
    }

    int PagesOfLastDoc() const {
        return sys->LastDoc() ? static_cast<int>(sys->LastDoc()->pages.size()) : -1;
    }

    const std::string roll = DataFile("roll.xml");
    const std::string layout = DataFile("roll_layout.xml");
};

}  // namespace vostrintest
