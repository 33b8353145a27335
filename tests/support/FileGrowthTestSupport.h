// A disk that takes no more bytes: while a NoFileGrowth lives, every write this process makes
// beyond the start of a file fails (the file-size limit of the process is 0, and the signal
// such a write raises is ignored, so the write fails with EFBIG), as writes fail on a disk that
// has no room left. The limit and the signal's handling come back when it ends.
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace twtest {

class NoFileGrowth {
  public:
    NoFileGrowth() {
        ::getrlimit(RLIMIT_FSIZE, &before_);
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = before_;
        none.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NoFileGrowth() {
        ::setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    NoFileGrowth(const NoFileGrowth&) = delete;
    NoFileGrowth& operator=(const NoFileGrowth&) = delete;

  private:
    rlimit before_{};
    void (*oldSignal_)(int) = nullptr;
};

}  // namespace twtest
