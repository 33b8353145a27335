#include "ErrorLog.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace TVostrin {

void AppendErrorLog(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "ab");
    if (f == nullptr) return;
    const auto now = std::chrono::system_clock::now();
    const std::time_t secs = std::chrono::system_clock::to_time_t(now);
    const long millis = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000);
    std::tm local{};
    localtime_r(&secs, &local);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d(%03ld): ", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  millis);
    std::fputs(stamp, f);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fputs("\r\n", f);
    std::fclose(f);
}

std::string ProgramFolder() {
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string path(buf, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

}  // namespace TVostrin
