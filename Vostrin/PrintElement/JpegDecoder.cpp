#include "PrintElement/JpegDecoder.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <optional>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
// The codes of the decoder's messages.
#include <jerror.h>

#include "PrintElement/PictureCap.h"
#include "PrintElement/PictureScaler.h"

namespace TVostrin {

namespace {

// The decoder's error manager with the place to jump back to on a fatal error.
struct TJpegErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool tooManyScans = false;
    // Whether the decoding ended for what it would cost rather than for a fault in the file.
    bool Refused() const {
        return tooManyScans || pub.msg_code == JERR_NO_BACKING_STORE ||
               pub.msg_code == JERR_OUT_OF_MEMORY;
    }
};

[[noreturn]] void OnFatalError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<TJpegErrors*>(cinfo->err)->jump, 1);
}

void OnMessage(j_common_ptr) {}

// Progressive files with more scans than this are refused: each scan walks the whole picture
// again, and the files of real encoders have a few dozen at most.
constexpr int kMaxScans = 100;

void OnProgress(j_common_ptr cinfo) {
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        reinterpret_cast<TJpegErrors*>(cinfo->err)->tooManyScans = true;
        OnFatalError(cinfo);
    }
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

// Output rows of one iMCU row of the decoder: the rows it makes from one row of blocks.
JDIMENSION ImcuRows(const jpeg_decompress_struct& cinfo) {
#if JPEG_LIB_VERSION >= 70
    return static_cast<JDIMENSION>(cinfo.max_v_samp_factor * cinfo.min_DCT_v_scaled_size);
#else
    return static_cast<JDIMENSION>(cinfo.max_v_samp_factor * cinfo.min_DCT_scaled_size);
#endif
}

// Once a one-scan file's data has ended (the decoder has met its end marker), the decoder makes
// every block after it from nothing, all alike. The bits it still held and the smoothing of
// colour rows across block rows reach this many rows of blocks further (a grey picture one block
// wide may still hold 32 blocks in 64 bits); every output row after them is the same.
constexpr JDIMENSION kSettlingImcuRows = 40;

// One row of samples as pixels. CMYK: Adobe's files (and every YCCK file) store the inks
// inverted, 255 meaning no ink; plain CMYK files store the inks themselves.
void ToPixels(const JSAMPLE* samples, QRgb* pixels, JDIMENSION width, bool cmyk, bool inverted) {
    if (!cmyk) {
        for (JDIMENSION x = 0; x < width; ++x, samples += 3)
            pixels[x] = qRgb(samples[0], samples[1], samples[2]);
        return;
    }
    for (JDIMENSION x = 0; x < width; ++x, samples += 4) {
        const int k = inverted ? samples[3] : 255 - samples[3];
        int rgb[3];
        for (int c = 0; c < 3; ++c) {
            const int paper = inverted ? samples[c] : 255 - samples[c];
            rgb[c] = (paper * k + 127) / 255;
        }
        pixels[x] = qRgb(rgb[0], rgb[1], rgb[2]);
    }
}

// What the decoding makes: the picture at the size it is drawn at, and one row of pixels. It
// lives in the caller's frame, as the jump back from a fatal decoder error must skip no
// destructor.
struct TDecoded {
    std::optional<TPictureScaler> scaler;
    std::vector<QRgb> row;
};

// Decodes the open file into out; *refused tells whether a failure was for the limits or for
// want of memory. Only plain C objects live in this frame; the sample row belongs to the
// decoder, which frees it.
bool Decompress(std::FILE* file, QSize wanted, TDecoded* out, bool* refused) {
    jpeg_decompress_struct cinfo{};
    TJpegErrors errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnFatalError;
    errors.pub.output_message = OnMessage;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = OnProgress;
    if (setjmp(errors.jump)) {
        *refused = errors.Refused();
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
    // A scan far larger than its box is decoded at a fraction of its size; the cap bounds the
    // pixels decoded, and so the time.
    if (!ChooseScale(&cinfo, wanted)) {
        *refused = true;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    const JDIMENSION width = cinfo.output_width;
    const JDIMENSION height = cinfo.output_height;
    if (cinfo.output_components != (cmyk ? 4 : 3) || width > 65535 || height > 65535) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    try {
        out->scaler.emplace(width, height, FittedSize(width, height, wanted), qRgb(0, 0, 0), false);
        out->row.resize(width);
    } catch (const std::bad_alloc&) {
        out->scaler.reset();
    }
    if (!out->scaler || !out->scaler->Ok()) {
        *refused = true;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    JSAMPARRAY samples = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                    JPOOL_IMAGE, width * (cmyk ? 4 : 3), 1);
    const bool oneScan = !jpeg_has_multiple_scans(&cinfo);
    quint64 sameFrom = height;  // the first row after which all rows are alike
    while (cinfo.output_scanline < height) {
        const JDIMENSION y = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, samples, 1) != 1) break;
        ToPixels(samples[0], out->row.data(), width, cmyk, cinfo.saw_Adobe_marker);
        if (oneScan && sameFrom == height && cinfo.unread_marker == JPEG_EOI)
            sameFrom = quint64(y) + 1 + quint64(kSettlingImcuRows) * ImcuRows(cinfo);
        if (y >= sameFrom) {
            // The rest of a file whose data ended costs the output's rows, not the picture's.
            out->scaler->AddRows(y, height, out->row.data(), width);
            jpeg_abort_decompress(&cinfo);
            jpeg_destroy_decompress(&cinfo);
            return true;
        }
        out->scaler->AddPixels(y, 0, out->row.data(), width);
    }
    const bool complete = cinfo.output_scanline == height;
    if (complete) jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return complete;
}

}  // namespace

QImage DecodeJpegFile(const QString& path, QSize wanted, bool* refused) {
    if (refused) *refused = false;
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file) return QImage();
    TDecoded decoded;
    bool costly = false;
    const bool ok = Decompress(file, wanted, &decoded, &costly);
    std::fclose(file);
    if (refused) *refused = !ok && costly;
    return ok && decoded.scaler ? decoded.scaler->Finish() : QImage();
}

}  // namespace TVostrin
