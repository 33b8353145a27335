// The direct print exports: status codes, counts and what reaches the printer.
#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <string>

#include "ScriptedPrinterTestSupport.h"
#include "TXml.h"
#include "Vostrin.h"
#include "ZPrinters/ZPrinter.h"

using vostrintest::DataFile;

namespace {

class DirectExportsTest : public vostrintest::ScriptedPrinter {
  protected:
    int env = 77, sheets = 77, pages = 77;
};

}  // namespace

TEST_F(DirectExportsTest, DataFileThatDoesNotLoadLeavesTheCountsUntouched) {
    EXPECT_EQ(PrintOneCustomXml(DataFile("missing.xml").c_str(), "", layout.c_str(), &env, &sheets,
                                &pages, nullptr, 0),
              -1001);
    EXPECT_EQ(PrintOneCustomXml(DataFile("broken.xml").c_str(), "", layout.c_str(), &env, &sheets,
                                &pages, nullptr, 0),
              -1001);
    EXPECT_EQ(PrintOneCustomXml(nullptr, nullptr, nullptr, &env, &sheets, &pages, nullptr, 0),
              -1001);
    EXPECT_EQ(env, 77);
    EXPECT_EQ(sheets, 77);
    EXPECT_EQ(pages, 77);
    EXPECT_TRUE(sys->docs.empty());
}

TEST_F(DirectExportsTest, PrintsTheDataThroughTheTemplateAsOneDocument) {
    EXPECT_EQ(
        PrintOneCustomXml(roll.c_str(), "", layout.c_str(), &env, &sheets, &pages, "Scripted", 0),
        0);
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(sheets, 2);
    EXPECT_EQ(env, 2);
    ASSERT_EQ(sys->docs.size(), 1u);
    EXPECT_EQ(sys->LastDoc()->title, "Roll");
    EXPECT_EQ(sys->LastDoc()->device, "Scripted");
    EXPECT_TRUE(sys->LastDoc()->ended);
    EXPECT_EQ(PagesOfLastDoc(), 2);
    // The printer of the call went with it.
    EXPECT_EQ(Zprinters::LivePrinterCount(), 0);
}

TEST_F(DirectExportsTest, NullCountsAndNullPrinterName) {
    EXPECT_EQ(PrintOneCustomXml(roll.c_str(), nullptr, layout.c_str(), nullptr, nullptr, nullptr,
                                nullptr, 0),
              0);
    ASSERT_EQ(sys->docs.size(), 1u);
    EXPECT_EQ(sys->LastDoc()->device, "Scripted");
}

TEST_F(DirectExportsTest, MissingTemplateGivesMinus1001WithZeroCounts) {
    EXPECT_EQ(PrintOneCustomXml(roll.c_str(), "", DataFile("missing_layout.xml").c_str(), &env,
                                &sheets, &pages, nullptr, 0),
              -1001);
    EXPECT_EQ(env, 0);
    EXPECT_EQ(sheets, 0);
    EXPECT_EQ(pages, 0);
    EXPECT_TRUE(sys->docs.empty());
}

TEST_F(DirectExportsTest, UnknownPrinterIsAFailedPrintWithTheBuildCounts) {
    EXPECT_EQ(PrintOneCustomXml(roll.c_str(), "", layout.c_str(), &env, &sheets, &pages,
                                "No such queue", 0),
              -1003);
    EXPECT_EQ(pages, 2);
    EXPECT_TRUE(sys->docs.empty());
    EXPECT_EQ(Zprinters::LivePrinterCount(), 0);
}

TEST_F(DirectExportsTest, CallerKeepsItsDataTree) {
    auto data = std::make_unique<TXml>();
    ASSERT_TRUE(data->LoadXmlFile(roll));
    EXPECT_EQ(
        PrintOneCustomXmlEx(data.get(), "", layout.c_str(), &env, &sheets, &pages, "Other", 0), 0);
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(sys->LastDoc()->device, "Other");
    // The tree is still whole and can be printed again.
    EXPECT_EQ(data->AttributeValue("docname"), "Roll");
    EXPECT_EQ(
        PrintOneCustomXmlEx(data.get(), "", layout.c_str(), &env, &sheets, &pages, nullptr, 0), 0);
    EXPECT_EQ(sys->docs.size(), 2u);
    // No data tree: nothing is built or printed.
    EXPECT_EQ(PrintOneCustomXmlEx(nullptr, "", layout.c_str(), &env, &sheets, &pages, nullptr, 0),
              0);
    EXPECT_EQ(pages, 0);
    EXPECT_EQ(sys->docs.size(), 2u);
}

