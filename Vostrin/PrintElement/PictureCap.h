// The one bound on the memory of a picture drawn on a page, whatever its file claims: a picture
// whose image would take more than kPictureCapBytes at four bytes a pixel (the way Qt's image
// reader counts a 32-bit image) is not drawn. The JPEG decoder, the bitmap reader and the pie
// chart's bitmap all keep to it.
#pragma once

#include <QImage>
#include <QString>

namespace TVostrin {

inline constexpr qint64 kPictureCapBytes = qint64(256) << 20;

// Whether an image of width x height pixels stays within the cap (false for an empty size).
bool WithinPictureCap(qint64 width, qint64 height);

// The Windows bitmap file at path; a null image when it cannot be read as one or its size
// passes the cap. The size is read from the file's header before any pixel memory is taken.
QImage ReadBitmapFile(const QString& path);

}  // namespace TVostrin
