#include "PrintElement/BitmapReader.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <vector>

#include "PrintElement/PictureCap.h"
#include "PrintElement/PictureScaler.h"

namespace TVostrin {

namespace {

// The file read front to back through a buffer of its own.
class TByteSource {
  public:
    explicit TByteSource(QFile& file) : file_(file), buffer_(1 << 16) {}

    // The next byte, or -1 at the end of the file.
    int Get() {
        if (at_ == size_ && !Fill()) return -1;
        return buffer_[static_cast<size_t>(at_++)];
    }
    // Up to n bytes into out; how many the file still had.
    qint64 Read(uchar* out, qint64 n) {
        qint64 done = 0;
        while (done < n && (at_ < size_ || Fill())) {
            const qint64 step = std::min(n - done, size_ - at_);
            std::copy_n(buffer_.begin() + at_, step, out + done);
            at_ += step;
            done += step;
        }
        return done;
    }
    // Passes over n bytes; false when the file ends first.
    bool Skip(qint64 n) {
        if (n <= size_ - at_) {
            at_ += n;
            return true;
        }
        const qint64 to = Position() + n;
        start_ = to;
        at_ = size_ = 0;
        return to <= file_.size() && file_.seek(to);
    }
    bool AtEnd() { return at_ == size_ && !Fill(); }
    qint64 Position() const { return start_ + at_; }

  private:
    bool Fill() {
        start_ += size_;
        at_ = 0;
        size_ = std::max<qint64>(0, file_.read(reinterpret_cast<char*>(buffer_.data()),
                                               static_cast<qint64>(buffer_.size())));
        return size_ > 0;
    }

    QFile& file_;
    std::vector<uchar> buffer_;
    qint64 start_ = 0;  // the file position of the buffer's first byte
    qint64 at_ = 0;
    qint64 size_ = 0;
};

quint32 U16(const uchar* p) {
    return p[0] | quint32(p[1]) << 8;
}

quint32 U32(const uchar* p) {
    return U16(p) | U16(p + 2) << 16;
}

enum : quint32 { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

// One colour channel of a 16- or 32-bit pixel: where its bits lie and their largest value.
struct TChannel {
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0;

    explicit TChannel(quint32 m = 0) : mask(m) {
        if (m == 0) return;
        while (!(m & 1)) {
            m >>= 1;
            ++shift;
        }
        max = m;
    }
    int Of(quint32 pixel) const {
        if (max == 0) return 0;
        const quint64 v = (pixel & mask) >> shift;
        // An eight-bit channel (every 24- and 32-bit picture's) needs no scaling.
        if (max == 255) return static_cast<int>(v);
        return static_cast<int>((v * 255 + max / 2) / max);
    }
};

struct TBitmapHeader {
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bits = 0;
    quint32 compression = kRgb;
    std::vector<QRgb> palette;
    TChannel red, green, blue, alpha;  // 16- and 32-bit pixels
    bool hasAlpha = false;

