#include "PrintElement/JpegDecoder.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

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

// Gives the decoded image its size; false when the memory cannot be had.
bool AllocateImage(QImage* image, JDIMENSION width, JDIMENSION height) {
    *image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
    return !image->isNull();
}

unsigned char* ScanLine(QImage* image, JDIMENSION row) {
    return image->scanLine(static_cast<int>(row));
}

// Decodes the open file into *image. Only plain C objects live in this frame, so the jump
// back from a fatal decoder error skips no destructor; the image is owned by the caller.
bool Decompress(std::FILE* file, QImage* image) {
    jpeg_decompress_struct cinfo{};
    TJpegErrors errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnFatalError;
    errors.pub.output_message = OnMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);  // nothing to free when the creation itself failed
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3 || cinfo.output_width > 65535 || cinfo.output_height > 65535 ||
        !AllocateImage(image, cinfo.output_width, cinfo.output_height)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = ScanLine(image, cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
    }
    const bool complete = cinfo.output_scanline == cinfo.output_height;
    if (complete) jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return complete;
}

}  // namespace

QImage DecodeJpegFile(const QString& path) {
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file) return QImage();
    QImage image;
    const bool ok = Decompress(file, &image);
    std::fclose(file);
    return ok ? image : QImage();
}

}  // namespace TVostrin
