// The one bound on the memory of a picture drawn on a page, whatever its file claims: no picture
// is made whose image would take more than kPictureCapBytes at four bytes a pixel. The JPEG
// decoder, the bitmap reader and the pie chart's bitmap all keep to it.
#pragma once

#include <QSize>
#include <QtGlobal>
#include <new>
#include <utility>

namespace TVostrin {

inline constexpr qint64 kPictureCapBytes = qint64(256) << 20;
// The most pixels a side of a picture has (what a JPEG file can hold, and more dots than an A0
// sheet has at 1200 dpi): the work of making a picture keeps a few numbers for each column.
inline constexpr qint64 kMaxPictureSide = 65535;

// Whether an image of width x height pixels stays within the cap (false for an empty size).
bool WithinPictureCap(qint64 width, qint64 height);

// The size a picture of width x height pixels is made at for a box of box pixels: no wider or
// taller than the box (any size when box is not valid), than the picture itself or than
// kMaxPictureSide, and made smaller on both sides alike until it keeps to the cap. An empty size
// for an empty picture.
QSize FittedSize(qint64 width, qint64 height, QSize box);

// Runs draw(), which makes a picture and draws it: a picture the memory cannot hold marks the
// element refused, and any other failure leaves the page to the other elements.
template <class Draw>
void DrawWithinCap(bool& refused, Draw&& draw) {
    try {
        std::forward<Draw>(draw)();
    } catch (const std::bad_alloc&) {
        refused = true;
    } catch (...) {
        // A failing element leaves the page to the others.
    }
}

}  // namespace TVostrin
