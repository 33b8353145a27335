// The database file as other processes see it: the engine's locks on it, and a copy over it
// that holds those locks from the look at the file to the end of the copy.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <vector>

#include "Database.h"

namespace tw::db {
namespace {

// The engine locks bytes from 2^30 on: the pending byte, the reserved byte and the shared
// range, 512 bytes in all. A write lock over them conflicts with any lock held there; a read
// lock with every lock a connection needs to write, and so with the exclusive open.
struct flock EngineLocks(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0x40000000;
    lock.l_len = 512;
    return lock;
}

// A file descriptor closed when it goes out of scope. Closing it drops every lock this process
// holds on the file.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes it now; false when the close reports an error (for a file written, its data may
    // not have reached the disk).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Copies everything the source gives to the target; false on a failed read or write.
bool CopyBytes(int source, int target) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(source, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!WriteAll(target, buffer.data(), static_cast<size_t>(n))) return false;
    }
}

// A new file beside `path` for the copy, made with the permissions a new file gets; -1 when
// none can be made. Its name is returned in `name`.
int NewFileBeside(const QByteArray& path, QByteArray* name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name =
            path + "." + QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".tmp";
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The file opened to be locked: for writing where this process may write it (a write lock
// needs that), else for reading; -1 when it cannot be opened.
int OpenToLock(const QByteArray& path, bool* writable) {
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    *writable = fd >= 0;
    return fd >= 0 ? fd : ::open(path.constData(), O_RDONLY | O_CLOEXEC);
}

// Asks the system to keep the folder's entries (a rename in it) on the disk; best effort.
void SyncFolderOf(const QByteArray& path) {
    const int fd =
        ::open(QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath()).constData(),
               O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool Database::IsLockedByAnotherProcess(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct flock lock = EngineLocks(F_WRLCK);
    const bool held = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

Database::CopyResult Database::CopyFileOver(const QString& from, const QString& to) {
    // A link is followed: the file it names is the one replaced.
    const QFileInfo toInfo(to);
    const QByteArray target =
        QFile::encodeName(toInfo.isSymLink() ? toInfo.symLinkTarget() : toInfo.filePath());
    const QByteArray source = QFile::encodeName(from);

    // The file there now is locked as a connection locks it before anything is written, and
    // stays locked until the copy has taken its name: a process that holds it refuses the copy
    // here, and one that comes to open it meanwhile is refused, so no one works on a file that
    // the copy then replaces. (The lock is this process's: a connection of this process to the
    // file would lose its own locks when the lock is let go.)
    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) return CopyResult::Failed;
    bool writable = false;
    Descriptor held(exists ? OpenToLock(target, &writable) : -1);
    if (exists) {
        if (held.get() < 0) return CopyResult::Failed;
        struct flock lock = EngineLocks(writable ? F_WRLCK : F_RDLCK);
        if (::fcntl(held.get(), F_SETLK, &lock) != 0)
            return errno == EAGAIN || errno == EACCES ? CopyResult::TargetInUse
                                                      : CopyResult::Failed;
    }

    Descriptor in(::open(source.constData(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) return CopyResult::Failed;
    struct stat sourceStat {};
    // A file copied onto itself would be gone.
    if (::fstat(in.get(), &sourceStat) != 0 ||
        (exists && sourceStat.st_dev == existing.st_dev && sourceStat.st_ino == existing.st_ino))
        return CopyResult::Failed;

    QByteArray temporary;
    Descriptor out(NewFileBeside(target, &temporary));
    if (out.get() < 0) return CopyResult::Failed;
    const bool written = CopyBytes(in.get(), out.get()) &&
                         (!exists || ::fchmod(out.get(), existing.st_mode & 07777) == 0) &&
                         ::fsync(out.get()) == 0 && out.Close();
    if (!written) {
        out.Close();
        ::unlink(temporary.constData());
        return CopyResult::Failed;
    }
    // A journal left beside the file by a program that ended in the middle of a change belongs
    // to the file replaced: the engine would play it back into the copy.
    const QByteArray journal = target + "-journal";
    if ((::unlink(journal.constData()) != 0 && errno != ENOENT) ||
        ::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        return CopyResult::Failed;
    }
    SyncFolderOf(target);
    return CopyResult::Copied;
}

}  // namespace tw::db
