// The memory that documents hold through the handle API: what a detached row keeps, what a freed
// document gives back, and what a later load may use. Each check runs in a fresh child process
// and reads the process's resident size after the C library has given back its own free heap
// memory, so that what is left is what the trees and their storage hold.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ProcessMemoryTestSupport.h"
#include "TXml.h"

using xmltest::CapAddressSpace;
using xmltest::HeldBytes;

namespace {

using Handle = std::unique_ptr<TXml>;

std::string WriteDocument(const QTemporaryDir& dir, const char* name, const std::string& text) {
    std::string path = dir.filePath(name).toStdString();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// A record of rows of fields as the timetable print data file has them, about bytes long.
std::string Rows(size_t bytes) {
    std::string s = "<root docname=\"Rows\">\r\n<record>\r\n";
    for (unsigned row = 0; s.size() < bytes; ++row) {
        s += "<tr>\r\n";
        for (unsigned day = 1; day <= 5; ++day) {
            s += "<coursename value=\"c" + std::to_string((row + day) % 6) + "\"></coursename>\r\n";
            s += "<classname value=\"k" + std::to_string(row % 20) + "\"></classname>\r\n";
            s += "<teachername value=\"t" + std::to_string(row % 3) + "\"></teachername>\r\n";
        }
        s += "<totallesson value=\"" + std::to_string(row % 40) + "\"></totallesson>\r\n</tr>\r\n";
    }
    return s + "</record>\r\n</root>\r\n";
}

// One root holding nothing but small empty elements, about bytes long.
std::string Flat(size_t bytes) {
    std::string s = "<root>";
    s.reserve(bytes + 16);
    while (s.size() < bytes) s += "<e/>";
    return s + "</root>";
}

// Loads and frees a document, so that what a first load sets up once is in place.
void LoadOnce(const std::string& path) {
    TXml doc;
    if (!doc.LoadXmlFile(path)) std::_Exit(2);
}

constexpr long kMiB = 1L << 20;

// Runs body in a child process of its own, on a heap that nothing else used: the test passes when
// body returns true.
template <class Body>
void ExpectInChild(Body body) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(body() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

// The sanitizer's allocator keeps freed memory in quarantine and its shadow memory does not fit
// under an address-space cap: what these tests measure is not there to see (the sanitizer run
// still goes through the loads, moves and frees, with its checks).
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMeasurable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMeasurable = false;
#else
constexpr bool kMeasurable = true;
#endif
#else
constexpr bool kMeasurable = true;
#endif

}  // namespace

// A row detached from a large document keeps its own memory only: one row kept of each of 40
// documents holds little, and as little for documents twice the size (each document once kept
// all of its memory for the row). The rows read as they did after further documents were loaded
// into the memory the others left, also for small documents, which share one arena.
TEST(TXmlMemory, DetachedRowsKeepOnlyTheirOwnMemory) {
    QTemporaryDir dir;
    const std::string shared = WriteDocument(dir, "rows200.xml", Rows(200 << 10));
    const std::string small = WriteDocument(dir, "rows300.xml", Rows(300 << 10));
    const std::string large = WriteDocument(dir, "rows600.xml", Rows(600 << 10));
    ExpectInChild([&] {
        // The held bytes while one row of each of 40 documents lives.
        auto keepRows = [](const std::string& path) {
            LoadOnce(path);
            const long before = HeldBytes();
            std::vector<Handle> rows;
            for (int i = 0; i < 40; ++i) {
                TXml doc;
                if (!doc.LoadXmlFile(path)) std::_Exit(2);
                Handle record(doc.ChildAt(0));
                Handle row(record->ChildAt(i));
                row->DetachFromTree();
                rows.push_back(std::move(row));
            }
            const long held = HeldBytes() - before;
            for (int i = 0; i < 5; ++i) LoadOnce(path);
            for (int i = 0; i < 40; ++i) {
                Handle last(rows[static_cast<size_t>(i)]->ChildAt(15));
                if (!last || last->AttributeValue("value") != std::to_string(i)) std::_Exit(3);
            }
            return held;
        };
        keepRows(shared);
        const long ofSmall = keepRows(small);
        const long ofLarge = keepRows(large);
        std::fprintf(stderr, "40 rows of 300 KiB documents hold %ld KiB, of 600 KiB %ld KiB\n",
                     ofSmall >> 10, ofLarge >> 10);
        const bool bounded = ofSmall < 3 * kMiB && ofLarge < ofSmall + ofSmall / 2 + kMiB;
        return bounded || !kMeasurable;
    });
}

// What a freed document used goes back to the system, but for a working set of 32 MiB kept for
// the next parse: after flat documents of 4 MB and 8 MB (64 and 128 MB of nodes) as after 120
// small documents, which share one arena, all alive at once.
TEST(TXmlMemory, FreedDocumentsGiveTheirMemoryBack) {
    QTemporaryDir dir;
    const std::string small = WriteDocument(dir, "small.xml", Rows(200 << 10));
    // Flat documents of 4 MB and 8 MB, and what stays held after each.
    const std::string flat[] = {WriteDocument(dir, "flat4.xml", Flat(4 << 20)),
                                WriteDocument(dir, "flat8.xml", Flat(8 << 20))};
    long afterFlat[2] = {};
    ExpectInChild([&] {
        LoadOnce(small);
        const long before = HeldBytes();
        for (int i = 0; i < 2; ++i) {
            LoadOnce(flat[i]);
            afterFlat[i] = HeldBytes() - before;
        }
        const long afterFlat4 = afterFlat[0], afterFlat8 = afterFlat[1];
        {
            std::vector<Handle> docs;
            for (int i = 0; i < 120; ++i) {
                docs.push_back(std::make_unique<TXml>());
                if (!docs.back()->LoadXmlFile(small)) std::_Exit(2);
            }
        }
        const long afterSmall = HeldBytes() - before;
        std::fprintf(stderr, "held after flat 4 MB %ld KiB, 8 MB %ld KiB, 120 small %ld KiB\n",
                     afterFlat4 >> 10, afterFlat8 >> 10, afterSmall >> 10);
        const long bound = 40 * kMiB;
        const bool bounded = afterFlat4 < bound && afterFlat8 < bound && afterSmall < bound &&
                             afterFlat8 < afterFlat4 + 4 * kMiB;
        return bounded || !kMeasurable;
    });
}

// A file that loads alone under an address-space cap loads as well after a larger parse, whose
// freed nodes once stayed mapped: the first document is chunk-heavy (many small elements), the
// second needs the C library's memory (one long text).
TEST(TXmlMemory, FileThatLoadsAloneLoadsAfterALargeParse) {
    if (!kMeasurable) GTEST_SKIP() << "the sanitizer's shadow memory does not fit under a cap";
    QTemporaryDir dir;
    const std::string many = WriteDocument(dir, "many.xml", Flat(6 << 20));
    const std::string text = WriteDocument(
        dir, "text.xml", "<r>" + std::string(static_cast<size_t>(40 * kMiB), 'x') + "</r>");
    ExpectInChild([&] {
        CapAddressSpace(192 * kMiB);
        LoadOnce(many);
        TXml doc;
        return doc.LoadXmlFile(text) && doc.GetTag() == "r";
    });
}
