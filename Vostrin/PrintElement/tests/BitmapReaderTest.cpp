// Bitmap files: read as Qt's reader reads them (random files of every depth, compression and
// header), made at the size of their box while they are read, and bounded in time and memory
// by their bytes and their box whatever size they claim.
#include <QImageReader>
#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "ElementPageTestSupport.h"
#include "JpegTestSupport.h"
#include "PrintElement/BitmapReader.h"
#include "TimingTestSupport.h"

using namespace printtest;

namespace {

enum { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

struct Bitmap {
    int width = 1;
    int height = 1;  // negative: top-down
    int bits = 24;
    int compression = kRgb;
    int infoSize = 40;
    std::vector<QRgb> palette;  // written as it stands; its length goes into the header
    quint32 masks[4] = {};      // red, green, blue, alpha (bit fields)
    QByteArray pixels;
};

void Put16(QByteArray& b, quint32 v) {
    b.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF));
}

void Put32(QByteArray& b, quint32 v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

QByteArray FileOf(const Bitmap& bmp) {
    QByteArray info;
    Put32(info, bmp.infoSize);
    if (bmp.infoSize == 12) {
        Put16(info, bmp.width);
        Put16(info, bmp.height);
        Put16(info, 1);
        Put16(info, bmp.bits);
    } else {
        Put32(info, bmp.width);
        Put32(info, bmp.height);
        Put16(info, 1);
        Put16(info, bmp.bits);
        Put32(info, bmp.compression);
        Put32(info, bmp.pixels.size());
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, bmp.bits <= 8 ? bmp.palette.size() : 0);
        Put32(info, 0);
        if (bmp.infoSize >= 108) {
            for (quint32 m : bmp.masks) Put32(info, m);
            Put32(info, 0x73524742);  // sRGB
            info.append(QByteArray(bmp.infoSize - info.size(), '\0'));
        } else if (bmp.compression == kBitFields) {
            for (int i = 0; i < 3; ++i) Put32(info, bmp.masks[i]);
        }
    }
    for (QRgb c : bmp.palette) {
        info.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        if (bmp.infoSize != 12) info.append('\0');
    }
    QByteArray file("BM");
    Put32(file, 14 + info.size() + bmp.pixels.size());
    Put32(file, 0);
    Put32(file, 14 + info.size());
    return file + info + bmp.pixels;
}

// Runs of palette indexes as RLE8 or RLE4 writes them: each row whole, in runs of one index (or
// two alternating ones) and runs of indexes as they stand, with the end of a row after it.
QByteArray RunLengths(const std::vector<std::vector<int>>& rows, bool four, std::mt19937& rng) {
    QByteArray out;
    for (const std::vector<int>& row : rows) {
        size_t x = 0;
        while (x < row.size()) {
            const int left = static_cast<int>(std::min<size_t>(row.size() - x, 255));
            const int n = std::uniform_int_distribution<int>(1, left)(rng);
            if (n >= 3 && rng() % 2) {  // as they stand, padded to two bytes
                out.append('\0').append(char(n));
                QByteArray data;
                for (int i = 0; i < n; ++i) {
                    const int index = row[x + static_cast<size_t>(i)];
                    if (!four)
                        data.append(char(index));
                    else if (i % 2 == 0)
                        data.append(char(index << 4));
                    else
                        data.back() = char(data.back() | index);
                }
                if (data.size() % 2) data.append('\0');
                out.append(data);
            } else {  // one index (RLE4: the pair at x), repeated
                const int a = row[x];
                const int b = four && x + 1 < row.size() ? row[x + 1] : a;
                out.append(char(n)).append(char(four ? a << 4 | b : a));
            }
            x += static_cast<size_t>(n);
        }
        out.append('\0').append('\0');
    }
    out.append('\0').append('\1');
    return out;
}

