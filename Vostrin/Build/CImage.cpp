#include "CImage.h"

namespace TVostrin {

int CImage::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    return AppendCopy(parent);
}

}  // namespace TVostrin
