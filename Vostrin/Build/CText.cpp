#include "CText.h"

namespace TVostrin {

int CText::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    return AppendCopy(parent);
}

}  // namespace TVostrin