TEST_F(DirectExportsTest, PrintableFileIsPrintedAsItStands) {
    EXPECT_EQ(PrintPrintableXml(DataFile("printable.xml").c_str(), nullptr, 0), 0);
    ASSERT_EQ(sys->docs.size(), 1u);
    EXPECT_EQ(sys->LastDoc()->title, "Ready");
    EXPECT_EQ(sys->LastDoc()->device, "Scripted");
    EXPECT_EQ(PagesOfLastDoc(), 2);
    EXPECT_EQ(PrintPrintableXml(DataFile("missing.xml").c_str(), nullptr, 0), -1001);
    EXPECT_EQ(PrintPrintableXml(nullptr, nullptr, 0), -1001);
    EXPECT_EQ(PrintPrintableXml(DataFile("printable.xml").c_str(), "Nobody", 0), -1003);
    EXPECT_EQ(sys->docs.size(), 1u);
}

// Other software writes '>' into quoted values ("a->b"): every page of such a printable file
// prints. A file that ends inside a quoted value cannot be read whole: a failed load, nothing
// printed.
TEST_F(DirectExportsTest, PrintableFileWithGreaterThanInValuesPrintsEveryPage) {
    QTemporaryDir dir;
    auto write = [&](const char* name, bool whole) {
        std::string text = "<doc docname=\"Arrows\">\n";
        for (int i = 0; i < 16; ++i) {
            text +=
                "<page><reporttable><text x=\"200\" y=\"200\" value=\"a->b/>" + std::to_string(i);
            if (!whole && i == 9) break;
            text += "\" fontname=\"DejaVu Sans\" fontsize=\"12\"/></reporttable></page>\n";
        }
        const std::string path = dir.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary) << text << (whole ? "</doc>\n" : "");
        return path;
    };
    EXPECT_EQ(PrintPrintableXml(write("arrows.xml", true).c_str(), nullptr, 0), 0);
    ASSERT_EQ(sys->docs.size(), 1u);
    EXPECT_EQ(sys->LastDoc()->title, "Arrows");
    EXPECT_EQ(PagesOfLastDoc(), 16);
    EXPECT_EQ(PrintPrintableXml(write("cut.xml", false).c_str(), nullptr, 0), -1001);
    EXPECT_EQ(PrintOneCustomXml(write("cut_data.xml", false).c_str(), "", layout.c_str(), &env,
                                &sheets, &pages, nullptr, 0),
              -1001);
    EXPECT_EQ(pages, 77);
    EXPECT_EQ(sys->docs.size(), 1u);
}

