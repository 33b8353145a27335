// Package documents: several print calls adding their pages to one job per printer name.
#include <QCoreApplication>
#include <memory>

#include "PkgDoc.h"
#include "ScriptedPrinterTestSupport.h"
#include "TXml.h"
#include "Vostrin.h"

using vostrintest::DataFile;

namespace {

class PackageDocTest : public vostrintest::ScriptedPrinter {
  protected:
    void TearDown() override {
        EndPkgDoc("Scripted");
        EndPkgDoc("Other");
        EndPkgDoc(nullptr);
        ScriptedPrinter::TearDown();
    }
    int env = 77, sheets = 77, pages = 77;
};

}  // namespace

TEST_F(PackageDocTest, ThreeDataFilesOnOnePrinterAreOneJob) {
    ASSERT_EQ(BeginPkgDoc("Bundle", "Scripted", 'P'), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(PrintOneCustomXml2(roll.c_str(), "", layout.c_str(), &env, &sheets, &pages,
                                     "Scripted", 0),
                  0);
        EXPECT_EQ(pages, 2);
    }
    ASSERT_EQ(sys->docs.size(), 1u);
    EXPECT_FALSE(sys->LastDoc()->ended);
    EXPECT_EQ(sys->LastDoc()->title, "Bundle");
    EXPECT_TRUE(sys->LastDoc()->outputFile.isEmpty());
    EXPECT_EQ(EndPkgDoc("Scripted"), 0);
    ASSERT_EQ(sys->docs.size(), 1u);
    EXPECT_TRUE(sys->LastDoc()->ended);
    EXPECT_EQ(PagesOfLastDoc(), 6);
    EXPECT_EQ(TVostrin::PackagePrinterCount(), 0);
}

TEST_F(PackageDocTest, EveryPackageCallAppendsToTheSameDocument) {
    ASSERT_EQ(BeginPkgDoc("Mixed", nullptr, 0), 0);
    auto data = std::make_unique<TXml>();
    ASSERT_TRUE(data->LoadXmlFile(roll));
    auto tmpl = std::make_unique<TXml>();
    ASSERT_TRUE(tmpl->LoadXmlFile(layout));
    EXPECT_EQ(
        PrintOneCustomXmlEx2(data.get(), "", layout.c_str(), &env, &sheets, &pages, nullptr, 0), 0);
    EXPECT_EQ(PrintOneCustomXmlEx3(data.get(), "", tmpl.get(), &env, &sheets, &pages, nullptr, 0),
              0);
    EXPECT_EQ(pages, 2);
    int newPos = 0;
    EXPECT_EQ(PrintOneCustom2(DataFile("customers.txt").c_str(), 3, 0, &newPos,
                              DataFile("base_layout.ini").c_str(), layout.c_str(), &env, &sheets,
                              &pages, 1, nullptr, 0),
              0);
    EXPECT_EQ(EndPkgDoc(nullptr), 0);
    ASSERT_EQ(sys->docs.size(), 1u);
    EXPECT_EQ(sys->LastDoc()->device, "Scripted");
    EXPECT_EQ(PagesOfLastDoc(), 4);
    // The caller's trees are still whole.
    EXPECT_EQ(data->AttributeValue("docname"), "Roll");
    EXPECT_EQ(tmpl->GetTag(), "layout");
}

TEST_F(PackageDocTest, PackageCallsWithoutAnOpenDocumentFailWithoutPrinting) {
    EXPECT_EQ(
        PrintOneCustomXml2(roll.c_str(), "", layout.c_str(), &env, &sheets, &pages, "Scripted", 0),
        -2201);
    EXPECT_EQ(pages, 0);
    auto data = std::make_unique<TXml>();
    ASSERT_TRUE(data->LoadXmlFile(roll));
    EXPECT_EQ(
        PrintOneCustomXmlEx2(data.get(), "", layout.c_str(), &env, &sheets, &pages, "Scripted", 0),
        -2201);
    EXPECT_EQ(
        PrintOneCustomXmlEx3(data.get(), "", data.get(), &env, &sheets, &pages, "Scripted", 0),
        -2201);
    int newPos = -1;
    EXPECT_EQ(PrintOneCustom2(DataFile("customers.txt").c_str(), 0, 0, &newPos,
                              DataFile("base_layout.ini").c_str(), layout.c_str(), &env, &sheets,
                              &pages, 1, "Scripted", 0),
              -2201);
    EXPECT_EQ(newPos, -1);
    // Without printing, no printer is needed.
    EXPECT_EQ(PrintOneCustom2(DataFile("customers.txt").c_str(), 0, 2, &newPos,
                              DataFile("base_layout.ini").c_str(), layout.c_str(), &env, &sheets,
                              &pages, 0, "Scripted", 0),
              0);
    EXPECT_EQ(newPos, 2);
    EXPECT_TRUE(sys->docs.empty());
}

