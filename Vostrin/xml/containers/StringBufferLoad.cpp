// Loading a whole file into a StringBuffer; UTF-16LE files (FF FE) arrive as UTF-8.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "CharsetConvert.h"
#include "LogBase.h"
#include "StringBuffer.h"

namespace velmarq {

namespace {

void LogSystemError(LogBase* log, int error, const char* path, const char* message) {
    if (!log) return;
    StringBuffer text;
    text.AppendSystemMessage(error);
    if (!text.IsEmpty()) log->LogError(text.Data());
    log->LogData("filename", path);
    log->LogError(message);
}

}  // namespace

bool StringBuffer::LoadFile(const char* path, bool stripControlChars, LogBase* log) {
    if (!path || !*path) {
        if (log) log->LogError("filename is missing");
        return false;
    }
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        LogSystemError(log, errno, path, "Failed to open file");
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        LogSystemError(log, errno, path, "Failed to get file size");
        ::close(fd);
        return false;
    }
    if (st.st_size == 0) {
        ::close(fd);
        return true;
    }
    // The buffer counts in int: anything of 2 GiB or more (with what it holds) is refused.
    if (st.st_size < 0 || st.st_size >= static_cast<off_t>(INT_MAX) - length_ - step_ - 2) {
        if (log) {
            log->LogData("filename", path);
            log->LogError("File is too large");
        }
        ::close(fd);
        return false;
    }
    const int size = static_cast<int>(st.st_size);
    Reserve(size + 1);
    int got = 0;
    while (got < size) {
        ssize_t r = ::read(fd, buf_ + length_ + got, static_cast<size_t>(size - got));
        if (r < 0) {
            if (errno == EINTR) continue;
            int error = errno;
            buf_[length_] = 0;
            LogSystemError(log, error, path, "Failed to read data from file");
            ::close(fd);
            return false;
        }
        if (r == 0) break;
        got += static_cast<int>(r);
    }
    ::close(fd);
    if (got < size) {
        buf_[length_] = 0;
        if (log) {
            log->LogData("filesize", IntToText(size));
            log->LogData("bytes_received", IntToText(got));
            log->LogData("filename", path);
            log->LogError("Failed to read the entire file");
        }
        return false;
    }
    SetLengthUnchecked(length_ + size);

    // UTF-8 takes at most three bytes for two of UTF-16, so the result must fit the int range.
    if (length_ >= 2 && CharAt(0) == 0xFF && CharAt(1) == 0xFE && length_ <= INT_MAX / 2) {
        CharsetConvert convert(log);
        convert.SetToCharset("utf-8", log);
        DataBuffer out;
        if (convert.Convert(reinterpret_cast<const unsigned char*>(buf_), length_, out, log)) {
            SetBytes(reinterpret_cast<const char*>(out.Data()), out.Size());
        }
        return true;
    }
    if (stripControlChars) StripControlChars();
    return true;
}

}  // namespace velmarq