// A random bitmap that Qt's reader reads whole: every pixel given.
Bitmap RandomBitmap(std::mt19937& rng) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    Bitmap b;
    b.width = 1 + pick(40);
    b.height = 1 + pick(30);
    const int kinds[][2] = {{1, kRgb},  {4, kRgb},  {8, kRgb},  {16, kRgb},       {24, kRgb},
                            {32, kRgb}, {8, kRle8}, {4, kRle4}, {16, kBitFields}, {32, kBitFields}};
    const auto& kind = kinds[pick(10)];
    b.bits = kind[0];
    b.compression = kind[1];
    const int sizes[] = {40, 108, 124, 12};
    b.infoSize = sizes[pick(b.compression == kRgb && b.bits != 16 && b.bits != 32 ? 4 : 3)];
    if (b.compression == kBitFields) {
        const quint32 masks[][4] = {{0xF800, 0x07E0, 0x001F, 0},
                                    {0x7C00, 0x03E0, 0x001F, 0},
                                    {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
                                    {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}};
        std::copy_n(masks[(b.bits == 16 ? 0 : 2) + pick(2)], 4, b.masks);
        if (b.infoSize < 108) b.masks[3] = 0;
    }
    if (b.bits <= 8) {
        const int full = 1 << b.bits;
        // The 12-byte header has no colour count: its palette is whole.
        const int count = pick(3) || b.infoSize == 12 ? full : 1 + pick(full);
        for (int i = 0; i < count; ++i) b.palette.push_back(qRgb(pick(256), pick(256), pick(256)));
    }
    std::vector<std::vector<int>> rows(static_cast<size_t>(b.height));
    for (auto& row : rows)
        for (int x = 0; x < b.width; ++x)
            row.push_back(b.bits <= 8 ? pick(static_cast<int>(b.palette.size())) : 0);
    if (b.compression == kRle8 || b.compression == kRle4) {
        b.pixels = RunLengths(rows, b.compression == kRle4, rng);
        return b;
    }
    const int rowBytes = (b.width * b.bits + 31) / 32 * 4;
    for (const auto& row : rows) {
        QByteArray bytes(rowBytes, '\0');
        for (int i = 0; i < rowBytes; ++i) bytes[i] = char(pick(256));
        if (b.bits <= 8) {
            bytes.fill('\0');
            for (int x = 0; x < b.width; ++x) {
                const int bit = x * b.bits;
                bytes[bit / 8] =
                    char(bytes[bit / 8] | row[static_cast<size_t>(x)] << (8 - b.bits - bit % 8));
            }
        }
        b.pixels.append(bytes);
    }
    if (b.infoSize != 12 && pick(4) == 0) b.height = -b.height;
    return b;
}

