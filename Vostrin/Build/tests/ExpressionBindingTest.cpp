#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>

#include "Build/CBuildPrintData.h"
#include "Build/ErrorLog.h"
#include "Build/ExpressionBinding.h"
#include "BuildTestSupport.h"
#include "Vostrin.h"

using namespace TVostrin;
using buildtest::BoundLibrary;
using buildtest::Parse;

namespace {

std::string Evaluate(const std::string& expr, const TXml* record) {
    std::string result = "untouched";
    EXPECT_EQ(EvaluateExpression(expr, record, &result), 0);
    return result;
}

// Restores the default library folder however a test ends.
struct FolderOverride {
    explicit FolderOverride(const QString& folder) {
        SetExpressionLibraryFolder(folder.toStdString());
    }
    ~FolderOverride() { SetExpressionLibraryFolder(""); }
};

int BuildWithLibraryIn(const QString& folder, TXml** printable) {
    FolderOverride override(folder);
    auto data = Parse("<data><record><r><a value=\"1\"/></r></record></data>");
    auto layout = Parse(
        "<t><pages><page><reporttable><text value=\"x\"/></reporttable></page>"
        "</pages></t>");
    int envelopes = 7, sheets = 7, pages = 7;
    CBuildPrintData builder;
    const int status = builder.BuildPrintable(data.get(), "", layout.get(), &envelopes, &sheets,
                                              &pages, printable);
    if (status != 0) {
        // Nothing is written before the library is bound.
        EXPECT_EQ(envelopes, 7);
        EXPECT_EQ(sheets, 7);
        EXPECT_EQ(pages, 7);
    }
    return status;
}

std::string LibmPath() {
    Dl_info info{};
    double (*fn)(double) = &::cos;
    dladdr(reinterpret_cast<void*>(fn), &info);
    return info.dli_fname ? info.dli_fname : "";
}

}  // namespace

using EvaluateExpressionTest = BoundLibrary;

TEST_F(EvaluateExpressionTest, LooksUpVariablesBelowTheRecord) {
    auto rec = Parse(R"(<tr><abc value="x"/><n value="4"/></tr>)");
    EXPECT_EQ(Evaluate("abc", rec.get()), "x");
    EXPECT_EQ(Evaluate("[n]*2+1", rec.get()), "9");
    EXPECT_EQ(Evaluate("1+1", rec.get()), "2");
}

TEST_F(EvaluateExpressionTest, MissingNodesAndMissingValuesGiveEmptyTexts) {
    // The first variable has no node: the values text starts with 0x05.
    auto rec = Parse(R"(<tr><b value="y"/><c/></tr>)");
    EXPECT_EQ(CollectValues("a,b", rec.get()), std::string("\x05y"));
    EXPECT_EQ(Evaluate("[a]&[b]", rec.get()), "y");
    // A node without "value" contributes the empty text.
    EXPECT_EQ(CollectValues("c,b", rec.get()), std::string("\x05y"));
    // Nothing bound to look in: one empty value per name.
    EXPECT_EQ(CollectValues("a,b,c", nullptr), std::string("\x05\x05"));
}

TEST_F(EvaluateExpressionTest, RecordTagNamesANodeBelowTheRecord) {
    auto rec = Parse(R"(<tr value="self"><x><tr value="inner"/></x></tr>)");
    EXPECT_EQ(Evaluate("tr", rec.get()), "inner");
}

TEST_F(EvaluateExpressionTest, LibraryFailureTextPrintsAsItIs) {
    auto rec = Parse("<tr/>");
    EXPECT_EQ(Evaluate("1+", rec.get()), "###");
}

TEST(ExpressionLibraryBinding, BuildFailsWith1100WhenTheLibraryIsMissing) {
    QTemporaryDir empty;
    TXml* printable = nullptr;
    EXPECT_EQ(BuildWithLibraryIn(empty.path(), &printable), -1100);
    EXPECT_EQ(printable, nullptr);
    EXPECT_FALSE(ExpressionLibraryBound());
}