    QRgb Colour(quint32 index) const {
        return index < palette.size() ? palette[index] : qRgb(0, 0, 0);
    }
    // The colour of a 16- or 32-bit pixel, premultiplied.
    QRgb Colour16Or32(quint32 pixel) const {
        const QRgb rgb = qRgb(red.Of(pixel), green.Of(pixel), blue.Of(pixel));
        return hasAlpha ? qPremultiply(qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), alpha.Of(pixel)))
                        : rgb;
    }
    // What a pixel of zero bytes shows.
    QRgb Background() const {
        if (bits <= 8) return Colour(0);
        return hasAlpha ? qRgba(0, 0, 0, 0) : qRgb(0, 0, 0);
    }
};

// The file and info headers, the bit masks and the palette; the source is left at the first
// byte of the pixels. False for what this does not read.
bool ReadHeader(TByteSource& in, TBitmapHeader& h) {
    uchar file[14];
    if (in.Read(file, 14) != 14 || file[0] != 'B' || file[1] != 'M') return false;
    const quint32 pixelsAt = U32(file + 10);
    uchar info[124];
    if (in.Read(info, 4) != 4) return false;
    const quint32 infoSize = U32(info);
    if (infoSize != 12 && infoSize != 40 && infoSize != 64 && infoSize != 108 && infoSize != 124)
        return false;
    if (in.Read(info + 4, infoSize - 4) != infoSize - 4) return false;
    quint32 planes, colours = 0;
    if (infoSize == 12) {
        h.width = static_cast<qint16>(U16(info + 4));
        h.height = static_cast<qint16>(U16(info + 6));
        planes = U16(info + 8);
        h.bits = static_cast<int>(U16(info + 10));
    } else {
        h.width = static_cast<qint32>(U32(info + 4));
        h.height = static_cast<qint32>(U32(info + 8));
        planes = U16(info + 12);
        h.bits = static_cast<int>(U16(info + 14));
        h.compression = U32(info + 16);
        colours = U32(info + 32);
    }
    h.topDown = h.height < 0;
    h.height = std::abs(h.height);
    const bool known =
        h.compression == kRgb || (h.compression == kRle8 && h.bits == 8) ||
        (h.compression == kRle4 && h.bits == 4) ||
        // In the OS/2 header, 3 is another compression.
        (h.compression == kBitFields && (h.bits == 16 || h.bits == 32) && infoSize != 64);
    const bool depth =
        h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 || h.bits == 32;
    // Run-length rows are bottom-up only.
    if (planes != 1 || !known || !depth || h.width <= 0 || h.height <= 0 ||
        (h.topDown && h.compression != kRgb && h.compression != kBitFields))
        return false;

    if (h.compression == kBitFields) {
        uchar masks[12];
        const uchar* m = info + 40;
        if (infoSize < 108) {
            if (in.Read(masks, 12) != 12) return false;
            m = masks;
        }
        h.red = TChannel(U32(m));
        h.green = TChannel(U32(m + 4));
        h.blue = TChannel(U32(m + 8));
        if (infoSize >= 108) h.alpha = TChannel(U32(info + 52));
        h.hasAlpha = h.alpha.max != 0;
    } else if (h.bits == 16) {
        h.red = TChannel(0x7C00);
        h.green = TChannel(0x03E0);
        h.blue = TChannel(0x001F);
    } else if (h.bits == 32) {
        h.red = TChannel(0xFF0000);
        h.green = TChannel(0x00FF00);
        h.blue = TChannel(0x0000FF);
    }

    if (h.bits <= 8) {
        const quint32 count = colours != 0 ? colours : 1u << h.bits;
        if (count > 256) return false;
        const int entry = infoSize == 12 ? 3 : 4;
        for (quint32 i = 0; i < count; ++i) {
            uchar bgr[4];
            if (in.Read(bgr, entry) != entry) return false;
            h.palette.push_back(qRgb(bgr[2], bgr[1], bgr[0]));
        }
    }
    // The pixels start where the file header says, unless that points back into the headers.
    if (pixelsAt > in.Position() && !in.Skip(pixelsAt - in.Position())) return false;
    return true;
}

// Uncompressed rows, each padded to four bytes, handed over a piece at a time so that no buffer
// follows the width the file claims. A file that ends early ends the picture.
void ReadRows(TByteSource& in, const TBitmapHeader& h, TPictureScaler& out) {
    constexpr qint64 kPiece = 4096;  // pixels; a multiple of 8, so every piece starts on a byte
    const qint64 rowBytes = (h.width * h.bits + 31) / 32 * 4;
    const int bytesPerPixel = h.bits / 8;
    std::vector<uchar> bytes(static_cast<size_t>(kPiece) * 4);
    std::vector<QRgb> pixels(static_cast<size_t>(kPiece));
    for (qint64 r = 0; r < h.height; ++r) {
        const qint64 y = h.topDown ? r : h.height - 1 - r;
        qint64 used = 0;
        for (qint64 x = 0; x < h.width; x += kPiece) {
            const qint64 n = std::min(kPiece, h.width - x);
            const qint64 need = (n * h.bits + 7) / 8;
            const qint64 got = in.Read(bytes.data(), need);
            const qint64 whole = std::min(n, got * 8 / h.bits);
            for (qint64 i = 0; i < whole; ++i) {
                QRgb& p = pixels[static_cast<size_t>(i)];
                if (h.bits <= 8) {
                    const qint64 bit = i * h.bits;
                    const int shift = 8 - h.bits - static_cast<int>(bit % 8);
                    p = h.Colour((bytes[static_cast<size_t>(bit / 8)] >> shift) &
                                 ((1u << h.bits) - 1));
                    continue;
                }
                const uchar* b = bytes.data() + i * bytesPerPixel;
                if (h.bits == 24)
                    p = qRgb(b[2], b[1], b[0]);
                else
                    p = h.Colour16Or32(h.bits == 16 ? U16(b) : U32(b));
            }
            out.AddPixels(y, x, pixels.data(), whole);
            if (got < need) return;
            used += need;
        }
        if (!in.Skip(rowBytes - used)) return;
    }
}

// RLE8 and RLE4: runs of one index (of two alternating ones in RLE4), runs of indexes as they
// stand (padded to two bytes), the end of a row, a jump right and up, and the end of the picture.
// Pixels past the end of a row are dropped.
void ReadRunLengths(TByteSource& in, const TBitmapHeader& h, TPictureScaler& out) {
    const bool four = h.bits == 4;
    std::array<QRgb, 256> pixels{};
    std::array<uchar, 256> bytes{};
    qint64 x = 0;
    qint64 r = 0;  // row in file order, bottom-up
    while (r < h.height) {
        const int count = in.Get();
        const int code = in.Get();
        if (code < 0) return;
        const qint64 y = h.height - 1 - r;
        if (count > 0) {
            const QRgb first = h.Colour(four ? code >> 4 : code);
            const QRgb second = h.Colour(four ? code & 15 : code);
            if (first == second) {
                out.AddRun(y, x, first, count);
            } else {
                for (int i = 0; i < count; ++i)
                    pixels[static_cast<size_t>(i)] = i % 2 ? second : first;
                out.AddPixels(y, x, pixels.data(), count);
            }
            x += count;
        } else if (code == 0) {
            x = 0;
            ++r;
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            const int dx = in.Get();
            const int dy = in.Get();
            if (dy < 0) return;
            x += dx;
            r += dy;
        } else {
            const int size = four ? (code + 1) / 2 : code;
            const qint64 got = in.Read(bytes.data(), size + (size & 1));
            const int whole = static_cast<int>(std::min<qint64>(code, four ? got * 2 : got));
            for (int i = 0; i < whole; ++i) {
                const uchar b = bytes[static_cast<size_t>(four ? i / 2 : i)];
                pixels[static_cast<size_t>(i)] = h.Colour(four ? (i % 2 ? b & 15 : b >> 4) : b);
            }
            out.AddPixels(y, x, pixels.data(), whole);
            if (got < size) return;
            x += code;
        }
    }
}

}  // namespace

QImage ReadBitmapFile(const QString& path, QSize box, bool* refused) {
    if (refused) *refused = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QImage();
    TByteSource in(file);
    TBitmapHeader header;
    if (!ReadHeader(in, header) || in.AtEnd()) return QImage();
    TPictureScaler out(header.width, header.height, FittedSize(header.width, header.height, box),
                       header.Background(), header.hasAlpha);
    if (!out.Ok()) {
        if (refused) *refused = true;
        return QImage();
    }
    if (header.compression == kRle8 || header.compression == kRle4)
        ReadRunLengths(in, header, out);
    else
        ReadRows(in, header, out);
    return out.Finish();
}

}  // namespace TVostrin
