// JPEG files decoded with libjpeg. A damaged or unsupported file gives a null image; the
// decoder's errors end the decoding, never the process, and its warnings are not printed.
// Memory and time stay bounded whatever the file holds: the picture is decoded at the smallest
// of libjpeg's scales (1/8 to 8/8) that still covers the size it is drawn at, or at the largest
// that keeps to the picture cap (PictureCap.h), and its rows are averaged down to that size as
// they come (PictureScaler.h), so only the output is held. A picture beyond the cap even at 1/8
// is refused, as is a file whose decoding needs more memory than the cap or that has more scans
// than any real encoder writes. A one-scan file whose data ends early costs its data and its
// box, not the size it claims.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace TVostrin {

// The picture of the JPEG file at path at FittedSize of its size in wanted (its own size, within
// the cap, for an invalid wanted); a null image when it cannot be read or decoded, or passes the
// limits above. *refused (when given) tells whether a null image was for the limits or for want
// of memory.
QImage DecodeJpegFile(const QString& path, QSize wanted = QSize(), bool* refused = nullptr);

}  // namespace TVostrin
