// libFuzzer target for the layout builder: a layout template and a data document, built into a
// printable page tree (never printed), must build (or be cut short) without a crash, a hang, a
// leak or a sanitizer report; the status is 0 or -1003, the counts agree with the tree, and no
// Errlog.txt appears beside the program.
//
// An input whose first byte is even is raw text: the template, a NUL byte, the data document, a
// NUL byte and the settings file. An odd first byte makes the rest a program of choices, read
// from the front one or two bytes at a time (zeros once it runs out), that writes templates of
// many page templates, placeholders by the thousand, long texts and many records.
// Built by the CMakeLists.txt beside it (clang only); run.sh builds and runs it for a while.
#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "Build/CBuildPrintData.h"
#include "Build/ErrorLog.h"
#include "Build/ExpressionBinding.h"
#include "TXml.h"

namespace {

// A tree parsed from text, through a file in memory (the library reads only files); null when
// the text is no XML.
std::unique_ptr<TXml> Parse(const std::string& text) {
    const int fd = memfd_create("xml", 0);
    if (fd < 0) abort();
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) abort();
        done += static_cast<size_t>(n);
    }
    auto tree = std::make_unique<TXml>();
    const bool loaded = tree->LoadXmlFile("/proc/self/fd/" + std::to_string(fd));
    close(fd);
    return loaded ? std::move(tree) : nullptr;
}

