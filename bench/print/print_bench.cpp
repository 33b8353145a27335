// Prints the timetables of many classes (7 lessons a day, 5 days) in one run through the print
// library and reports each phase apart:
//   data    the print data file written by the timetable writer from an in-memory recordset
//   load    the data file parsed into a tree
//   build   layout template + data tree -> printable page tree (CBuildPrintData)
//   render  the page tree drawn page by page (TPrint), once into a PDF file of our own and
//           once as a job on the CUPS queue
//   whole   the library's exported PrintOneCustomXml, file in, job out: once in a fresh process
//           (this program started again), as a user's print meets it, and once in this process
//           after the phases above, with the fonts, the expression library and the memory they
//           left warm; the two are printed side by side
// and, for the file path, pages per second overall (load + build + render) and the peak
// resident size (getrusage ru_maxrss).
//
// Usage: bench_print [--classes N] [--printer NAME] [--out FOLDER] [--no-queue] [--total]
//                    [--no-fit]
//   The queue runs are skipped with --no-queue or when the printer is not listed.
//   --total prints the whole school on the A3 template (TotalSchd7A3.xml) instead of the class
//   timetables; --no-fit prints with a copy of the template whose texts are not fitted into
//   their boxes (the fit attributes taken out), so that two runs show what fitting costs.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "Build/CBuildPrintData.h"
#include "Build/ExpressionBinding.h"
#include "PrintElement/Print.h"
#include "TXml.h"
#include "Vostrin.h"
#include "ZPrinters/ZPrinter.h"
#include "db/Database.h"
#include "output/PrintDataWriter.h"
#include "shell/ProgramFolder.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// Processor time of the whole process (all threads), in milliseconds: on a loaded machine the
// wall times above vary from run to run, this much less.
double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

double PeakMb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss / 1024.0;  // kilobytes on Linux
}

// One row per lesson of every class, ordered by class, lesson, day, as the timetable query
// delivers them; courses and teachers vary so that the cells differ.
tw::db::Recordset MakeTimetables(int classes, int lessonsPerDay) {
    const QStringList courses = {"语文", "数学", "英语", "物理", "化学", "生物",    "历史",
                                 "地理", "政治", "体育", "音乐", "美术", "信息技术"};
    const QStringList teachers = {"张三", "李四", "王五", "赵六", "钱七", "孙八", "周九",
                                  "吴十", "郑明", "冯华", "陈亮", "褚红", "卫东"};
    std::vector<std::vector<QVariant>> rows;
    rows.reserve(static_cast<size_t>(classes) * lessonsPerDay * 5);
    for (int c = 0; c < classes; ++c) {
        const QString name = QString("%1年级(%2)班").arg(c / 20 + 1).arg(c % 20 + 1);
        for (int lesson = 1; lesson <= lessonsPerDay; ++lesson) {
            for (int day = 1; day <= 5; ++day) {
                const int k = (c * 7 + lesson * 3 + day * 5) % courses.size();
                rows.push_back({name, courses[k], QString(), teachers[(k + c) % teachers.size()],
                                day, lesson});
            }
        }
    }
    return tw::db::Recordset(
        {"Name", "CourseName", "ClassShortName", "TeacherName", "Day", "LessonNo"}, rows);
}

// The same lessons as the whole-school selection delivers them: Name is the class's short name,
// CourseName the course's short name and ClassShortName the teacher's name.
tw::db::Recordset MakeWholeSchool(int classes, int lessonsPerDay) {
    tw::db::Recordset timetables = MakeTimetables(classes, lessonsPerDay);
    std::vector<std::vector<QVariant>> rows;
    for (timetables.MoveFirst(); !timetables.Eof(); timetables.MoveNext()) {
        rows.push_back({timetables.Fields("Name").Text(), timetables.Fields("CourseName").Text(),
                        timetables.Fields("TeacherName").Text(), timetables.Fields("Day").Int(),
                        timetables.Fields("LessonNo").Int()});
    }
    return tw::db::Recordset({"Name", "CourseName", "ClassShortName", "Day", "LessonNo"}, rows);
}

// A copy of the template in folder with every fit attribute taken out; its path.
std::string WithoutFitting(const std::string& templ, const QString& folder) {
    QFile in(QString::fromStdString(templ));
    if (!in.open(QIODevice::ReadOnly)) return templ;
    QByteArray xml = in.readAll();
    static const QRegularExpression fit(R"( (fitwidth|fitheight|minfontsize|maxlines)="[^"]*")");
    xml = QString::fromLatin1(xml).remove(fit).toLatin1();
    const QString path = folder + "/nofit-" + QFileInfo(in).fileName();
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(xml) != xml.size()) return templ;
    return QFile::encodeName(path).toStdString();
}

