#include "CText.h"

namespace TVostrin {

int CText::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    AppendCopy(parent);
    return kBuildDone;
}

}  // namespace TVostrin