// The settings file as a file in memory, kept open while the build reads it.
class MemoryFile {
  public:
    explicit MemoryFile(const std::string& text) : fd_(memfd_create("ini", 0)) {
        if (fd_ < 0 || write(fd_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            abort();
    }
    ~MemoryFile() { close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

  private:
    int fd_;
};

// Choices read from the front of the input; zeros once it runs out.
class Choices {
  public:
    Choices(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    unsigned Byte() { return at_ < n_ ? p_[at_++] : 0; }
    unsigned Word() {
        const unsigned low = Byte();
        return low | Byte() << 8;
    }
    unsigned Below(unsigned n) { return n <= 256 ? Byte() % n : Word() % n; }

  private:
    const uint8_t* p_;
    size_t n_;
    size_t at_ = 0;
};

const char* const kExpressions[] = {"f0",      "f1",      "f2",         "f0&f1",      "title",
                                    "\"abc\"", "1+2",     "f0+f1",      "left(f1,2)", "",
                                    "  ",      "nofield", "f0&\"-\"&f2"};

std::string Expression(Choices& in) {
    return kExpressions[in.Below(sizeof kExpressions / sizeof *kExpressions)];
}

// A text of the given length: Chinese characters (GBK), words, or one long word.
std::string LongText(Choices& in, size_t length) {
    static const std::string kPieces[] = {"\xD6\xD0", "ab ", "x", "&amp;"};
    const std::string& piece = kPieces[in.Below(4)];
    std::string text;
    while (text.size() < length) text += piece;
    return text;
}

// The choices of one element are read into variables first, in order: the order in which the
// operands of one expression are evaluated is not fixed, and the seeds rely on the order.
std::string Field(Choices& in) {
    static const char* const kTags[] = {"field", "line", "image", "textbox", "scrolltext"};
    const unsigned kind = in.Below(5);
    const unsigned x = in.Byte() * 10;
    const unsigned y = in.Byte() * 10;
    const bool notMain = in.Below(4) == 0;
    const std::string first = Expression(in);
    const std::string second = Expression(in);
    const unsigned step = in.Byte();
    const std::string tag = kTags[kind];
    std::string attrs = " x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\"";
    if (notMain) attrs += " maindata=\"false\"";
    if (kind == 3)
        return "<textbox x1=\"0\" y1=\"0\" x2=\"100\" y2=\"50\"" + attrs + "><field>" + first +
               "</field><field>" + second + "</field></textbox>";
    if (kind == 4)
        return "<scrolltext ystart=\"10\" ystep=\"" + std::to_string(step) + "\"><text" + attrs +
               ">" + first + "</text><text>" + second + "</text></scrolltext>";
    return "<" + tag + attrs + ">" + first + "</" + tag + ">";
}

std::string Element(Choices& in) {
    switch (in.Below(10)) {
        case 0: {  // a text, up to 256 KB long
            const size_t length = in.Byte() < 64 ? size_t{in.Word()} * 4 : in.Byte();
            const unsigned size = in.Byte();
            const std::string text = LongText(in, length);
            return "<text x=\"10\" y=\"10\" fontsize=\"" + std::to_string(size) + "\" value=\"" +
                   text + "\"/>";
        }
        case 1: {  // placeholders, up to 8,000 of them
            static const char* const kTags[] = {"page", "pages", "envelope", "envelopes"};
            const std::string tag = kTags[in.Below(4)];
            const unsigned count = 1 + in.Below(8000);
            std::string out;
            for (unsigned i = 0; i < count; ++i)
                out += "<" + tag + (i % 3 ? " value=\"v\"" : "") + " x=\"" + std::to_string(i) +
                       "\"/>";
            return out;
        }
        case 2: {  // records in rows of slots
            std::string out = in.Byte() % 5 == 0 ? "<record scope=\"1\">" : "<record>";
            for (unsigned rows = 1 + in.Below(3); rows > 0; --rows) {
                const unsigned repeat = in.Below(40);
                const unsigned ystep = in.Byte();
                const unsigned xstep = in.Byte();
                out += "<row repeatnum=\"" + std::to_string(repeat) + "\" ystep=\"" +
                       std::to_string(ystep) + "\" xstep=\"" + std::to_string(xstep) + "\">";
                for (unsigned fields = 1 + in.Below(4); fields > 0; --fields) out += Field(in);
                out += "</row>";
            }
            return out + "</record>";
        }
        case 3:
            return "<vartext x=\"1\">" + Expression(in) + "</vartext>";
        case 4:
            return "<textbox x1=\"0\" y1=\"0\" x2=\"10\" y2=\"10\"><field>" + Expression(in) +
                   "</field></textbox>";
        case 5:
            return "<scrolltext ystart=\"0\" ystep=\"5\"><text>" + Expression(in) +
                   "</text></scrolltext>";
        case 6:
            return "<linecode><begin><line xfrom=\"0\" yfrom=\"0\" xto=\"9\" yto=\"0\"/></begin>"
                   "<end><line xfrom=\"0\" yfrom=\"9\" xto=\"9\" yto=\"9\"/><text/></end>"
                   "</linecode><envelope/>";
        case 7:
            return "<image x=\"0\" y=\"0\" width=\"10\" height=\"10\" value=\"a.bmp\"/>"
                   "<line/><rect/><barcode value=\"1\"/>";
        case 8:
            return "<circle r=\"1\"><inner><deeper/></inner></circle>";
        default:
            return "<addition value=\"a\"/>";
    }
}

// What one generated template may hold: enough for thousands of page templates or placeholders
// and texts of hundreds of KB, while one run of the sanitized target stays within a few seconds.
constexpr size_t kMaxBodyBytes = 128 << 10;
constexpr size_t kMaxLayoutBytes = 512 << 10;

std::string PageTemplate(Choices& in) {
    const unsigned flags = in.Byte();
    std::string out = "<page";
    if (flags & 1) out += " continue=\"true\"";
    if (flags & 2) out += " record_continue=\"true\"";
    if (flags & 4) out += " print_once=\"true\"";
    if (flags & 8) out += " envelope=\"true\"";
    if (flags & 16) out += flags & 32 ? " desc=\"A\"" : " desc=\"B\"";
    out += ">";
    if (flags & 64)
        out += "<pagesetting><offsetx>10</offsetx><paperkind>A4</paperkind></pagesetting>";
    out += "<reporttable>";
    for (unsigned n = in.Below(16); n > 0 && out.size() < kMaxBodyBytes; --n) out += Element(in);
    return out + "</reporttable></page>";
}

struct Job {
    std::string layout, data, ini;
};

Job Generate(Choices& in) {
    Job job;
    const unsigned shape = in.Byte();
    // Up to 4,000 page templates, made from a few bodies.
    const unsigned templates = 1 + (shape & 8 ? in.Below(4000) : in.Below(8));
    std::string bodies[4];
    const unsigned kinds = 1 + in.Below(4);
    for (unsigned k = 0; k < kinds; ++k) bodies[k] = PageTemplate(in);
    job.layout = std::string("<layout><pages") + (shape & 1 ? " duplix=\"true\"" : "") + ">";
    for (unsigned t = 0; t < templates && job.layout.size() < kMaxLayoutBytes; ++t)
        job.layout += bodies[t % kinds];
    job.layout += "</pages></layout>";
    // Up to 20,000 records; their values together up to 4 MB.
    const unsigned records = shape & 16 ? in.Below(20001) : in.Below(40);
    const unsigned length = in.Word();
    const std::string value = LongText(in, std::min<size_t>(length, (4u << 20) / (records + 1)));
    job.data = "<root docname=\"fuzz\"><title value=\"T\"/>";
    if (!(shape & 2)) {
        job.data += "<record>";
        for (unsigned r = 0; r < records; ++r)
            job.data += "<tr><f0 value=\"" + std::to_string(r) + "\"/><f1 value=\"" +
                        (r % 7 ? value : "") + "\"/><f2 value=\"\"/></tr>";
        job.data += "</record>";
    }
    job.data += "</root>";
    if (shape & 4)
        job.ini =
            "[Envelope]\r\nMaxPages=" + std::to_string(static_cast<int>(in.Byte()) - 128) + "\r\n";
    return job;
}

Job Raw(const uint8_t* p, size_t n) {
    Job job;
    std::string* parts[] = {&job.layout, &job.data, &job.ini};
    size_t part = 0;
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == 0 && part < 2)
            ++part;
        else
            *parts[part] += static_cast<char>(p[i]);
    }
    return job;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Held open for the whole run, so that each build's binding finds it already loaded.
    const std::string path = TVostrin::ExpressionLibraryFolder() + "/libCalvorix.so";
    if (!dlopen(path.c_str(), RTLD_NOW)) abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    Choices choices(data + 1, size - 1);
    const Job job = data[0] % 2 ? Generate(choices) : Raw(data + 1, size - 1);
    std::unique_ptr<TXml> layout = Parse(job.layout);
    std::unique_ptr<TXml> records = Parse(job.data);
    if (!layout || !records) return 0;
    std::unique_ptr<MemoryFile> ini;
    if (!job.ini.empty()) ini = std::make_unique<MemoryFile>(job.ini);

    TVostrin::CBuildPrintData builder;
    int envelopes = -1, sheets = -1, pages = -1;
    TXml* printable = nullptr;
    const int status = builder.BuildPrintable(records.get(), ini ? ini->Path() : "", layout.get(),
                                              &envelopes, &sheets, &pages, &printable);
    std::unique_ptr<TXml> owned(printable);
    if (status != 0 && status != VOSTRIN_PRINT_FAILED) abort();
    if (status == 0 && !printable) abort();
    if (envelopes < 0 || sheets < 0 || pages < 0) abort();
    if (pages > TVostrin::CBuildPrintData::kPageBuildLimit) abort();
    // Every page the loop built is in the tree, with the blank sides and envelope pages.
    if (printable && (pages > printable->ChildCount() || sheets > printable->ChildCount())) abort();
    // The library writes no failure log.
    if (access((TVostrin::ProgramFolder() + "Errlog.txt").c_str(), F_OK) == 0) abort();
    return 0;
}
