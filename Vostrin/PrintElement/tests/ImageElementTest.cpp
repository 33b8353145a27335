// Pictures drawn on a scripted printer at 254 dpi: BMP and JPEG files (CMYK ones too) stretched
// into their box, relative paths from the program folder, extensions that are not drawn, and
// damaged JPEG files that draw nothing while the elements after them still draw.
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "Build/ErrorLog.h"
#include "ElementPageTestSupport.h"
#include "JpegTestSupport.h"
#include "PrintElement/JpegDecoder.h"
#include "PrintElement/MyImage.h"
#include "PrintElement/Print.h"
#include "TimingTestSupport.h"

using namespace printtest;
using jpegtest::ClaimingSize;
using jpegtest::SmallJpeg;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);

// A 40 x 20 picture: left half red, right half blue.
QImage TwoColours() {
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(kRed);
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x) img.setPixelColor(x, y, QColor(0, 0, 255));
    return img;
}

// Pixels near the colour (JPEG colours are not exact): their bounding box.
QRect NearBounds(const QImage& img, const QColor& c, int tolerance = 40) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor p = img.pixelColor(x, y);
            if (std::abs(p.red() - c.red()) <= tolerance &&
                std::abs(p.green() - c.green()) <= tolerance &&
                std::abs(p.blue() - c.blue()) <= tolerance)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

// A 40 x 20 JPEG file of TwoColours' red and blue as CMYK samples stored inverted (255: no
// ink), as Adobe's programs write them, kept in the file as CMYK or as YCCK.
void WriteCmykJpeg(const QString& path, J_COLOR_SPACE stored) {
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    ASSERT_TRUE(file);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = 40;
    cinfo.image_height = 20;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, stored);
    jpeg_set_quality(&cinfo, 100, TRUE);
    for (int c = 0; c < cinfo.num_components; ++c)  // full resolution: sharp colour edges
        cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row;
    for (int x = 0; x < 40; ++x) {
        const bool red = x < 20;  // red: magenta and yellow ink; blue: cyan and magenta
        row.insert(row.end(), {JSAMPLE(red ? 255 : 0), 0, JSAMPLE(red ? 0 : 255), 255});
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&cinfo, &line, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
}

// Pixels that are not white: their bounding box.
QRect PaintedBounds(const QImage& img, const QRect& within = QRect()) {
    return BoundsWhere(img, within.isNull() ? img.rect() : within,
                       [](QRgb p) { return qGray(p) < 250; });
}

class ImageElementTest : public ElementPage {
  protected:
    QTemporaryDir dir;
    QString Write(const QString& name, const char* format) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(TwoColours().save(path, format, 100));
        return path;
    }
    QString WriteBytes(const QString& name, const QByteArray& data) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return f.fileName();
    }
    // Processor time of drawing the picture in a box of 60 x 60 mm (600 x 600 dots), the least
    // of three runs.
    double DrawMs(const QString& path) {
        double least = 1e9;
        for (int run = 0; run < 3; ++run) {
            Open();
            const double start = testtiming::ThreadCpuMs();
            EXPECT_TRUE(Draw(ImageElement(path, R"(x="0" y="0" width="600" height="600")")));
            least = std::min(least, testtiming::ThreadCpuMs() - start);
            Close();
        }
        return least;
    }
};

}  // namespace

TEST_F(ImageElementTest, BitmapAndJpegAreStretchedIntoTheirBoxes) {
    const QString bmp = Write("a.bmp", "BMP");
    const QString jpg = Write("b.JPG", "JPG");
    auto tree = LoadTree("<doc>" +
                         Page("<offsetx>100</offsetx>",
                              ImageElement(bmp, R"(x="200" y="100" width="400" height="100")") +
                                  "<image x=\"200\" y=\"300\" width=\"200\" height=\"50\">" +
                                  jpg.toStdString() + "</image>") +
                         "</doc>");
    ASSERT_TRUE(tree);
    ASSERT_EQ(TVostrin::TPrint().Print(tree.get(), nullptr, 0), 0);
    ASSERT_EQ(Pages().size(), 1u);
    const QImage& page = Pages()[0].image;
    // The bitmap: 400 x 100 dots from (100, 100), red on the left half, blue on the right.
    EXPECT_EQ(BoundsOf(page.copy(0, 0, 800, 250), kRed), QRect(100, 100, 200, 100));
    EXPECT_EQ(BoundsOf(page.copy(0, 0, 800, 250), QColor(0, 0, 255)), QRect(300, 100, 200, 100));
    // The JPEG (its path in the text content, its extension in capitals): 200 x 50 dots.
    const QRect red = NearBounds(page.copy(0, 250, 800, 150), kRed);
    const QRect blue = NearBounds(page.copy(0, 250, 800, 150), QColor(0, 0, 255));
    EXPECT_NEAR(red.left(), 100, 2);
    EXPECT_NEAR(blue.right(), 299, 2);
    EXPECT_NEAR(red.top(), 50, 2);
    EXPECT_NEAR(red.bottom(), 99, 2);
}

