// For the tests that check that some work takes bounded time: the processor time of the calling
// thread, which does not grow while other programs keep the machine busy, and how much slower
// the build under test runs than an optimised one.
#pragma once

#include <malloc.h>

#include <climits>
#include <ctime>

namespace testtiming {

inline double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Unoptimised and sanitizer builds run several times slower: bounds are multiplied by this.
#if defined(__SANITIZE_ADDRESS__) || !defined(__OPTIMIZE__)
inline constexpr double kSlowdown = 10;
#else
inline constexpr double kSlowdown = 1;
#endif

// The least processor time, in milliseconds, that work() took in `runs` runs: the figure least
// disturbed by the machine. Tests that the time grows linearly compare the figures for an input
// and one twice as large. The C library is told to keep freed memory, so that a run does not
// fault in again what the one before gave back: under a virtual machine a page fault can cost
// more than the work done on the page, and whether a size still fits the kept memory would
// decide the figure.
template <class Work>
double BestCpuMs(Work work, int runs = 3) {
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    mallopt(M_MMAP_THRESHOLD, INT_MAX);
    double best = 0;
    for (int i = 0; i < runs; ++i) {
        const double start = ThreadCpuMs();
        work();
        const double ms = ThreadCpuMs() - start;
        if (i == 0 || ms < best) best = ms;
    }
    return best;
}

}  // namespace testtiming
