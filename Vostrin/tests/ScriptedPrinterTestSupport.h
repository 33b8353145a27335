// The print interface tests on a scripted printing system: one default printer "Scripted"
// whose documents come back page by page.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ZPrinters/ZPrintDevices.h"
#include "ZPrinters/ZScriptedPrintSystem.h"

namespace vostrintest {

inline std::string DataFile(const char* name) {
    return std::string(TW_TEST_DATA_DIR) + "/" + name;
}

class ScriptedPrinter : public ::testing::Test {
  protected:
    void SetUp() override {
        auto s = std::make_unique<Zprinters::TZScriptedPrintSystem>();
        sys = s.get();
        Zprinters::SetPrintSystem(std::move(s));
        sys->printers.push_back(Zprinters::TZScriptedPrintSystem::MakePrinter("Scripted", {"A4"}));
        sys->printers.push_back(Zprinters::TZScriptedPrintSystem::MakePrinter("Other", {"A4"}));
        sys->defaultPrinter = "Scripted";
        Zprinters::FreePrintDevices();
    }
    void TearDown() override { Zprinters::SetPrintSystem(nullptr); }

    int PagesOfLastDoc() const {
        return sys->LastDoc() ? static_cast<int>(sys->LastDoc()->pages.size()) : -1;
    }

    const std::string roll = DataFile("roll.xml");
    const std::string layout = DataFile("roll_layout.xml");
    Zprinters::TZScriptedPrintSystem* sys = nullptr;
};

}  // namespace vostrintest