TEST_F(ImageElementTest, CmykAndYcckJpegsAreDrawnInTheirColours) {
    const QString cmyk = dir.filePath("cmyk.jpg");
    const QString ycck = dir.filePath("ycck.jpg");
    WriteCmykJpeg(cmyk, JCS_CMYK);
    WriteCmykJpeg(ycck, JCS_YCCK);
    Open();
    EXPECT_TRUE(Draw(ImageElement(cmyk, R"(x="100" y="100" width="400" height="100")")));
    EXPECT_TRUE(Draw(ImageElement(ycck, R"(x="100" y="300" width="400" height="100")")));
    const QImage page = Close();
    for (int top : {100, 300}) {
        SCOPED_TRACE(top);
        const QImage band = page.copy(0, top - 50, 600, 200);
        const QRect red = NearBounds(band, kRed);
        const QRect blue = NearBounds(band, QColor(0, 0, 255));
        EXPECT_NEAR(red.left(), 100, 2);
        EXPECT_NEAR(red.right(), 299, 2);
        EXPECT_NEAR(blue.left(), 300, 2);
        EXPECT_NEAR(blue.right(), 499, 2);
        EXPECT_NEAR(red.top(), 50, 2);
        EXPECT_NEAR(blue.bottom(), 149, 2);
    }
}

TEST_F(ImageElementTest, OnlyBmpAndJpgExtensionsOfExistingFilesAreDrawn) {
    const QString jpeg = Write("c.jpeg", "JPG");
    const QString png = Write("d.png", "PNG");
    const QString renamed = dir.filePath("e.bmp");
    QFile::copy(Write("e.jpg", "JPG"), renamed);  // JPEG bytes under a bitmap name
    Open();
    EXPECT_TRUE(Draw(ImageElement(jpeg, R"(width="100" height="100")")));
    EXPECT_TRUE(Draw(ImageElement(png, R"(width="100" height="100")")));
    EXPECT_TRUE(Draw(ImageElement(renamed, R"(width="100" height="100")")));
    EXPECT_TRUE(Draw(ImageElement(dir.filePath("missing.bmp"), R"(width="100" height="100")")));
    EXPECT_TRUE(Draw(ImageElement(dir.path(), R"(width="100" height="100")")));  // a folder
    EXPECT_TRUE(Draw(R"(<image width="100" height="100"/>)"));
    const QImage page = Close();
    EXPECT_TRUE(NearBounds(page, kRed).isNull());
}

TEST_F(ImageElementTest, RelativePathsAreTakenFromTheProgramFolder) {
    const QString name = QString("h13-logo-%1.JPG").arg(QCoreApplication::applicationPid());
    ProgramFolderFile file(name);
    ASSERT_TRUE(TwoColours().save(file.Path(), "JPG", 100));
    Open();
    EXPECT_TRUE(Draw("<image x=\"10\" y=\"10\" width=\"40\" height=\"20\" value=\"" +
                     name.toStdString() + "\"/>"));
    const QImage page = Close();
    EXPECT_NEAR(NearBounds(page, kRed).left(), 10, 1);

    const std::string folder = TVostrin::ProgramFolder();
    EXPECT_EQ(TVostrin::PicturePath("logo.JPG"), QString::fromStdString(folder + "logo.JPG"));
    EXPECT_EQ(TVostrin::PicturePath("pics\\a.bmp"), QString::fromStdString(folder + "pics/a.bmp"));
    EXPECT_EQ(TVostrin::PicturePath("C:\\pics\\a.bmp"), "C:/pics/a.bmp");
    EXPECT_EQ(TVostrin::PicturePath("/srv/pics/a.bmp"), "/srv/pics/a.bmp");
    EXPECT_EQ(TVostrin::PicturePath(Gbk("图片.bmp")),
              QString::fromStdString(folder) + QString::fromUtf8("图片.bmp"));
}

