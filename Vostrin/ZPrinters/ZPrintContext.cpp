#include "ZPrinters/ZPrintContext.h"

namespace Zprinters {

bool TZPrintContext::EnumFontFamilies(QStringList&) const {
    return false;
}
int TZPrintContext::StartDoc(const QString&, const QString&) {
    return 0;
}
int TZPrintContext::StartPage() {
    return 0;
}
int TZPrintContext::EndPage() {
    return 0;
}
int TZPrintContext::EndDoc() {
    return 0;
}
int TZPrintContext::AbortDoc() {
    return 0;
}
bool TZPrintContext::ResetDC(const TZDevMode&) {
    return false;
}
QPainter* TZPrintContext::Painter() {
    return nullptr;
}

bool TZPrintContext::QueryAbortProc() {
    return abortProc_ ? abortProc_(this, 0) : true;
}

}  // namespace Zprinters