TEST(ExpressionLibraryBinding, BuildFailsWith1101WhenAnExportIsMissing) {
    QTemporaryDir dir;
    // Any shared library without the two exports stands in for an incomplete one.
    ASSERT_TRUE(QFile::copy(QString::fromStdString(LibmPath()), dir.filePath("libCalvorix.so")));
    TXml* printable = nullptr;
    EXPECT_EQ(BuildWithLibraryIn(dir.path(), &printable), -1101);
    EXPECT_EQ(printable, nullptr);
    EXPECT_FALSE(ExpressionLibraryBound());
}

TEST(ExpressionLibraryBinding, BuildBindsTheLibraryOnlyWhileItRuns) {
    TXml* printable = nullptr;
    EXPECT_EQ(BuildWithLibraryIn(TW_DIST_DIR, &printable), 0);
    ASSERT_NE(printable, nullptr);
    delete printable;
    EXPECT_FALSE(ExpressionLibraryBound());
}

TEST(ExpressionLibraryBinding, LibraryIsSearchedBesideTheLoadedPrintLibrary) {
    // The folder of the module that holds the print library's code: libVostrin.so in a host,
    // the test program here.
    Dl_info own{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&BindExpressionLibrary), &own), 0);
    EXPECT_EQ(QDir(QString::fromStdString(ExpressionLibraryFolder())).canonicalPath(),
              QFileInfo(QString::fromUtf8(own.dli_fname)).canonicalPath());

#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer reports the second copy's globals as one-definition violations.
    GTEST_SKIP() << "loads a second copy of the print library";
#endif
    // A copy of the print library in a folder without the expression library cannot bind it
    // (-1100); the same copy binds it once the expression library sits beside it, and the job
    // then gets as far as the printer, which does not exist (-1003).
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(TW_DIST_DIR "/libVostrin.so", dir.filePath("libVostrin.so")));
    void* copy = dlopen(dir.filePath("libVostrin.so").toUtf8().constData(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(copy, nullptr) << dlerror();
    auto print = reinterpret_cast<decltype(&PrintOneCustomXml)>(dlsym(copy, "PrintOneCustomXml"));
    ASSERT_NE(print, nullptr);
    const std::string data = dir.filePath("data.xml").toStdString();
    const std::string layout = dir.filePath("layout.xml").toStdString();
    buildtest::WriteFile(data, "<data><record><r><a value=\"1\"/></r></record></data>");
    buildtest::WriteFile(layout,
                         "<t><pages><page><reporttable><text value=\"x\"/></reporttable></page>"
                         "</pages></t>");
    const char* printer = "No printer of this name";
    EXPECT_EQ(print(data.c_str(), "", layout.c_str(), nullptr, nullptr, nullptr, printer, 0),
              -1100);
    ASSERT_TRUE(QFile::copy(TW_DIST_DIR "/libCalvorix.so", dir.filePath("libCalvorix.so")));
    EXPECT_EQ(print(data.c_str(), "", layout.c_str(), nullptr, nullptr, nullptr, printer, 0),
              -1003);
    dlclose(copy);
}

TEST(ErrorLog, FailuresAreAppendedWithATimestamp) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("Errlog.txt").toStdString();
    AppendErrorLog(path, "first");
    AppendErrorLog(path, "second");
    const QString text = QString::fromStdString(buildtest::ReadFile(path));
    static const QRegularExpression line(
        R"(^\d{8}-\d{6}\(\d{3}\): first\r\n\d{8}-\d{6}\(\d{3}\): second\r\n$)");
    EXPECT_TRUE(line.match(text).hasMatch()) << text.toStdString();
    // An unwritable place is passed over silently.
    AppendErrorLog(dir.filePath("missing/Errlog.txt").toStdString(), "x");
}

TEST(ErrorLog, AFailedBuildReachesTheCallerOnlyAsItsStatus) {
    const QString log = QDir(QCoreApplication::applicationDirPath()).filePath("Errlog.txt");
    QFile::remove(log);
    QTemporaryDir empty;
    TXml* printable = nullptr;
    EXPECT_EQ(BuildWithLibraryIn(empty.path(), &printable), -1100);
    EXPECT_FALSE(QFile::exists(log));
}