TEST_F(ImageElementTest, DamagedJpegDrawsNothingAndLaterElementsStillDraw) {
    QFile good(Write("good.jpg", "JPG"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    auto writeBytes = [&](const QString& name, const QByteArray& data) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return f.fileName();
    };
    const QString garbage = writeBytes("garbage.jpg", QByteArray("\xFF\xD8\xFF\x01junk", 8));
    const QString empty = writeBytes("empty.jpg", QByteArray());
    const QString text = writeBytes("text.jpg", QByteArray("not a picture at all"));
    const QString cut = writeBytes("cut.jpg", bytes.left(bytes.size() / 3));
    QByteArray huge = bytes;  // the frame header claims 65000 x 65000 pixels
    const int sof = huge.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    huge[sof + 5] = char(0xFD);
    huge[sof + 6] = char(0xE8);
    huge[sof + 7] = char(0xFD);
    huge[sof + 8] = char(0xE8);
    const QString big = writeBytes("huge.jpg", huge.left(sof + 40));

    EXPECT_TRUE(TVostrin::DecodeJpegFile(garbage).isNull());
    EXPECT_TRUE(TVostrin::DecodeJpegFile(empty).isNull());
    EXPECT_TRUE(TVostrin::DecodeJpegFile(text).isNull());
    EXPECT_TRUE(TVostrin::DecodeJpegFile(big).isNull());
    EXPECT_TRUE(TVostrin::DecodeJpegFile(dir.filePath("none.jpg")).isNull());
    EXPECT_EQ(TVostrin::DecodeJpegFile(good.fileName()).size(), QSize(40, 20));

    std::string elements;
    for (const QString& path : {garbage, empty, text, cut, big})
        elements += ImageElement(path, R"(x="0" y="0" width="400" height="200")");
    elements += R"(<rect left="500" top="500" right="600" bottom="600" fillcolor="0,255,0"/>)";
    auto tree = LoadTree("<doc>" + Page("", elements) + "</doc>");
    ASSERT_TRUE(tree);
    ASSERT_EQ(TVostrin::TPrint().Print(tree.get(), nullptr, 0), 0);
    ASSERT_EQ(Pages().size(), 1u);
    EXPECT_EQ(BoundsOf(Pages()[0].image, kGreen), QRect(500, 500, 100, 100));
}

TEST_F(ImageElementTest, JpegsAreDecodedNearTheSizeOfTheirBox) {
    // A real picture is decoded at the smallest scale that still covers its box, and made the
    // size of its box (no larger than itself).
    const QImage big = TwoColours().scaled(800, 400);
    const QString real = dir.filePath("real.jpg");
    ASSERT_TRUE(big.save(real, "JPG", 100));
    EXPECT_EQ(TVostrin::DecodeJpegFile(real, QSize(100, 50)).size(), QSize(100, 50));
    EXPECT_EQ(TVostrin::DecodeJpegFile(real, QSize(101, 50)).size(), QSize(101, 50));
    EXPECT_EQ(TVostrin::DecodeJpegFile(real, QSize(700, 10)).size(), QSize(700, 10));
    EXPECT_EQ(TVostrin::DecodeJpegFile(real, QSize(2000, 2000)).size(), QSize(800, 400));
    EXPECT_EQ(TVostrin::DecodeJpegFile(real).size(), QSize(800, 400));
    Open();
    EXPECT_TRUE(Draw(ImageElement(real, R"(x="100" y="100" width="400" height="100")")));
    const QImage page = Close();
    EXPECT_NEAR(NearBounds(page, kRed).right(), 299, 2);
    EXPECT_NEAR(NearBounds(page, QColor(0, 0, 255)).left(), 300, 2);

    // Files of a few hundred bytes claiming 5000 x 5000 pixels and twice as many: each made
    // 600 x 600 for its box, the time no more than doubling with the area.
    const QByteArray small = SmallJpeg(false, false);
    const QString bomb = WriteBytes("bomb.jpg", ClaimingSize(small, 5000, 5000));
    const QString twice = WriteBytes("twice.jpg", ClaimingSize(small, 7071, 7071));
    EXPECT_EQ(TVostrin::DecodeJpegFile(bomb, QSize(600, 600)).size(), QSize(600, 600));
    const double once = DrawMs(bomb);
    const double doubled = DrawMs(twice);
    EXPECT_EQ(PaintedBounds(Pages().back().image), QRect(0, 0, 600, 600));
    EXPECT_LT(doubled, 300 * testtiming::kSlowdown);
    EXPECT_LT(doubled, 2.5 * once + 30 * testtiming::kSlowdown);
}

// A 600-dpi scan of an A3 page (7016 x 9921 pixels, 278 MB at four bytes a pixel) in an A4 box
// and a photo of 100 million pixels in a box of 120 x 80 mm: each is decoded at the fraction its
// box needs, made the size of its box and drawn filling it (as far as the page of 1000 x 600
// dots shows it).
TEST_F(ImageElementTest, PicturesFarLargerThanTheirBoxAreDecodedSmallerAndDrawn) {
    const QString scan = WriteBytes("scan.jpg", ClaimingSize(SmallJpeg(false, false), 7016, 9921));
    const QString photo =
        WriteBytes("photo.jpg", ClaimingSize(SmallJpeg(false, false), 12240, 8160));
    EXPECT_EQ(TVostrin::DecodeJpegFile(scan, QSize(2100, 2970)).size(), QSize(2100, 2970));
    Open();
    EXPECT_TRUE(Draw(ImageElement(scan, R"(x="0" y="0" width="2100" height="2970")")));
    EXPECT_EQ(PaintedBounds(Close()), QRect(0, 0, 1000, 600));
    Open();
    EXPECT_TRUE(Draw(ImageElement(photo, R"(x="100" y="100" width="1200" height="800")")));
    EXPECT_EQ(PaintedBounds(Close()), QRect(100, 100, 900, 500));
}

TEST_F(ImageElementTest, JpegsBeyondThePictureCapAreRefused) {
    // A file claiming 16000 x 16000 pixels would pass the cap of 256 MB at four bytes a pixel
    // at full size, but its box needs no more than 1/8 of it: the cap holds the picture as
    // decoded. A progressive file of 8000 x 8000 without colour subsampling would need 384 MB
    // of the decoder's memory; a file of a thousand scans walks the picture a thousand times.
    const QString bomb =
        WriteBytes("bomb.jpg", ClaimingSize(SmallJpeg(false, false), 16000, 16000));
    const QString deep = WriteBytes("deep.jpg", ClaimingSize(SmallJpeg(true, true), 8000, 8000));
    QByteArray scans = ClaimingSize(SmallJpeg(true, false), 2000, 2000);
    const int last = scans.lastIndexOf("\xFF\xDA");
    ASSERT_GT(last, 0);
    const QByteArray scan = scans.mid(last, scans.size() - 2 - last);  // up to the end marker
    scans.insert(last, scan.repeated(1000));
    const QString many = WriteBytes("many.jpg", scans);
    const double start = testtiming::ThreadCpuMs();
    EXPECT_EQ(TVostrin::DecodeJpegFile(bomb, QSize(1000, 1000)).size(), QSize(1000, 1000));
    for (const QString& path : {deep, many}) {
        SCOPED_TRACE(path.toStdString());
        bool refused = false;
        EXPECT_TRUE(TVostrin::DecodeJpegFile(path, QSize(1000, 1000), &refused).isNull());
        EXPECT_TRUE(refused);
    }
    // A file that is damaged, not refused.
    bool refused = true;
    EXPECT_TRUE(TVostrin::DecodeJpegFile(WriteBytes("cut.jpg", SmallJpeg(false, false).left(40)),
                                         QSize(10, 10), &refused)
                    .isNull());
    EXPECT_FALSE(refused);
    EXPECT_LT(testtiming::ThreadCpuMs() - start, 300 * testtiming::kSlowdown);
    // The largest picture within the cap is still drawn.
    const QString widest =
        WriteBytes("widest.jpg", ClaimingSize(SmallJpeg(false, false), 8192, 8192));
    Open();
    for (const QString& path : {deep, many})
        EXPECT_TRUE(Draw(ImageElement(path, R"(x="0" y="0" width="1000" height="1000")")));
    EXPECT_TRUE(Draw(ImageElement(widest, R"(x="100" y="100" width="100" height="100")")));
    const QImage page = Close();
    EXPECT_EQ(PaintedBounds(page), QRect(100, 100, 100, 100));
}
