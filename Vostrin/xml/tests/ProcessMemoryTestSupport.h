// What the test process holds of memory and address space, for the tests of what trees cost.
#pragma once

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

namespace xmltest {

// The resident bytes of the process once the C library gave back its free heap memory, so that
// what is left is what the program holds.
inline long HeldBytes() {
    malloc_trim(0);
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// Caps the process's address space at what it maps now (once the C library gave back its free
// heap memory, which the node storage could otherwise reuse) and extraBytes more.
inline void CapAddressSpace(long extraBytes) {
    malloc_trim(0);
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit cap{};
    cap.rlim_cur = cap.rlim_max = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE) + extraBytes);
    setrlimit(RLIMIT_AS, &cap);
}

}  // namespace xmltest