struct Options {
    int classes = 500;
    std::string printer = "PDF";
    QString outDir;
    bool queue = true;
    bool total = false;
    bool fit = true;
};

bool ParseArgs(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--classes") && hasValue) {
            o.classes = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--printer") && hasValue) {
            o.printer = argv[++i];
        } else if (!std::strcmp(argv[i], "--out") && hasValue) {
            o.outDir = QString::fromLocal8Bit(argv[++i]);
        } else if (!std::strcmp(argv[i], "--no-queue")) {
            o.queue = false;
        } else if (!std::strcmp(argv[i], "--total")) {
            o.total = true;
        } else if (!std::strcmp(argv[i], "--no-fit")) {
            o.fit = false;
        } else {
            std::fprintf(stderr,
                         "usage: bench_print [--classes N] [--printer NAME] [--out FOLDER] "
                         "[--no-queue] [--total] [--no-fit]\n");
            return false;
        }
    }
    return o.classes > 0;
}

// Renders the tree into the PDF file outFile on the named printer, the way the library prints a
// document, but with the document sent to a file instead of the queue. Returns the renderer's
// status, or VOSTRIN_PRINT_FAILED when the printer cannot be set up.
int RenderToFile(TXml* tree, const std::string& printerName, const QString& outFile) {
    try {
        Zprinters::TZPrinter printer;
        printer.SetDeviceName(QString::fromStdString(printerName));
        printer.SetTitle(QString::fromStdString(tree->AttributeValue("docname")));
        printer.StartDoc(outFile);
        const int status = TVostrin::TPrint().PrintOn(tree, &printer, 'T');
        printer.EndDoc();
        return status;
    } catch (...) {
        return VOSTRIN_PRINT_FAILED;
    }
}

// The whole exported call once, data file + template -> job on the queue: its time, status and
// pages.
struct Whole {
    double ms = -1;
    int status = -1;
    int pages = 0;
};
Whole PrintWhole(const std::string& dataPath, const std::string& templ,
                 const std::string& printer) {
    const auto t0 = Clock::now();
    int e = 0, s = 0;
    Whole w;
    w.status = PrintOneCustomXml(dataPath.c_str(), "", templ.c_str(), &e, &s, &w.pages,
                                 printer.c_str(), 'T');
    w.ms = MsSince(t0);
    return w;
}