QImage Premultiplied(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The largest difference of a channel between two images of one size.
int Difference(const QImage& a, const QImage& b) {
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            most = std::max({most, std::abs(qAlpha(p) - qAlpha(q)), std::abs(qRed(p) - qRed(q)),
                             std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return most;
}

// The picture at size out, each pixel the average of the premultiplied pixels whose area it
// covers (column x of width columns falls in output column x * out / width).
QImage AreaAverage(const QImage& source, QSize out) {
    QImage result(out, QImage::Format_ARGB32_Premultiplied);
    auto start = [](qint64 o, qint64 n, qint64 m) { return (o * n + m - 1) / m; };
    for (int oy = 0; oy < out.height(); ++oy)
        for (int ox = 0; ox < out.width(); ++ox) {
            qint64 sum[4] = {};
            qint64 area = 0;
            for (qint64 y = start(oy, source.height(), out.height());
                 y < start(oy + 1, source.height(), out.height()); ++y)
                for (qint64 x = start(ox, source.width(), out.width());
                     x < start(ox + 1, source.width(), out.width()); ++x) {
                    const QRgb p = source.pixel(static_cast<int>(x), static_cast<int>(y));
                    sum[0] += qAlpha(p), sum[1] += qRed(p), sum[2] += qGreen(p), sum[3] += qBlue(p);
                    ++area;
                }
            auto avg = [&](int k) { return static_cast<int>((sum[k] + area / 2) / area); };
            result.setPixel(ox, oy, qRgba(avg(1), avg(2), avg(3), avg(0)));
        }
    return result;
}

class BitmapReaderTest : public ElementPage {
  protected:
    TestFiles files;
    QString Write(const QString& name, const QByteArray& bytes) { return files.Write(name, bytes); }
};

// An RLE8 file of width x height pixels of which it gives none: its first palette colour.
QByteArray RunLengthBomb(int width, int height, QRgb first) {
    Bitmap b;
    b.width = width;
    b.height = height;
    b.bits = 8;
    b.compression = kRle8;
    b.palette.assign(256, qRgb(0, 0, 0));
    b.palette[0] = first;
    b.pixels = QByteArray("\0\1", 2);
    return FileOf(b);
}

// An RLE8 file of width x height pixels, its left half red and its right half blue.
QByteArray RedAndBlue(int width, int height) {
    Bitmap b;
    b.width = width;
    b.height = height;
    b.bits = 8;
    b.compression = kRle8;
    b.palette = {qRgb(255, 0, 0), qRgb(0, 0, 255)};
    QByteArray row;
    for (int half = 0; half < 2; ++half)
        for (int left = width / 2; left > 0; left -= 255)
            row.append(char(std::min(left, 255))).append(char(half));
    row.append('\0').append('\0');
    b.pixels = row.repeated(height);
    b.pixels.append('\0').append('\1');
    return FileOf(b);
}

}  // namespace

// Random bitmaps of every depth, compression and header read as Qt's reader reads them (16-bit
// channels are widened to the full 0-255 range where Qt multiplies by a power of two), and read
// into a smaller box as the average of the pixels each output pixel covers.
TEST_F(BitmapReaderTest, RandomBitmapsAreReadAsQtReadsThemAndAveragedIntoTheirBox) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 400; ++round) {
        const Bitmap bmp = RandomBitmap(rng);
        SCOPED_TRACE(testing::Message() << "round " << round << ": " << bmp.width << "x"
                                        << bmp.height << " bits " << bmp.bits << " compression "
                                        << bmp.compression << " header " << bmp.infoSize);
        const QString path = Write("r.bmp", FileOf(bmp));
        const QImage theirs = Premultiplied(QImageReader(path, "BMP").read());
        ASSERT_FALSE(theirs.isNull());
        const int tolerance = bmp.bits == 16 ? 8 : 0;
        const QImage whole = TVostrin::ReadBitmapFile(path);
        ASSERT_EQ(whole.size(), theirs.size());
        EXPECT_LE(Difference(Premultiplied(whole), theirs), tolerance);
        const QSize box(1 + static_cast<int>(rng() % static_cast<unsigned>(bmp.width)),
                        1 + static_cast<int>(rng() % static_cast<unsigned>(std::abs(bmp.height))));
        const QImage boxed = TVostrin::ReadBitmapFile(path, box);
        ASSERT_EQ(boxed.size(), box);
        EXPECT_LE(Difference(Premultiplied(boxed), AreaAverage(theirs, box)), tolerance + 1);
        // A box larger than the picture leaves it at its own size.
        EXPECT_EQ(TVostrin::ReadBitmapFile(path, QSize(100, 100)).size(), theirs.size());
    }
}

