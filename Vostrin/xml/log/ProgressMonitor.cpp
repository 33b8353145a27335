#include "ProgressMonitor.h"

namespace velmarq {

unsigned ProgressMonitor::PercentOf(unsigned current, unsigned total) {
    if (total == 0) return 100;
    while (total > 1000000u) {
        total /= 10;
        current /= 10;
    }
    if (total == 0) return 100;
    return static_cast<unsigned>(static_cast<unsigned long long>(current) * 100u / total);
}

void ProgressMonitor::Start(unsigned total) {
    total_ = total;
    current_ = 0;
}

void ProgressMonitor::MoveTo(unsigned pos, bool* flag) {
    unsigned before = Percent();
    current_ = pos > total_ ? total_ : pos;
    unsigned after = Percent();
    if (callback_ && after > before) callback_->Progress(value1_, value2_, after, flag);
}

void ProgressMonitor::Advance(unsigned n, bool* flag) {
    unsigned long long pos = static_cast<unsigned long long>(current_) + n;
    MoveTo(pos > total_ ? total_ : static_cast<unsigned>(pos), flag);
}

void ProgressMonitor::SetPosition(unsigned pos, bool* flag) {
    MoveTo(pos, flag);
}

void ProgressMonitor::Finish(bool* flag) {
    if (current_ != total_) Advance(total_ - current_, flag);
}

}  // namespace velmarq
