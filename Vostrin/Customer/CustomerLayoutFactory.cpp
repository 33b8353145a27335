#include "Customer/CustomerLayoutFactory.h"

#include "Customer/CGeneral.h"
#include "Customer/CMorrow.h"
#include "Customer/CMorrowEnvelope.h"
#include "Customer/CPellis.h"
#include "Customer/CQuenta.h"
#include "Customer/TextFileFormat.h"

namespace TVostrin {

std::unique_ptr<CBuildCustomerElement> CreateCustomerElement(const std::string& iniFile) {
    return CreateCustomerElementOfType(
        ReadFormatInt(iniFile, kKeyCustomerSepType, kLayoutConfigurable));
}

std::unique_ptr<CBuildCustomerElement> CreateCustomerElementOfType(int sepType) {
    // Each layout class adds its case here, e.g.
    //   case kLayoutConfigurable: return std::make_unique<CGeneral>();
    switch (sepType) {
        case kLayoutReportPages:
            return std::make_unique<CQuenta>();
        case kLayoutMailing:
            return std::make_unique<CMorrow>();
        case kLayoutEnvelope:
            return std::make_unique<CMorrowEnvelope>();
        case kLayoutNumberedFields:
            return std::make_unique<CPellis>();
        case kLayoutConfigurable:
            return std::make_unique<CGeneral>();
        default:
            return std::make_unique<CBuildCustomerElement>();
    }
}

}  // namespace TVostrin
