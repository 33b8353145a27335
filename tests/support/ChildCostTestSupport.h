// For the tests that check that some work costs memory and time in proportion to its input: the
// work runs in a child process, which reports how far its peak resident memory rose above what
// it had at the start and the processor time it took. The child inherits the test's state; it
// reports and ends without running any exit handler of the test program.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>

namespace testcost {

struct ChildCost {
    bool ran = false;  // the child reported
    int result = 0;    // what the work answered
    double peakMb = 0;
    double cpuMs = 0;
};

// Runs work() (answering an int) `runs` times in a child process and reports its cost: the
// least processor time of a run (the figure least disturbed by the machine and by memory
// touched for the first time) and the peak memory of all runs.
template <class Work>
ChildCost CostInChild(Work work, int runs = 2) {
    int fds[2];
    ChildCost cost;
    if (pipe(fds) != 0) return cost;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        ChildCost measured;
        for (int run = 0; run < runs; ++run) {
            timespec start{};
            clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
            measured.result = work();
            timespec end{};
            clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
            const double ms = static_cast<double>(end.tv_sec - start.tv_sec) * 1000.0 +
                              static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e6;
            if (run == 0 || ms < measured.cpuMs) measured.cpuMs = ms;
        }
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        measured.ran = true;
        measured.peakMb = static_cast<double>(after.ru_maxrss - before.ru_maxrss) / 1024.0;
        const ssize_t written = write(fds[1], &measured, sizeof measured);
        _exit(written == sizeof measured ? 0 : 1);
    }
    close(fds[1]);
    if (pid > 0) {
        ChildCost got;
        if (read(fds[0], &got, sizeof got) == sizeof got) cost = got;
        int status = 0;
        waitpid(pid, &status, 0);
    }
    close(fds[0]);
    return cost;
}

}  // namespace testcost
