#include "PrintElement/PictureCap.h"

#include <algorithm>
#include <cmath>

namespace TVostrin {

bool WithinPictureCap(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width <= kPictureCapBytes / 4 / height;
}

QSize FittedSize(qint64 width, qint64 height, QSize box) {
    if (width <= 0 || height <= 0) return QSize();
    if (box.isValid()) {
        width = std::min<qint64>(width, std::max(1, box.width()));
        height = std::min<qint64>(height, std::max(1, box.height()));
    }
    width = std::min(width, kMaxPictureSide);
    height = std::min(height, kMaxPictureSide);
    if (!WithinPictureCap(width, height)) {
        const double shrink = std::sqrt(static_cast<double>(kPictureCapBytes) / 4 /
                                        (static_cast<double>(width) * static_cast<double>(height)));
        width = std::max<qint64>(1, static_cast<qint64>(static_cast<double>(width) * shrink));
        height = std::max<qint64>(1, static_cast<qint64>(static_cast<double>(height) * shrink));
        // Rounding, or a side held at one pixel, may leave it over.
        const qint64 pixels = kPictureCapBytes / 4;
        if (!WithinPictureCap(width, height)) {
            if (width >= height)
                width = pixels / height;
            else
                height = pixels / width;
        }
    }
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

}  // namespace TVostrin
