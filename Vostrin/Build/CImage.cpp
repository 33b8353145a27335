#include "CImage.h"

namespace TVostrin {

int CImage::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    AppendCopy(parent);
    return kBuildDone;
}

}  // namespace TVostrin