// A picture the picture cap refuses (a progressive JPEG file claiming 11000 x 11000 pixels,
// whose decoding needs more memory than the cap) is reported: every page prints without it and
// the call returns -1003, on a printer of its own, in a package document and from a printable
// file. A picture file that is missing prints nothing and fails nothing.
TEST_F(DirectExportsTest, APictureTheCapRefusesFailsThePrintAfterEveryPage) {
    QTemporaryDir dir;
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::gray);
    QImageWriter writer(&buffer, "JPG");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(small));
    const int sof = jpeg.indexOf("\xFF\xC2");
    ASSERT_GT(sof, 0);
    jpeg[sof + 5] = jpeg[sof + 7] = char(11000 >> 8);
    jpeg[sof + 6] = jpeg[sof + 8] = char(11000 & 0xFF);
    QFile bomb(dir.filePath("bomb.jpg"));
    ASSERT_TRUE(bomb.open(QIODevice::WriteOnly));
    bomb.write(jpeg);
    bomb.close();
    auto write = [&](const QString& name, const std::string& text) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.c_str());
        return dir.filePath(name).toStdString();
    };
    auto layoutWith = [&](const QString& name, const QString& picture) {
        return write(name,
                     "<layout><pages><page continue=\"true\"><reporttable>"
                     "<image x=\"0\" y=\"0\" width=\"100\" height=\"100\" value=\"" +
                         picture.toStdString() +
                         "\"/><record><row repeatnum=\"2\" ystep=\"100\"><field "
                         "x=\"200\" y=\"300\">name</field></row></record></reporttable>"
                         "</page></pages></layout>");
    };
    const std::string refused = layoutWith("refused.xml", bomb.fileName());
    const std::string missing = layoutWith("missing.xml", dir.filePath("none.jpg"));

    EXPECT_EQ(
        PrintOneCustomXml(roll.c_str(), "", refused.c_str(), &env, &sheets, &pages, "Scripted", 0),
        -1003);
    EXPECT_EQ(pages, 2);
    ASSERT_EQ(sys->docs.size(), 1u);
    EXPECT_TRUE(sys->LastDoc()->ended);
    EXPECT_EQ(PagesOfLastDoc(), 2);
    EXPECT_EQ(
        PrintOneCustomXml(roll.c_str(), "", missing.c_str(), &env, &sheets, &pages, "Scripted", 0),
        0);
    EXPECT_EQ(PagesOfLastDoc(), 2);

    ASSERT_EQ(BeginPkgDoc("Bundle", "Scripted", 'P'), 0);
    EXPECT_EQ(
        PrintOneCustomXml2(roll.c_str(), "", refused.c_str(), &env, &sheets, &pages, "Scripted", 0),
        -1003);
    EXPECT_EQ(
        PrintOneCustomXml2(roll.c_str(), "", missing.c_str(), &env, &sheets, &pages, "Scripted", 0),
        0);
    EXPECT_EQ(EndPkgDoc("Scripted"), 0);
    EXPECT_EQ(PagesOfLastDoc(), 4);

    const std::string printable = write(
        "printable.xml",
        "<doc><page><reporttable><image width=\"100\" height=\"100\" "
        "value=\"" +
            bomb.fileName().toStdString() + "\"/><text value=\"x\"/></reporttable></page></doc>");
    EXPECT_EQ(PrintPrintableXml(printable.c_str(), nullptr, 0), -1003);
    EXPECT_EQ(PagesOfLastDoc(), 1);
}

TEST_F(DirectExportsTest, CustomerPortionWithoutPrinting) {
    const std::string ini = DataFile("base_layout.ini");
    const std::string customers = DataFile("customers.txt");
    int newPos = -5;
    EXPECT_EQ(PrintOneCustom(customers.c_str(), 1, 4, &newPos, ini.c_str(), layout.c_str(), &env,
                             &sheets, &pages, 0, nullptr, 0),
              0);
    EXPECT_EQ(newPos, 4);
    EXPECT_EQ(env, 0);
    EXPECT_EQ(sheets, 0);
    EXPECT_EQ(pages, 0);
    EXPECT_TRUE(sys->docs.empty());
    // Null out-pointers are left alone.
    EXPECT_EQ(PrintOneCustom(customers.c_str(), 1, 0, nullptr, ini.c_str(), layout.c_str(), nullptr,
                             nullptr, nullptr, 0, nullptr, 0),
              0);
}

TEST_F(DirectExportsTest, CustomerPortionPrintedBuildsFromTheImportedTree) {
    // A layout that reads nothing gives a bare root: no records, so no page and no document.
    const std::string ini = DataFile("base_layout.ini");
    int newPos = -5;
    EXPECT_EQ(PrintOneCustom(DataFile("customers.txt").c_str(), 1, 0, &newPos, ini.c_str(),
                             layout.c_str(), &env, &sheets, &pages, 1, "Scripted", 0),
              0);
    EXPECT_EQ(newPos, 0);
    EXPECT_EQ(pages, 0);
    EXPECT_EQ(PagesOfLastDoc() <= 0, true);
}

TEST(PrintInterface, PerPageDoesNothing) {
    EXPECT_EQ(PrintOneCustomPerPage(0, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(PrintOneCustomPerPage(-1, 2, 3, 4, 5, 6, 7, 8), 0);
}

TEST(PrintInterface, HostBindingKeepsTheFirstApplication) {
    SetVostrinDLLApp(QCoreApplication::instance());
    SetVostrinDLLApp(nullptr);
    EXPECT_FALSE(TVostrin::HostProgramFolder().empty());
    EXPECT_EQ(TVostrin::HostProgramFolder(), QCoreApplication::applicationDirPath().toStdString());
}
