#include "PrintElement/PrnDoc.h"

namespace TVostrin {

bool TPrnDoc::Print(TCanvas*) {
    return false;
}

}  // namespace TVostrin
