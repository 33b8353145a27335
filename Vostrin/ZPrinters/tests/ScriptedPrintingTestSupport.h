// Installs a scripted printing system for one test and restores the CUPS one afterwards.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "ZPrinters/ZPrintDevices.h"
#include "ZPrinters/ZScriptedPrintSystem.h"

class ScriptedPrinting : public ::testing::Test {
  protected:
    void SetUp() override {
        auto s = std::make_unique<Zprinters::TZScriptedPrintSystem>();
        sys = s.get();
        Zprinters::SetPrintSystem(std::move(s));
    }
    void TearDown() override { Zprinters::SetPrintSystem(nullptr); }

    // Adds a printer with the standard papers named and returns it for further scripting.
    Zprinters::TZScriptedPrinter& AddPrinter(const QString& name,
                                             const QStringList& papers = {"A4", "A3"}) {
        sys->printers.push_back(Zprinters::TZScriptedPrintSystem::MakePrinter(name, papers));
        return sys->printers.back();
    }

    Zprinters::TZScriptedPrintSystem* sys = nullptr;
};

// The message of the exception a statement raises; empty when it raises none.
#define RAISED_MESSAGE(stmt)                      \
    [&]() -> QString {                            \
        try {                                     \
            stmt;                                 \
        } catch (const Zprinters::Exception& e) { \
            return e.Message();                   \
        }                                         \
        return QString();                         \
    }()
