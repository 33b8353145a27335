// JPEG files whose data ends early: decoded exactly as libjpeg decodes them row by row, while a
// file of a few hundred bytes costs no more for the size it claims.
#include <random>

#include "ElementPageTestSupport.h"
#include "JpegTestSupport.h"
#include "PrintElement/JpegDecoder.h"
#include "TimingTestSupport.h"

using namespace printtest;

namespace {

// A picture with edges, gradients and noise, so that its blocks differ.
QImage Scene(int width, int height, std::mt19937& rng) {
    QImage image(width, height, QImage::Format_RGB32);
    const int seed = static_cast<int>(rng() % 256);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int noise = static_cast<int>(rng() % 32);
            image.setPixel(x, y,
                           qRgb((x * 255 / width + noise) % 256, (y * 7 + seed) % 256,
                                ((x / 9 + y / 13) % 2) * 200 + noise));
        }
    return image;
}

class JpegDecoderTest : public ElementPage {
  protected:
    TestFiles files;
    QString Write(const QString& name, const QByteArray& bytes) { return files.Write(name, bytes); }
};

}  // namespace

// Random pictures in every encoding (progressive or not, subsampled or not, grey, with restart
// markers), cut short anywhere (the file ending there, or with an end marker there) or whole,
// decoded at a random scale: the decoder's picture is libjpeg's own, pixel for pixel, also where
// it stops decoding a one-scan file whose data has ended.
TEST_F(JpegDecoderTest, FilesCutShortAnywhereAreDecodedAsLibjpegDecodesThem) {
    std::mt19937 rng(7411);
    int cutShort = 0;
    for (int round = 0; round < 120; ++round) {
        const int width = 1 + static_cast<int>(rng() % 300);
        const int height = 1 + static_cast<int>(rng() % 900);
        jpegtest::Encoding how;
        how.progressive = rng() % 4 == 0;
        how.fullColour = rng() % 3 == 0;
        how.grey = rng() % 5 == 0;
        how.quality = 20 + static_cast<int>(rng() % 80);
        how.restartRows = rng() % 4 == 0 ? 1 + static_cast<int>(rng() % 5) : 0;
        QByteArray jpeg = jpegtest::Encode(Scene(width, height, rng), how);
        if (rng() % 5 != 0) {
            const int sos = jpeg.indexOf("\xFF\xDA");
            ASSERT_GT(sos, 0);
            jpeg.truncate(sos + static_cast<int>(rng() % static_cast<unsigned>(jpeg.size() - sos)));
            if (rng() % 2) jpeg.append("\xFF\xD9");
            ++cutShort;
        }
        SCOPED_TRACE(testing::Message()
                     << "round " << round << ": " << width << "x" << height << " progressive "
                     << how.progressive << " bytes " << jpeg.size());
        const int scale = 1 + static_cast<int>(rng() % 8);
        const QImage expected = jpegtest::Decode(jpeg, scale);
        const QString path = Write("cut.jpg", jpeg);
        if (expected.isNull()) {
            EXPECT_TRUE(TVostrin::DecodeJpegFile(path, QSize(1, 1)).isNull());
            continue;
        }
        // The decoder takes the smallest scale that covers its box.
        int smallest = scale;
        while (smallest > 1 && jpegtest::Decode(jpeg, smallest - 1).size() == expected.size())
            --smallest;
        const QImage decoded = TVostrin::DecodeJpegFile(path, expected.size());
        ASSERT_EQ(decoded.size(), expected.size());
        EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32), jpegtest::Decode(jpeg, smallest));
    }
    EXPECT_GT(cutShort, 60);
}

// Ten files of a few hundred bytes claiming 65000 x 65000 pixels (decoded at 1/8, 8125 x 8125)
// cost what ten claiming 8192 x 8192 cost: the rows after their data ended are not decoded one
// by one, and no more than the box is held.
TEST_F(JpegDecoderTest, AFileCostsItsDataAndItsBoxNotTheSizeItClaims) {
    const QByteArray small = jpegtest::SmallJpeg(false, false);
    const QString bomb = Write("bomb.jpg", jpegtest::ClaimingSize(small, 8192, 8192));
    const QString vast = Write("vast.jpg", jpegtest::ClaimingSize(small, 65000, 65000));
    const testcost::ChildCost once = CostOfDrawing(bomb, 10);
    const testcost::ChildCost more = CostOfDrawing(vast, 10);
    ASSERT_TRUE(once.ran && more.ran);
    EXPECT_EQ(more.result, once.result);
    EXPECT_NE(once.result, 0xFFFFFF);  // drawn
    EXPECT_LT(more.cpuMs, 2 * once.cpuMs + 50 * testtiming::kSlowdown) << once.cpuMs;
    EXPECT_LT(more.peakMb, once.peakMb + 20) << once.peakMb;
}
