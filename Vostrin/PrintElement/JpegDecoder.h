// JPEG files decoded with libjpeg. A damaged or unsupported file gives a null image; the
// decoder's errors end the decoding, never the process, and its warnings are not printed.
#pragma once

#include <QImage>
#include <QString>

namespace TVostrin {

// The picture of the JPEG file at path; a null image when it cannot be read or decoded.
QImage DecodeJpegFile(const QString& path);

}  // namespace TVostrin
