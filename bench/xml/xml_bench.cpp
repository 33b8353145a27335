// Parses a 1 MB and a 50 MB data file (records of fields with `value` attributes, GBK text) into
// a tree and frees it, with TXml, pugixml and tinyxml2 in turn; prints the best time of several
// runs of each and the ratios. Each library runs in a fresh process of its own (this program
// started again), so that none inherits the heap another left behind: what the C library keeps
// or trims changes how many pages each parse faults in. The children inherit the environment,
// so a comparison with warm heaps for all three is
//   GLIBC_TUNABLES=glibc.malloc.trim_threshold=4294967295:glibc.malloc.mmap_threshold=4294967295
// (the C library then neither trims its heap nor maps large blocks apart).
// Usage: bench_xml [folder for the generated files].
#include <tinyxml2.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
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

double BestSeconds(int runs, const std::function<bool()>& parse) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        if (!parse()) {
            std::fprintf(stderr, "parse failed\n");
            return -1;
        }
        auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    return best;
}

// The best time of one library over a file, in seconds; -1 on failure.
double ParseBest(const std::string& library, const std::string& path, int runs) {
    if (library == "txml") {
        return BestSeconds(runs, [&] {
            TXml doc;
            return doc.LoadXmlFile(path) && doc.GetTag() == "root";
        });
    }
    if (library == "pugixml") {
        return BestSeconds(runs, [&] {
            pugi::xml_document doc;
            return static_cast<bool>(doc.load_file(path.c_str()));
        });
    }
    return BestSeconds(runs, [&] {
        tinyxml2::XMLDocument doc;
        return doc.LoadFile(path.c_str()) == tinyxml2::XML_SUCCESS;
    });
}

// ParseBest in a fresh process: this program started again with --one.
double ParseBestApart(const std::string& library, const std::string& path, int runs) {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return -1;
    self[n] = 0;
    std::string command =
        std::string("'") + self + "' --one " + library + " '" + path + "' " + std::to_string(runs);
    std::unique_ptr<FILE, int (*)(FILE*)> out(popen(command.c_str(), "r"), pclose);
    double best = -1;
    if (!out || std::fscanf(out.get(), "%lf", &best) != 1) return -1;
    return best;
}

void Run(const std::string& path, size_t bytes, int runs) {
    std::ofstream(path, std::ios::binary) << MakeData(bytes);
    double ours = ParseBestApart("txml", path, runs);
    double pugi = ParseBestApart("pugixml", path, runs);
    double tiny = ParseBestApart("tinyxml2", path, runs);
    std::printf(
        "%-28s TXml %8.2f ms  pugixml %8.2f ms  tinyxml2 %8.2f ms  "
        "TXml/pugixml %.2f  TXml/tinyxml2 %.2f\n",
        path.c_str(), ours * 1e3, pugi * 1e3, tiny * 1e3, ours / pugi, ours / tiny);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--one") {
        std::printf("%.9f\n", ParseBest(argv[2], argv[3], std::atoi(argv[4])));
        return 0;
    }
    std::string dir = argc > 1 ? argv[1] : "/tmp";
    Run(dir + "/bench_xml_1mb.xml", 1u << 20, 20);
    Run(dir + "/bench_xml_50mb.xml", 50u << 20, 5);
    return 0;
}
