#include "CLineCode.h"

#include <exception>

#include "TreeUtils.h"

namespace TVostrin {

int CLineCode::Build(TXml* /*data*/, int* /*cursor*/, TXml* parent) {
    try {
        XmlPtr copy(CopyTree(Node()));
        return Append(parent, copy.get());
    } catch (const std::exception&) {
        return kBuildFailed;
    }
}

}  // namespace TVostrin
