#include "CPrnDoc.h"

namespace TVostrin {

int CPrnDoc::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    return AppendCopy(parent);
}

}  // namespace TVostrin
