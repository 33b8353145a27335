// A program installed where its user may not write: the program folder is made read-only and,
// when the tests run as root (who may write anywhere), the process becomes the unprivileged
// user "nobody". Meant for the child process of a death test, which exits afterwards.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdlib>

namespace readonlyinstall {

// While it lives, temporary folders (those of a death test's child process, which runs the
// test program anew and cannot clean up after giving up its rights) are made inside one folder
// that this process removes at the end.
class ChildTemporaryFolders {
  public:
    ChildTemporaryFolders() : old_(qgetenv("TMPDIR")) {
        ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);  // the user passes through
        qputenv("TMPDIR", QFile::encodeName(dir_.path()));
    }
    ~ChildTemporaryFolders() {
        if (old_.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", old_);
        MakeWritable(dir_.path());
    }
    ChildTemporaryFolders(const ChildTemporaryFolders&) = delete;
    ChildTemporaryFolders& operator=(const ChildTemporaryFolders&) = delete;

  private:
    // A user who is not root must give back the write right to remove what lies below.
    static void MakeWritable(const QString& folder) {
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        for (const QString& sub : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            MakeWritable(folder + "/" + sub);
    }
    QTemporaryDir dir_;
    QByteArray old_;
};

inline constexpr uid_t kNobody = 65534;

// Makes folder (and the folders given in writable, which the user keeps writing) ready and
// drops the rights; cacheHome becomes $XDG_CACHE_HOME. False when that fails.
inline bool BecomeUserWithoutWriteAccess(const QString& programFolder, const QString& cacheHome,
                                         const QStringList& writable = {}) {
    if (::chmod(QFile::encodeName(programFolder).constData(), 0555) != 0) return false;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome));
    if (::geteuid() != 0) return true;
    QStringList folders = writable;
    folders << cacheHome;
    for (const QString& f : folders) {
        if (::chown(QFile::encodeName(f).constData(), kNobody, kNobody) != 0) return false;
    }
    return ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

// Runs body(cacheHome, locked) in a child process (a death test) that has made programFolder
// ready and given up its rights as BecomeUserWithoutWriteAccess does, with a fresh cache home
// and a folder `locked` the user cannot write. The test fails when the child cannot give up its
// rights or body fails.
template <class Body>
void RunAsUserWithoutWriteAccess(const QString& programFolder, const QStringList& writable,
                                 Body&& body) {
    ChildTemporaryFolders temporary;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QTemporaryDir cache;
            QTemporaryDir locked;  // stays root's (or, run by a user, read-only)
            ASSERT_EQ(::chmod(QFile::encodeName(locked.path()).constData(), 0555), 0);
            ASSERT_TRUE(BecomeUserWithoutWriteAccess(programFolder, cache.path(), writable));
            body(cache.path(), locked.path());
            std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace readonlyinstall