// PrintWhole in a fresh process: this program started again with --child-whole.
Whole PrintWholeApart(const std::string& dataPath, const std::string& printer,
                      const std::string& templ) {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    self[n] = 0;
    const std::string command = std::string("'") + self + "' --child-whole '" + dataPath + "' '" +
                                printer + "' '" + templ + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> out(popen(command.c_str(), "r"), pclose);
    Whole w;
    if (!out || std::fscanf(out.get(), "%lf %d %d", &w.ms, &w.status, &w.pages) != 3) return {};
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The library's code is linked into this program: bind the expression library of the
    // program folder, as libVostrin.so there does.
    TVostrin::SetExpressionLibraryFolder(TW_DIST_DIR);
    if (argc == 5 && !std::strcmp(argv[1], "--child-whole")) {
        const Whole w = PrintWhole(argv[2], argv[4], argv[3]);
        std::printf("%.3f %d %d\n", w.ms, w.status, w.pages);
        return 0;
    }
    Options opt;
    if (!ParseArgs(argc, argv, opt)) return 2;

    QTemporaryDir tmp;
    const QString work = opt.outDir.isEmpty() ? tmp.path() : opt.outDir;
    QDir().mkpath(work);
    // The writer reads the school name from kbxt.ini there (none).
    tw::shell::SetProgramFolder(work);
    const std::string shipped =
        opt.total ? TW_DIST_DIR "/TotalSchd7A3.xml" : TW_DIST_DIR "/ClassSchd7.xml";
    const std::string templ = opt.fit ? shipped : WithoutFitting(shipped, work);
    const QString dataFile = work + "/tmp.xml";
    const std::string dataPath = QFile::encodeName(dataFile).toStdString();

    std::printf("classes %d, 7 lessons a day, template %s%s\n", opt.classes, templ.c_str(),
                opt.fit ? "" : " (texts not fitted)");

    // data: recordset -> tmp.xml
    auto t0 = Clock::now();
    {
        tw::db::Recordset rs =
            opt.total ? MakeWholeSchool(opt.classes, 7) : MakeTimetables(opt.classes, 7);
        if ((opt.total ? tw::output::WriteTotalXml(dataFile, rs, 7)
                       : tw::output::WriteScheduleXml(dataFile, rs, 7)) != 0) {
            std::fprintf(stderr, "writing %s failed\n", dataPath.c_str());
            return 1;
        }
    }
    const double dataMs = MsSince(t0);

    // load: tmp.xml -> data tree
    t0 = Clock::now();
    double c0 = CpuMs();
    TXml data;
    if (!data.LoadXmlFile(dataPath)) {
        std::fprintf(stderr, "loading %s failed\n", dataPath.c_str());
        return 1;
    }
    const double loadMs = MsSince(t0);
    const double loadCpu = CpuMs() - c0;

    // build: template + data -> printable tree
    t0 = Clock::now();
    c0 = CpuMs();
    int envelopes = 0, sheets = 0, pages = 0;
    TXml* printable = nullptr;
    TVostrin::CBuildPrintData builder;
    const int built = builder.Build(&data, "", templ, &envelopes, &sheets, &pages, &printable);
    const double buildMs = MsSince(t0);
    const double buildCpu = CpuMs() - c0;
    std::unique_ptr<TXml> tree(printable);
    if (built != 0 || !tree) {
        std::fprintf(stderr, "build failed: %d\n", built);
        return 1;
    }
    const double peakAfterBuild = PeakMb();

    // render into a PDF file (no spooler)
    const QString pdfFile = work + "/timetables.pdf";
    t0 = Clock::now();
    c0 = CpuMs();
    const int rendered = RenderToFile(tree.get(), opt.printer, pdfFile);
    const double renderMs = MsSince(t0);
    const double renderCpu = CpuMs() - c0;
    if (rendered != VOSTRIN_OK) {
        std::fprintf(stderr, "rendering to %s failed: %d\n", qPrintable(pdfFile), rendered);
        return 1;
    }
    const double peakAfterRender = PeakMb();
    const double overallMs = loadMs + buildMs + renderMs;

    std::printf("pages built        %d (sheets %d, envelopes %d)\n", pages, sheets, envelopes);
    std::printf("data file          %8.1f ms  (%lld bytes)\n", dataMs,
                static_cast<long long>(QFile(dataFile).size()));
    std::printf("load data tree     %8.1f ms                    cpu %8.1f ms\n", loadMs, loadCpu);
    std::printf("build              %8.1f ms  %8.1f pages/s  cpu %8.1f ms\n", buildMs,
                pages * 1000.0 / buildMs, buildCpu);
    std::printf("render to file     %8.1f ms  %8.1f pages/s  cpu %8.1f ms  (%lld bytes)\n",
                renderMs, pages * 1000.0 / renderMs, renderCpu,
                static_cast<long long>(QFile(pdfFile).size()));
    const double overallCpu = loadCpu + buildCpu + renderCpu;
    std::printf(
        "overall            %8.1f ms  %8.1f pages/s  cpu %8.1f ms  (load + build + "
        "render; %.1f pages per cpu second)\n",
        overallMs, pages * 1000.0 / overallMs, overallCpu, pages * 1000.0 / overallCpu);
    std::printf("peak memory        %8.1f MB after build, %.1f MB after render\n", peakAfterBuild,
                peakAfterRender);

    const bool queueListed =
        QPrinterInfo::availablePrinterNames().contains(QString::fromStdString(opt.printer));
    if (!opt.queue || !queueListed) {
        std::printf("queue runs skipped (%s)\n", opt.queue ? "printer not listed" : "--no-queue");
        return 0;
    }

    // render as a job on the queue (until the job is handed to the spooler)
    t0 = Clock::now();
    const int printed = TVostrin::TPrint().Print(tree.get(), opt.printer.c_str(), 'T');
    const double queueMs = MsSince(t0);
    std::printf("render to queue    %8.1f ms  %8.1f pages/s  status %d\n", queueMs,
                pages * 1000.0 / queueMs, printed);
    tree.reset();

    // the whole exported call: in a fresh process, then here after the phases above
    const Whole fresh = PrintWholeApart(dataPath, opt.printer, templ);
    const Whole warm = PrintWhole(dataPath, templ, opt.printer);
    std::printf(
        "PrintOneCustomXml  %8.1f ms  %8.1f pages/s  status %d, %d pages  (fresh process)\n",
        fresh.ms, fresh.pages * 1000.0 / fresh.ms, fresh.status, fresh.pages);
    std::printf(
        "PrintOneCustomXml  %8.1f ms  %8.1f pages/s  status %d, %d pages  (this process, "
        "warm)\n",
        warm.ms, warm.pages * 1000.0 / warm.ms, warm.status, warm.pages);
    std::printf("peak memory        %8.1f MB at the end\n", PeakMb());
    return printed == 0 && fresh.status == 0 && warm.status == 0 ? 0 : 1;
}
