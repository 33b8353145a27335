// Arrays, byte buffer, hash map and progress percentages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DataBuffer.h"
#include "ExtIntArray.h"
#include "ExtPtrArray.h"
#include "HashMap.h"
#include "ProgressMonitor.h"
#include "StringBuffer.h"

using namespace velmarq;

namespace {

// Counts its destructions, to see which values a container destroys.
struct Counted : VelmarqObject {
    explicit Counted(int* deaths) : deaths(deaths) {}
    ~Counted() override { ++*deaths; }
    int* deaths;
};

struct Recorder : ProgressCallback {
    void Progress(void*, void*, unsigned percent, bool*) override { seen.push_back(percent); }
    std::vector<unsigned> seen;
};

}  // namespace

TEST(ExtIntArray, GrowsByConstantStep) {
    ExtIntArray a(6, 15);
    for (int i = 0; i < 6; ++i) a.Append(i);
    EXPECT_EQ(a.Capacity(), 6);
    a.Append(6);
    EXPECT_EQ(a.Capacity(), 21);
    for (int i = 7; i < 22; ++i) a.Append(i);
    EXPECT_EQ(a.Capacity(), 36);
    EXPECT_EQ(a.Get(21), 21);
    EXPECT_EQ(a.Get(22), 0);
    EXPECT_EQ(a.Get(-1), 0);
    a.RemoveAt(0);
    EXPECT_EQ(a.Get(0), 1);
    EXPECT_EQ(a.Count(), 21);
    a.RemoveAt(99);
    EXPECT_EQ(a.Count(), 21);
}

TEST(ExtPtrArray, DoublesAndRemoves) {
    ExtPtrArray a(15, 15);
    std::vector<int> deaths(1);
    for (int i = 0; i < 15; ++i) a.Append(nullptr);
    EXPECT_EQ(a.Capacity(), 15);
    a.Append(nullptr);
    EXPECT_EQ(a.Capacity(), 30);
    for (int i = 16; i < 31; ++i) a.Append(nullptr);
    EXPECT_EQ(a.Capacity(), 60);

    ExtPtrArray d;
    EXPECT_EQ(d.Capacity(), 0);
    for (int i = 0; i < 50; ++i) d.Append(nullptr);
    EXPECT_EQ(d.Capacity(), 50);
    d.Append(nullptr);
    EXPECT_EQ(d.Capacity(), 100);

    ExtPtrArray e;
    EXPECT_EQ(e.Pop(), nullptr);
    EXPECT_EQ(e.RemoveAt(-1), nullptr);
    EXPECT_EQ(e.Last(), nullptr);
    int dead = 0;
    auto* x = new Counted(&dead);
    auto* y = new Counted(&dead);
    e.Append(x);
    e.Append(y);
    EXPECT_EQ(e.RemoveAt(-1), nullptr);
    EXPECT_EQ(e.Count(), 2);
    EXPECT_EQ(e.RemoveAt(0), x);
    EXPECT_EQ(e.Last(), y);
    delete x;
    e.Append(nullptr);
    e.DeleteAll();
    EXPECT_EQ(dead, 2);
    EXPECT_EQ(e.Count(), 0);
}

// Past a hundred thousand slots the capacity still doubles, so that a flat file of millions of
// small elements appends its children in linear time.
TEST(ExtPtrArray, KeepsDoublingPastAHundredThousand) {
    ExtPtrArray a(15, 15);
    for (int i = 0; i < 300000; ++i) a.Append(nullptr);
    EXPECT_EQ(a.Capacity(), 15 << 15);
    EXPECT_EQ(a.GrowthStep(), 15 << 15);
    EXPECT_EQ(a.Count(), 300000);
}

TEST(DataBuffer, GrowsInLargeStepsAndTakesOver) {
    DataBuffer b;
    b.Append("abc", 3);
    EXPECT_EQ(b.Capacity(), 20000);
    EXPECT_EQ(b.Size(), 3);
    std::vector<char> big(30000, 'x');
    b.Append(big.data(), 30000);
    EXPECT_EQ(b.Capacity(), 30003);
    b.AppendByte('!');
    EXPECT_EQ(b.Capacity(), 50003);
    EXPECT_EQ(b.Data()[30003], '!');
    DataBuffer c;
    c.TakeOver(b);
    EXPECT_EQ(c.Size(), 30004);
    EXPECT_EQ(b.Size(), 0);
    EXPECT_EQ(b.Data(), nullptr);
    c.EnsureCapacity(10);
    EXPECT_EQ(c.Capacity(), 50003);
}

