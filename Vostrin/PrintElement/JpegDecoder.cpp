#include "PrintElement/JpegDecoder.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "PrintElement/PictureCap.h"

namespace TVostrin {

namespace {

// The decoder's error manager with the place to jump back to on a fatal error.
struct TJpegErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void OnFatalError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<TJpegErrors*>(cinfo->err)->jump, 1);
}

void OnMessage(j_common_ptr) {}

// Progressive files with more scans than this are refused: each scan walks the whole picture
// again, and the files of real encoders have a few dozen at most.
constexpr int kMaxScans = 100;

void OnProgress(j_common_ptr cinfo) {
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        OnFatalError(cinfo);
}

// Sets the decoder's scale M/8 to the smallest whose picture covers wanted (full size when
// wanted is invalid or no smaller scale covers it), or the largest below it whose picture keeps
// to the picture cap. False when not even 1/8 does.
bool ChooseScale(jpeg_decompress_struct* cinfo, QSize wanted) {
    cinfo->scale_denom = 8;
    unsigned int within = 0;
    for (unsigned int m = 1; m <= 8; ++m) {
        cinfo->scale_num = m;
        jpeg_calc_output_dimensions(cinfo);
        if (!WithinPictureCap(cinfo->output_width, cinfo->output_height)) break;
        within = m;
        if (wanted.isValid() && cinfo->output_width >= static_cast<JDIMENSION>(wanted.width()) &&
            cinfo->output_height >= static_cast<JDIMENSION>(wanted.height()))
            break;
    }
    if (within == 0) return false;
    cinfo->scale_num = within;
    jpeg_calc_output_dimensions(cinfo);
    return true;
}

// Gives the decoded image its size; false when the memory cannot be had.
bool AllocateImage(QImage* image, JDIMENSION width, JDIMENSION height) {
    *image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
    return !image->isNull();
}

unsigned char* ScanLine(QImage* image, JDIMENSION row) {
    return image->scanLine(static_cast<int>(row));
}

// One row of CMYK samples as RGB. Adobe's files (and every YCCK file) store the inks inverted,
// 255 meaning no ink; plain CMYK files store the inks themselves.
void CmykToRgb(const JSAMPLE* cmyk, unsigned char* rgb, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const int paper = inverted ? cmyk[c] : 255 - cmyk[c];
            rgb[c] = static_cast<unsigned char>((paper * k + 127) / 255);
        }
    }
}

// Decodes the open file into *image. Only plain C objects live in this frame, so the jump
// back from a fatal decoder error skips no destructor; the image is owned by the caller, and
// the row buffer belongs to the decoder, which frees it.
bool Decompress(std::FILE* file, QSize wanted, QImage* image) {
    jpeg_decompress_struct cinfo{};
    TJpegErrors errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnFatalError;
    errors.pub.output_message = OnMessage;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = OnProgress;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);  // nothing to free when the creation itself failed
        return false;
    }
    jpeg_create_decompress(&cinfo);
    // The whole-picture buffers of progressive files are held to the cap: libjpeg fails
    // (having no backing store) rather than take more.
    cinfo.mem->max_memory_to_use = kPictureCapBytes;
    cinfo.progress = &progress;
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    // The decoder turns YCCK into CMYK but neither into RGB: that is done here, row by row.
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    // The cap holds the picture as decoded, not as the file has it: a scan far larger than its
    // box is decoded at a fraction of its size.
    if (!ChooseScale(&cinfo, wanted)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != (cmyk ? 4 : 3) || cinfo.output_width > 65535 ||
        cinfo.output_height > 65535 ||
        !AllocateImage(image, cinfo.output_width, cinfo.output_height)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    JSAMPARRAY cmykRow = cmyk ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                           JPOOL_IMAGE, cinfo.output_width * 4, 1)
                              : nullptr;
    while (cinfo.output_scanline < cinfo.output_height) {
        unsigned char* line = ScanLine(image, cinfo.output_scanline);
        JSAMPROW row = cmyk ? cmykRow[0] : line;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
        if (cmyk) CmykToRgb(row, line, cinfo.output_width, cinfo.saw_Adobe_marker);
    }
    const bool complete = cinfo.output_scanline == cinfo.output_height;
    if (complete) jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return complete;
}

}  // namespace

QImage DecodeJpegFile(const QString& path, QSize wanted) {
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file) return QImage();
    QImage image;
    const bool ok = Decompress(file, wanted, &image);
    std::fclose(file);
    return ok ? image : QImage();
}

}  // namespace TVostrin
