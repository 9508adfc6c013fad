// The POSIX side of private files: lstat to judge the folder, mkstemp and rename to replace.
#include "platform/privatefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vimbrel {

namespace PrivateFile {

namespace {

mode_t modeOf(Access access)
{
    switch (access) {
    case Access::OwnerOnly:
        return 0600;
    case Access::Readable:
        return 0644;
    case Access::Runnable:
        return 0755;
    }
    return 0600;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

} // namespace

bool makePrivateFolder(const QString &dir)
{
    if (dir.isEmpty())
        return false;
    if (!QFileInfo(dir).isDir() && !QDir().mkpath(dir))
        return false;
    const QByteArray name = QFile::encodeName(dir);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    return (st.st_mode & 077) == 0 || ::chmod(name.constData(), 0700) == 0;
}

namespace {

enum class InPlace {
    Rewritten,
    Declined, // not ours, or no room for the new bytes: the file is as it was
    Failed,   // the write broke off after it began: the file is emptied
};

// Rewrites the file in place when it is the one this program left there: a regular file of
// this user's, with no other name and no wider permissions than asked for. Nobody else can
// then hold it open for writing or reach it by another path, and an in-place rewrite is far
// cheaper than a new file (freeing the old one's blocks costs about a millisecond on ext4).
// Anything else (missing, a link, a pipe, someone else's, a hard link) is left to the caller.
// A file that grows gets its room first, so a full disk declines before a byte is changed.
InPlace rewriteOwnFile(const QByteArray &target, const QByteArray &bytes, mode_t mode)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return InPlace::Declined;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
        st.st_nlink != 1 || (st.st_mode & 0777) != mode) {
        ::close(fd);
        return InPlace::Declined;
    }
    if (bytes.size() > st.st_size && ::posix_fallocate(fd, 0, off_t(bytes.size())) != 0) {
        // What a reservation cut short added lies beyond the old end.
        const bool restored = ::ftruncate(fd, st.st_size) == 0;
        ::close(fd);
        return restored ? InPlace::Declined : InPlace::Failed;
    }
    bool ok = writeAll(fd, bytes) && ::ftruncate(fd, off_t(bytes.size())) == 0;
    if (!ok) {
        // The old bytes are partly overwritten: an empty file rather than a page cut short
        // that would pass for a whole one.
        (void)::ftruncate(fd, 0);
    }
    ok = ::close(fd) == 0 && ok;
    return ok ? InPlace::Rewritten : InPlace::Failed;
}

} // namespace

bool replace(const QString &filePath, const QByteArray &bytes, Access access)
{
    if (filePath.isEmpty())
        return false;
    const QByteArray target = QFile::encodeName(filePath);
    if (rewriteOwnFile(target, bytes, modeOf(access)) == InPlace::Rewritten)
        return true;
    // Hidden and beside the target, so the rename stays inside one file system.
    const QFileInfo info(filePath);
    QByteArray temp =
        QFile::encodeName(info.path() + QStringLiteral("/.") + info.fileName()) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data()); // O_EXCL, mode 0600: a fresh file of our own
    if (fd < 0)
        return false;
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    bool ok = writeAll(fd, bytes) && ::fchmod(fd, modeOf(access)) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.constData(), target.constData()) == 0;
    if (!ok)
        ::unlink(temp.constData());
    return ok;
}

bool remove(const QString &filePath)
{
    return !filePath.isEmpty() && ::unlink(QFile::encodeName(filePath).constData()) == 0;
}

} // namespace PrivateFile

} // namespace vimbrel