TEST_F(PackageDocTest, DataFileIsLoadedBeforeThePrinterIsLookedUp) {
    EXPECT_EQ(PrintOneCustomXml2(DataFile("missing.xml").c_str(), "", layout.c_str(), &env, &sheets,
                                 &pages, "Scripted", 0),
              -1001);
    EXPECT_EQ(pages, 77);
}

TEST_F(PackageDocTest, BeginTwiceEndsTheFirstDocument) {
    ASSERT_EQ(BeginPkgDoc("First", "Scripted", 0), 0);
    ASSERT_EQ(PrintOneCustomXml2(roll.c_str(), "", layout.c_str(), nullptr, nullptr, nullptr,
                                 "Scripted", 0),
              0);
    ASSERT_EQ(BeginPkgDoc("Second", "Scripted", 0), 0);
    ASSERT_EQ(sys->docs.size(), 2u);
    EXPECT_TRUE(sys->docs[0]->ended);
    EXPECT_EQ(sys->docs[0]->pages.size(), 2u);
    EXPECT_EQ(sys->docs[1]->title, "Second");
    EXPECT_FALSE(sys->docs[1]->ended);
    EXPECT_EQ(TVostrin::PackagePrinterCount(), 1);
    EXPECT_EQ(EndPkgDoc("Scripted"), 0);
    EXPECT_TRUE(sys->docs[1]->ended);
}

TEST_F(PackageDocTest, NamesAreKeptApartAndEndOfAnUnknownNameSucceeds) {
    EXPECT_EQ(EndPkgDoc("never opened"), 0);
    EXPECT_EQ(EndPkgDoc(nullptr), 0);
    ASSERT_EQ(BeginPkgDoc("A", "Scripted", 0), 0);
    ASSERT_EQ(BeginPkgDoc("B", "Other", 0), 0);
    EXPECT_EQ(TVostrin::PackagePrinterCount(), 2);
    EXPECT_EQ(TVostrin::FindPackagePrinter("scripted"), nullptr);
    EXPECT_EQ(
        PrintOneCustomXml2(roll.c_str(), "", layout.c_str(), nullptr, nullptr, nullptr, "Other", 0),
        0);
    EXPECT_EQ(EndPkgDoc("Other"), 0);
    EXPECT_EQ(EndPkgDoc("Scripted"), 0);
    ASSERT_EQ(sys->docs.size(), 2u);
    EXPECT_EQ(sys->docs[0]->pages.size(), 0u);
    EXPECT_EQ(sys->docs[1]->device, "Other");
    EXPECT_EQ(sys->docs[1]->pages.size(), 2u);
}

TEST_F(PackageDocTest, ModeTSendsTheJobToAFileInTheProgramFolder) {
    ASSERT_EQ(BeginPkgDoc("a.prn", "Scripted", 'T'), 0);
    ASSERT_EQ(sys->docs.size(), 1u);
    EXPECT_EQ(sys->LastDoc()->outputFile, QCoreApplication::applicationDirPath() + "/a.prn");
    EXPECT_EQ(EndPkgDoc("Scripted"), 0);
}

TEST_F(PackageDocTest, ModeTWithoutATitleHasNoFileToWrite) {
    EXPECT_EQ(BeginPkgDoc("", "Scripted", 'T'), -2201);
    EXPECT_EQ(BeginPkgDoc(nullptr, "Scripted", 'T'), -2201);
    EXPECT_TRUE(sys->docs.empty());
    EXPECT_EQ(PrintOneCustomXml2(roll.c_str(), "", layout.c_str(), nullptr, nullptr, nullptr,
                                 "Scripted", 0),
              -2201);
    // The same name opens normally afterwards.
    EXPECT_EQ(BeginPkgDoc("", "Scripted", 'P'), 0);
    EXPECT_EQ(EndPkgDoc("Scripted"), 0);
    EXPECT_EQ(sys->docs.size(), 1u);
}

TEST_F(PackageDocTest, UnknownPrinterFailsToBeginAndLeavesNoDocument) {
    EXPECT_EQ(BeginPkgDoc("X", "No such queue", 0), -2201);
    EXPECT_TRUE(sys->docs.empty());
    EXPECT_EQ(PrintOneCustomXml2(roll.c_str(), "", layout.c_str(), nullptr, nullptr, nullptr,
                                 "No such queue", 0),
              -2201);
    EXPECT_EQ(TVostrin::PackagePrinterCount(), 1);
    EXPECT_EQ(EndPkgDoc("No such queue"), 0);
    EXPECT_EQ(TVostrin::PackagePrinterCount(), 0);
}
