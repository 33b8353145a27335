#include "CPrnDoc.h"

namespace TVostrin {

int CPrnDoc::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    AppendCopy(parent);
    return kBuildDone;
}

}  // namespace TVostrin