TEST_F(BitmapReaderTest, FilesThatAreNoBitmapGiveNoPicture) {
    Bitmap good;
    good.width = 2;
    good.height = 2;
    good.pixels = QByteArray(16, '\x40');
    ASSERT_FALSE(TVostrin::ReadBitmapFile(Write("good.bmp", FileOf(good))).isNull());
    std::vector<QByteArray> bad;
    for (const auto& change : std::vector<std::function<void(Bitmap&)>>{
             [](Bitmap& b) { b.width = 0; }, [](Bitmap& b) { b.width = -2; },
             [](Bitmap& b) { b.height = 0; }, [](Bitmap& b) { b.bits = 2; },
             [](Bitmap& b) { b.compression = 4; },
             [](Bitmap& b) { b.compression = kRle8; },  // with 24 bits
             [](Bitmap& b) { b.infoSize = 56; }, [](Bitmap& b) { b.pixels.clear(); },
             [](Bitmap& b) {  // run-length rows are never top-down
                 b.bits = 8, b.compression = kRle8, b.height = -2;
                 b.palette = {qRgb(0, 0, 0)};
                 b.pixels = QByteArray("\2\0\0\0\2\0\0\1", 8);
             },
             [](Bitmap& b) {  // more palette colours than any index reaches
                 b.bits = 8;
                 b.palette.assign(257, qRgb(0, 0, 0));
             }}) {
        Bitmap b = good;
        change(b);
        bad.push_back(FileOf(b));
    }
    const QByteArray file = FileOf(good);
    bad.push_back(QByteArray("XM") + file.mid(2));
    bad.push_back(file.left(30));
    QByteArray planes = file;
    planes[26] = 2;
    bad.push_back(planes);
    for (size_t i = 0; i < bad.size(); ++i)
        EXPECT_TRUE(TVostrin::ReadBitmapFile(Write("bad.bmp", bad[i]), QSize(10, 10)).isNull())
            << i;
}

