#include "Customer/CBuildCustomerElement.h"

namespace TVostrin {

int CBuildCustomerElement::Build(const std::string&, int*, const std::string&, int, TXml*) {
    return 0;
}

}  // namespace TVostrin
