// Parses data files into a tree and frees it, with TXml, pugixml and tinyxml2 in turn: a 1 MB and
// a 50 MB data file (records of fields with `value` attributes, GBK text) and a 16 MB flat file of
// small elements. Each library runs in fresh processes of its own (this program started again),
// in two regimes:
//   first  the first parse in a fresh process, as a program that loads one file meets it: every
//          library faults its memory in (the best of several fresh processes, so that one
//          process that the machine's load delays does not decide the figure);
//   warm   the best of several parses in one process whose C library neither trims its heap nor
//          maps large blocks apart, so that every library parses into memory it already touched
//          (TXml's node storage takes its memory from the C library too, and keeps a working set
//          of 32 MiB itself in either regime).
// It prints both times, the peak resident size of the first-parse process, how long freeing the
// tree takes as a share of parsing it (warm), and the ratios of TXml to each peer in both regimes;
// the headline ratio is the less favourable of the two.
// Usage: bench_xml [folder for the generated files].
#include <malloc.h>
#include <sys/resource.h>
#include <tinyxml2.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <pugixml.hpp>
#include <string>

#include "TXml.h"

namespace {

// A data file like the timetable print file: one record element, rows of field elements.
std::string MakeData(size_t targetBytes) {
    const char* courses[] = {"\xD3\xEF\xCE\xC4", "\xCA\xFD\xD1\xA7", "\xD3\xA2\xD3\xEF",
                             "\xCE\xEF\xC0\xED", "\xBB\xAF\xD1\xA7", " "};
    const char* teachers[] = {"\xD5\xC5\xC8\xFD", "\xC0\xEE\xCB\xC4", "\xCD\xF5\xCE\xE5"};
    std::string s = "<root docname=\"Korvel\xC5\xC5\xBF\xCE\">\r\n<record>\r\n";
    for (unsigned row = 0; s.size() < targetBytes; ++row) {
        s += "<tr>\r\n";
        for (int day = 1; day <= 5; ++day) {
            s += "<coursename value=\"";
            s += courses[(row + day) % 6];
            s += "\"></coursename>\r\n<classname value=\"\xB8\xDF\xD2\xBB(";
            s += std::to_string(row % 20 + 1);
            s += ")\xB0\xE0\"></classname>\r\n<teachername value=\"";
            s += teachers[(row * 7 + day) % 3];
            s += "\"></teachername>\r\n";
        }
        s += "<totallesson value=\"" + std::to_string(row % 40) + "\"></totallesson>\r\n";
        s += "</tr>\r\n";
    }
    s += "</record>\r\n</root>\r\n";
    return s;
}

// A flat file: one root holding nothing but small empty elements.
std::string MakeFlat(size_t targetBytes) {
    std::string s = "<root>";
    s.reserve(targetBytes + 16);
    while (s.size() < targetBytes) s += "<e/>";
    s += "</root>";
    return s;
}

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// Parses the file with the library into a document, then frees it: true when the parse worked.
// parse and free receive the seconds of either step.
template <class Document, class Load>
bool ParseAndFree(Load load, double& parse, double& free) {
    const Clock::time_point t0 = Clock::now();
    auto doc = std::make_unique<Document>();
    const bool ok = load(*doc);
    parse = Since(t0);
    const Clock::time_point t1 = Clock::now();
    doc.reset();
    free = Since(t1);
    return ok;
}

// One parse and free of the file by the library; false when the parse fails.
bool ParseOnce(const std::string& library, const std::string& path, double& parse, double& free) {
    if (library == "txml") {
        return ParseAndFree<TXml>(
            [&](TXml& doc) { return doc.LoadXmlFile(path) && doc.GetTag() == "root"; }, parse,
            free);
    }
    if (library == "pugixml") {
        return ParseAndFree<pugi::xml_document>(
            [&](pugi::xml_document& doc) { return static_cast<bool>(doc.load_file(path.c_str())); },
            parse, free);
    }
    return ParseAndFree<tinyxml2::XMLDocument>(
        [&](tinyxml2::XMLDocument& doc) {
            return doc.LoadFile(path.c_str()) == tinyxml2::XML_SUCCESS;
        },
        parse, free);
}

// The child's work: "first" parses once; "warm" keeps freed memory in the heap and prints the
// best of runs parses. Prints the seconds of parse and free together, the share of them that
// freeing took, and the peak resident size in MB.
int RunChild(const std::string& regime, const std::string& library, const std::string& path,
             int runs) {
    double best = 1e30, freeShare = 0;
    if (regime == "warm") {
        mallopt(M_MMAP_MAX, 0);  // large blocks come from the heap too
        mallopt(M_TRIM_THRESHOLD, INT_MAX);
    } else {
        runs = 1;
    }
    for (int i = 0; i < runs; ++i) {
        double parse = 0, free = 0;
        if (!ParseOnce(library, path, parse, free)) return 1;
        if (parse + free < best) {
            best = parse + free;
            freeShare = free / parse;
        }
    }
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("%.9f %.6f %.1f\n", best, freeShare, ru.ru_maxrss / 1024.0);
    return 0;
}

struct Result {
    double seconds = -1;
    double freeShare = -1;  // freeing's time over parsing's, in the best run
    double peakMb = -1;
};

// RunChild in a fresh process: this program started again with --child.
Result RunApart(const std::string& regime, const std::string& library, const std::string& path,
                int runs) {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    self[n] = 0;
    const std::string command = std::string("'") + self + "' --child " + regime + " " + library +
                                " '" + path + "' " + std::to_string(runs);
    std::unique_ptr<FILE, int (*)(FILE*)> out(popen(command.c_str(), "r"), pclose);
    Result r;
    if (!out || std::fscanf(out.get(), "%lf %lf %lf", &r.seconds, &r.freeShare, &r.peakMb) != 3)
        return {};
    return r;
}

void Run(const std::string& path, const std::string& text, int runs, int processes) {
    std::ofstream(path, std::ios::binary) << text;
    const double mb = text.size() / 1048576.0;
    const char* libraries[] = {"txml", "pugixml", "tinyxml2"};
    Result first[3], warm[3];
    // The libraries take turns, so that a change in the machine's load falls on all of them.
    for (int p = 0; p < processes; ++p) {
        for (int i = 0; i < 3; ++i) {
            const Result r = RunApart("first", libraries[i], path, 1);
            if (r.seconds > 0 && (first[i].seconds < 0 || r.seconds < first[i].seconds))
                first[i] = r;
        }
    }
    for (int i = 0; i < 3; ++i) warm[i] = RunApart("warm", libraries[i], path, runs);
    std::printf("%s (%.1f MB)\n", path.c_str(), mb);
    for (int i = 0; i < 3; ++i) {
        std::printf(
            "  %-9s first %9.2f ms (best of %d processes)   warm best of %2d %9.2f ms (free %4.1f "
            "%% of parse)   peak %7.1f MB (%.1f per MB)\n",
            libraries[i], first[i].seconds * 1e3, processes, runs, warm[i].seconds * 1e3,
            warm[i].freeShare * 100, first[i].peakMb, first[i].peakMb / mb);
    }
    for (int peer = 1; peer < 3; ++peer) {
        const double firstRatio = first[0].seconds / first[peer].seconds;
        const double warmRatio = warm[0].seconds / warm[peer].seconds;
        std::printf("  TXml/%-8s %5.2f (first %.2f, warm %.2f)\n", libraries[peer],
                    std::max(firstRatio, warmRatio), firstRatio, warmRatio);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::string(argv[1]) == "--child")
        return RunChild(argv[2], argv[3], argv[4], std::atoi(argv[5]));
    const std::string dir = argc > 1 ? argv[1] : "/tmp";
    Run(dir + "/bench_xml_1mb.xml", MakeData(1u << 20), 20, 5);
    Run(dir + "/bench_xml_50mb.xml", MakeData(50u << 20), 5, 3);
    Run(dir + "/bench_xml_flat_16mb.xml", MakeFlat(16u << 20), 5, 3);
    return 0;
}