// A large conversion arrives in pieces of 16 KB; the buffer grows by half its size at least, so
// that the bytes are copied a bounded number of times, and so does a string buffer filled in
// small pieces past the cap of its growth step.
TEST(DataBuffer, LargeBuffersGrowGeometrically) {
    DataBuffer b;
    std::vector<char> piece(16384, 'x');
    int growths = 0;
    for (int i = 0, capacity = 0; i < 512; ++i) {
        b.Append(piece.data(), static_cast<int>(piece.size()));
        if (b.Capacity() != capacity) ++growths;
        capacity = b.Capacity();
    }
    EXPECT_EQ(b.Size(), 512 * 16384);
    EXPECT_LT(growths, 40);

    StringBuffer s;
    const std::string bytes(64, 'y');
    growths = 0;
    for (int i = 0, capacity = 0; i < 1 << 19; ++i) {
        s.AppendBytes(bytes.data(), static_cast<int>(bytes.size()));
        if (s.Capacity() != capacity) ++growths;
        capacity = s.Capacity();
    }
    EXPECT_EQ(s.Length(), 32 << 20);
    EXPECT_LT(growths, 40);
}

TEST(HashMap, InsertReplaceRemove) {
    int dead = 0;
    {
        HashMap m(400);
        auto* v1 = new Counted(&dead);
        m.Insert("page", v1);
        EXPECT_EQ(m.Lookup("page"), v1);
        m.Insert("page", v1);  // the very same value: nothing changes
        EXPECT_EQ(dead, 0);
        auto* v2 = new Counted(&dead);
        m.Insert("page", v2);
        EXPECT_EQ(dead, 1);
        EXPECT_EQ(m.Lookup("page"), v2);
        VelmarqObject* out = nullptr;
        StringBuffer* name = m.LookupEntry("page", &out);
        ASSERT_NE(name, nullptr);
        EXPECT_STREQ(name->Data(), "page");
        EXPECT_EQ(out, v2);
        EXPECT_EQ(m.Lookup("Page"), nullptr);  // case-sensitive
        m.Remove("absent");
        m.Remove("page");
        EXPECT_EQ(dead, 2);
        EXPECT_EQ(m.Lookup("page"), nullptr);
        for (int i = 0; i < 1000; ++i) m.Insert(IntToText(i), new Counted(&dead));
        EXPECT_NE(m.Find("999"), nullptr);
        m.Insert("\xC4\xE3", new Counted(&dead));
        EXPECT_NE(m.Lookup("\xC4\xE3"), nullptr);
    }
    EXPECT_EQ(dead, 1003);
}

TEST(HashMap, HashOfNames) {
    EXPECT_EQ(HashMap::Hash(""), 0u);
    EXPECT_EQ(HashMap::Hash("a"), 97u);
    EXPECT_EQ(HashMap::Hash("ab"), (97u * 257u + 98u) % 65521u);
    EXPECT_EQ(HashMap::Hash("\x80"), 0xFFFFFF80u);
}

TEST(ProgressMonitor, Percentages) {
    EXPECT_EQ(ProgressMonitor::PercentOf(0, 0), 100u);
    EXPECT_EQ(ProgressMonitor::PercentOf(5, 10), 50u);
    EXPECT_EQ(ProgressMonitor::PercentOf(3000000, 4000000), 75u);
    Recorder r;
    ProgressMonitor m(&r);
    m.Start(10);
    m.Advance(5);
    m.Advance(0);
    m.SetPosition(20);  // held at the total
    EXPECT_EQ(m.Current(), 10u);
    m.Finish();
    EXPECT_EQ(r.seen, (std::vector<unsigned>{50, 100}));
    ProgressMonitor f(&r);
    r.seen.clear();
    f.Start(4);
    f.Finish();
    EXPECT_EQ(r.seen, (std::vector<unsigned>{100}));
}
