// One page open on a scripted printer, for drawing single elements with a prepared canvas and
// reading the page back as an image; and a printer context that takes raw printer commands.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "ChildCostTestSupport.h"
#include "PrintElement/PrintElementFactory.h"
#include "PrintElement/RawPrinterChannel.h"
#include "PrintTestSupport.h"
#include "ZPrinters/ZPrinter.h"
#include "ZPrinters/ZPrinterCanvas.h"

namespace printtest {

// An "image" element of the picture at path, with its box given as attributes.
inline std::string ImageElement(const QString& path, const std::string& box) {
    return "<image " + box + " value=\"" + path.toStdString() + "\"/>";
}

class ElementPage : public ScriptedRenderer {
  protected:
    void TearDown() override {
        printer.reset();
        ScriptedRenderer::TearDown();
    }

    // Starts a document with one open page; the canvas is ready for drawing.
    Zprinters::TZPrinterCanvas* Open() {
        printer = std::make_unique<Zprinters::TZPrinter>();
        printer->SetTitle("elements");
        printer->StartDoc(QString());
        printer->StartPage();
        return printer->Canvas.get();
    }

    // Draws the element of the node's XML text on the open page; the element's result.
    bool Draw(const std::string& xml, int offsetX = 0, int offsetY = 0) {
        auto tree = LoadTree(xml);
        EXPECT_TRUE(tree);
        if (!tree) return false;
        auto element = TVostrin::CreatePrintElement(tree.get());
        element->OffsetX = offsetX;
        element->OffsetY = offsetY;
        const Zprinters::TPoint dpi = printer->GetResolution();
        element->DpiX = dpi.X;
        element->DpiY = dpi.Y;
        element->PrinterHandle = printer->GetHandle();
        return element->Print(printer->Canvas.get());
    }

    // Ends page and document; the page's image.
    QImage Close() {
        printer->EndPage();
        printer->EndDoc();
        return Pages().empty() ? QImage() : Pages().back().image;
    }

    // What drawing the picture at path `times` times into the box (x, y, width, height in
    // tenths of a millimetre) on one page costs, in a child process; its result is the RGB
    // colour of the page at dot (x, y) + (300, 300).
    testcost::ChildCost CostOfDrawing(
        const QString& path, int times,
        const std::string& box = R"(x="0" y="0" width="600" height="600")") {
        return testcost::CostInChild([&] {
            Open();
            for (int i = 0; i < times; ++i) Draw(ImageElement(path, box));
            return static_cast<int>(Close().pixel(300, 300) & 0xFFFFFF);
        });
    }

    std::unique_ptr<Zprinters::TZPrinter> printer;
};

// Files written into a temporary folder of the test's own.
class TestFiles {
  public:
    // The path of the file name, written with bytes.
    QString Write(const QString& name, const QByteArray& bytes) {
        QFile file(dir_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

  private:
    QTemporaryDir dir_;
};

// A file in the folder of the running program, removed when the test ends.
class ProgramFolderFile {
  public:
    explicit ProgramFolderFile(const QString& name)
        : path_(QCoreApplication::applicationDirPath() + "/" + name) {}
    ~ProgramFolderFile() { QFile::remove(path_); }
    ProgramFolderFile(const ProgramFolderFile&) = delete;
    ProgramFolderFile& operator=(const ProgramFolderFile&) = delete;
    const QString& Path() const { return path_; }

  private:
    QString path_;
};

// A printer context whose device takes raw commands: it keeps what it was sent.
class RawContext : public Zprinters::TZPrintContext, public TVostrin::TRawPrinterChannel {
  public:
    bool IsDeviceContext() const override { return true; }
    int GetDeviceCaps(int) const override { return 0; }
    bool PassThrough(const std::string& bytes) override {
        sent.push_back(bytes);
        return true;
    }
    std::vector<std::string> sent;
};

}  // namespace printtest
