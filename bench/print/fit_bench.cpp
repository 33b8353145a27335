// Times fitted texts of growing length through the renderer: one page with one "text" element of
// n unbroken Chinese characters, drawn into a PDF file on the named printer (the CUPS queue's
// settings, the document kept as a file), for each shape below and each length. Prints the
// processor time of the best of three runs and its ratio to the length before.
//
// Shapes:
//   cell   the lower half of a cell of the A4 timetables (29 x 16.5 mm, 11 pt, 4 lines): the
//          text never fits and ends with "…"
//   page   a box of 180 x 260 mm, 12 pt down to 1 pt, any number of lines: the text fits whole
//   wide   a box one metre wide at 1000 pt on two lines
//   lines  the same box on up to 100 lines at 1000 pt down to 6 pt: the text fits whole
//   long   the same box at 8 pt on up to 100 lines: several hundred characters a line
//   huge   a box three metres wide at 24 pt down to 6 pt on up to 8 lines: a thousand
//          characters and more a line
//   half   a box as wide as half the text at 6 pt, 12 pt down to 6 pt on up to 3 lines: the
//          lines grow with the text
//
// Usage: bench_fit [--printer NAME] [--out FOLDER] [LENGTH...]   (default 1000 2000 4000 8000)
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "PrintElement/Print.h"
#include "TXml.h"
#include "ZPrinters/ZPrinter.h"
#include "text/Gbk.h"

namespace {

double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

std::string Unbroken(int n) {
    const QString sentence = QStringLiteral("课程表星期一到星期五每天六节课综合实践活动与研究");
    QString text;
    while (text.size() < n) text += sentence;
    return tw::text::ToGbk(text.left(n));
}

// The processor time of one page with the element drawn into a PDF file.
double RenderMs(const std::string& printer, const QString& folder, const std::string& element) {
    const QString path = folder + "/page.xml";
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return -1;
        const std::string xml = "<doc><page><pagesetting></pagesetting><reporttable>" + element +
                                "</reporttable></page></doc>";
        f.write(xml.data(), static_cast<qint64>(xml.size()));
    }
    TXml tree;
    if (!tree.LoadXmlFile(path.toStdString())) return -1;
    const double start = CpuMs();
    try {
        Zprinters::TZPrinter p;
        p.SetDeviceName(QString::fromStdString(printer));
        p.SetTitle(QStringLiteral("fit"));
        p.StartDoc(folder + "/fit.pdf");
        TVostrin::TPrint().PrintOn(&tree, &p, 'T');
        p.EndDoc();
    } catch (...) {
        return -1;
    }
    return CpuMs() - start;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::string printer = "PDF";
    QString out;
    std::vector<int> lengths;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--printer") && i + 1 < argc) {
            printer = argv[++i];
        } else if (!std::strcmp(argv[i], "--out") && i + 1 < argc) {
            out = QString::fromLocal8Bit(argv[++i]);
        } else if (std::atoi(argv[i]) > 0) {
            lengths.push_back(std::atoi(argv[i]));
        } else {
            std::fprintf(stderr, "usage: bench_fit [--printer NAME] [--out FOLDER] [LENGTH...]\n");
            return 2;
        }
    }
    if (lengths.empty()) lengths = {1000, 2000, 4000, 8000};
    QTemporaryDir temporary;
    const QString folder = out.isEmpty() ? temporary.path() : out;
    QDir().mkpath(folder);

    struct Shape {
        const char* name;
        std::string attributes;
        bool scaled = false;  // fitwidth: half the text's width at 6 pt
    };
    const std::vector<Shape> shapes = {
        {"cell", R"(x="1000" y="100" fitwidth="290" fitheight="165" maxlines="4" fontsize="11")"},
        {"page",
         R"(x="1000" y="100" fitwidth="1800" fitheight="2600" maxlines="100000" fontsize="12" minfontsize="1")"},
        {"wide", R"(x="1000" y="100" fitwidth="10000" fontsize="1000")"},
        {"lines", R"(x="1000" y="100" fitwidth="10000" fontsize="1000" maxlines="100")"},
        {"long", R"(x="1000" y="100" fitwidth="10000" fontsize="8" maxlines="100")"},
        {"huge", R"(x="1000" y="100" fitwidth="30000" fontsize="24" maxlines="8")"},
        {"half", R"(x="100" y="100" fontsize="12" maxlines="3")", true},
    };
    RenderMs(printer, folder, "<text fontname=\"WenQuanYi Micro Hei\" value=\"x\"/>");  // fonts
    std::printf("%-6s %8s %12s %8s\n", "shape", "chars", "cpu ms", "ratio");
    for (const Shape& shape : shapes) {
        double before = 0;
        for (const int n : lengths) {
            const std::string width =
                shape.scaled ? " fitwidth=\"" + std::to_string(n * 21 / 2) + "\"" : "";
            const std::string element = "<text fontname=\"WenQuanYi Micro Hei\" align=\"center\" " +
                                        shape.attributes + width + " value=\"" + Unbroken(n) +
                                        "\"/>";
            double best = -1;
            for (int run = 0; run < 3; ++run) {
                const double ms = RenderMs(printer, folder, element);
                if (best < 0 || ms < best) best = ms;
            }
            std::printf("%-6s %8d %12.1f %8.2f\n", shape.name, n, best,
                        before > 0 ? best / before : 0.0);
            std::fflush(stdout);
            before = best;
        }
    }
    return 0;
}
