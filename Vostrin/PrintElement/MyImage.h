// A picture file stretched into a box ("image" elements): "x", "y", "width", "height" and the
// path in "value" (or the text content). Windows bitmaps (".bmp") and JPEG files (".jpg") are
// drawn; other files, and files that are missing or cannot be decoded, draw nothing. A picture
// is made at the size of its box in printer dots (or its own size, if smaller); one that the
// picture cap refuses is left out and marked Refused.
#pragma once

#include <QString>
#include <string>

#include "PrintElement/PrintElement.h"

namespace TVostrin {

// The file a picture path of the layout (GBK bytes) names: a relative path is taken from the
// program folder. A path holding a ":" (a drive) or starting with "/" is used as it stands;
// "\" separators become "/".
QString PicturePath(const std::string& gbkPath);

class TMyImage : public TPrintElement {
  public:
    using TPrintElement::TPrintElement;
    // Draws the picture; always true.
    bool Print(TCanvas* canvas) override;
};

}  // namespace TVostrin
