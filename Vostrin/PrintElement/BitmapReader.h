// Windows bitmap files read straight into the size they are drawn at. The file is read once,
// front to back, and its pixels go to a TPictureScaler as they come, so memory stays that of the
// output and time that of the file's bytes, whatever size the file claims: a run-length file of
// a thousand bytes claiming 8192 x 8192 pixels costs what its bytes and its box cost.
//
// Read: the info headers of 12 (OS/2 1.x), 40, 64 (OS/2 2.x), 108 and 124 bytes; 1, 4, 8, 16, 24
// and 32 bits a pixel, uncompressed, run-length (RLE8, RLE4) and with bit fields (16 and 32
// bits; the alpha mask of a 108- or 124-byte header gives transparency); rows bottom-up, or
// top-down when the height is negative (uncompressed only). Pixels the file does not give (the
// gaps a run-length file skips, the rest of a file that ends early) read as zero bytes: the
// first palette colour, or black; palette indexes beyond the palette read as black.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace TVostrin {

// The bitmap file at path at FittedSize of its size in box (its own size, within the picture
// cap, when box is not valid). A null image when it is no bitmap this reads, has no pixel data,
// or its output cannot be had; *refused (when given) then tells whether it was for want of
// memory.
QImage ReadBitmapFile(const QString& path, QSize box = QSize(), bool* refused = nullptr);

}  // namespace TVostrin