// A run-length file that skips pixels (a jump, the end of its rows, an early end) gives them
// its first palette colour; an uncompressed file that ends early gives black for the rest; a
// palette index beyond the palette is black.
TEST_F(BitmapReaderTest, PixelsTheFileDoesNotGiveAreZeroBytes) {
    Bitmap rle;
    rle.width = 4;
    rle.height = 3;
    rle.bits = 8;
    rle.compression = kRle8;
    rle.palette = {qRgb(10, 20, 30), qRgb(200, 0, 0), qRgb(0, 200, 0)};
    // Bottom row: two pixels of 1, then a jump of one right and one up; one pixel of 2 there;
    // the end of the picture.
    rle.pixels = QByteArray("\2\1\0\2\1\1\1\2\0\1", 10);
    const QImage image = TVostrin::ReadBitmapFile(Write("rle.bmp", FileOf(rle)));
    ASSERT_EQ(image.size(), QSize(4, 3));
    const QRgb b = qRgb(10, 20, 30), r = qRgb(200, 0, 0), g = qRgb(0, 200, 0);
    const std::vector<QRgb> expected = {b, b, b, b, b, b, b, g, r, r, b, b};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(image.pixel(i % 4, i / 4), expected[i]) << i;

    Bitmap cut;
    cut.width = 2;
    cut.height = 2;
    cut.pixels = QByteArray(9, '\xFF');  // the bottom row (padded to 8 bytes) and one byte
    const QImage part = TVostrin::ReadBitmapFile(Write("cut.bmp", FileOf(cut)));
    ASSERT_EQ(part.size(), QSize(2, 2));
    EXPECT_EQ(part.pixel(0, 1), qRgb(255, 255, 255));
    EXPECT_EQ(part.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(part.pixel(0, 0), qRgb(0, 0, 0));

    Bitmap shortPalette;
    shortPalette.bits = 8;
    shortPalette.palette = {qRgb(0, 0, 255)};
    shortPalette.width = 2;
    shortPalette.pixels = QByteArray("\0\7\0\0", 4);
    const QImage indexes = TVostrin::ReadBitmapFile(Write("short.bmp", FileOf(shortPalette)));
    EXPECT_EQ(indexes.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(indexes.pixel(1, 0), qRgb(0, 0, 0));
}

// Ten run-length files of 1,080 bytes that claim 8192 x 8192 pixels each (256 MB at four bytes
// a pixel, and Qt's reader made them all) cost about what ten JPEG files claiming as much cost,
// and twice the claimed area costs no more. A real run-length picture of 10000 x 9000 pixels,
// beyond the picture cap at its own size, is drawn into its box; twice as many rows cost about
// twice as much.
TEST_F(BitmapReaderTest, BitmapsCostTheirBytesAndTheirBoxWhateverSizeTheyClaim) {
    const QRgb dark = qRgb(10, 20, 30);
    const QString bomb = Write("bomb.bmp", RunLengthBomb(8192, 8192, dark));
    ASSERT_EQ(QFileInfo(bomb).size(), 1080);
    const QString twice = Write("twice.bmp", RunLengthBomb(11586, 11586, dark));
    const QString jpegBomb =
        Write("bomb.jpg", jpegtest::ClaimingSize(jpegtest::SmallJpeg(false, false), 8192, 8192));
    // Ten of each in boxes of 60 x 60 mm; the child answers the colour in the middle.
    const testcost::ChildCost jpegCost = CostOfDrawing(jpegBomb, 10);
    const testcost::ChildCost bmpCost = CostOfDrawing(bomb, 10);
    const testcost::ChildCost twiceCost = CostOfDrawing(twice, 10);
    ASSERT_TRUE(jpegCost.ran && bmpCost.ran && twiceCost.ran);
    EXPECT_EQ(bmpCost.result, static_cast<int>(dark & 0xFFFFFF));
    EXPECT_EQ(twiceCost.result, static_cast<int>(dark & 0xFFFFFF));
    EXPECT_LT(bmpCost.peakMb, jpegCost.peakMb + 20) << jpegCost.peakMb;
    EXPECT_LT(bmpCost.cpuMs, 2 * jpegCost.cpuMs + 50 * testtiming::kSlowdown) << jpegCost.cpuMs;
    EXPECT_LT(twiceCost.peakMb, bmpCost.peakMb + 20);
    EXPECT_LT(twiceCost.cpuMs, 1.5 * bmpCost.cpuMs + 50 * testtiming::kSlowdown);
    // One row as wide as a bitmap can claim, in a box as wide as a page can hold: made no wider
    // than 65535 pixels, in a few MB.
    const QString row = Write("row.bmp", RunLengthBomb(2147483647, 1, dark));
    EXPECT_EQ(TVostrin::ReadBitmapFile(row, QSize(1 << 29, 1)).size(), QSize(65535, 1));
    const testcost::ChildCost rowCost =
        CostOfDrawing(row, 1, R"(x="0" y="0" width="2000000000" height="10")");
    ASSERT_TRUE(rowCost.ran);
    EXPECT_LT(rowCost.peakMb, bmpCost.peakMb + 20);

    const QString picture = Write("picture.bmp", RedAndBlue(10000, 9000));
    Open();
    EXPECT_TRUE(Draw(ImageElement(picture, R"(x="100" y="100" width="800" height="400")")));
    const QImage page = Close();
    EXPECT_EQ(BoundsOf(page, QColor(255, 0, 0)), QRect(100, 100, 400, 400));
    EXPECT_EQ(BoundsOf(page, QColor(0, 0, 255)), QRect(500, 100, 400, 400));
    const QString taller = Write("taller.bmp", RedAndBlue(10000, 18000));
    const char* box = R"(x="100" y="100" width="800" height="400")";
    const testcost::ChildCost once = CostOfDrawing(picture, 1, box);
    const testcost::ChildCost doubled = CostOfDrawing(taller, 1, box);
    ASSERT_TRUE(once.ran && doubled.ran);
    EXPECT_LT(doubled.cpuMs, 2.5 * once.cpuMs + 30 * testtiming::kSlowdown) << once.cpuMs;
    EXPECT_LT(doubled.peakMb, once.peakMb + 20) << once.peakMb;
}
