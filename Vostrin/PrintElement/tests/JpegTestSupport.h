// JPEG files for the picture tests, written and read with libjpeg itself: a picture encoded with
// a choice of progression, colour subsampling, grey and restart markers; a small dark grey file;
// a file whose frame header claims another size; and the plain decoding of a file (every row,
// at a scale of M/8), which the library's decoder must match.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace jpegtest {

struct Encoding {
    bool progressive = false;
    bool fullColour = false;  // no colour subsampling
    bool grey = false;
    int quality = 75;
    int restartRows = 0;  // a restart marker every so many rows of blocks (0: none)
};

inline QByteArray Encode(const QImage& picture, const Encoding& how = {}) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, how.quality, TRUE);
    if (how.grey) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    if (how.fullColour)
        for (int c = 0; c < cinfo.num_components; ++c)
            cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    if (how.progressive) jpeg_simple_progression(&cinfo);
    cinfo.restart_in_rows = how.restartRows;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto* line = const_cast<JSAMPLE*>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &line, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return bytes;
}

// A small dark grey JPEG file (16 x 16, baseline or progressive, its colours subsampled or not).
inline QByteArray SmallJpeg(bool progressive, bool fullColour) {
    QImage grey(16, 16, QImage::Format_RGB888);
    grey.fill(QColor(64, 64, 64));
    Encoding how;
    how.progressive = progressive;
    how.fullColour = fullColour;
    return Encode(grey, how);
}

// The file with a frame header that claims width x height pixels: a decompression bomb, whose
// few hundred bytes of data run out after the first blocks.
inline QByteArray ClaimingSize(QByteArray jpeg, int width, int height) {
    int sof = jpeg.indexOf("\xFF\xC0");
    if (sof < 0) sof = jpeg.indexOf("\xFF\xC2");
    EXPECT_GT(sof, 0);
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xFF);
    return jpeg;
}

namespace detail {
struct Errors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};
[[noreturn]] inline void Fail(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<Errors*>(cinfo->err)->jump, 1);
}
inline void Quiet(j_common_ptr) {}

// Only plain C objects in this frame (see the jump).
inline bool Decode(const QByteArray& jpeg, int scaleNum, QImage* image) {
    jpeg_decompress_struct cinfo{};
    Errors errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = Fail;
    errors.pub.output_message = Quiet;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                 static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    cinfo.scale_num = static_cast<unsigned int>(scaleNum);
    cinfo.scale_denom = 8;
    jpeg_start_decompress(&cinfo);
    *image = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                    QImage::Format_RGB888);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}
}  // namespace detail

// The file decoded by libjpeg at scale M/8, every row of it; a null image when it fails.
inline QImage Decode(const QByteArray& jpeg, int scaleNum = 8) {
    QImage image;
    return detail::Decode(jpeg, scaleNum, &image) ? image.convertToFormat(QImage::Format_RGB32)
                                                  : QImage();
}

}  // namespace jpegtest
