#include "search/localpicture.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vimbrel {

namespace {

QFileDevice::Permissions permissionsOf(mode_t mode)
{
    QFileDevice::Permissions p;
    const std::pair<mode_t, QFileDevice::Permission> bits[] = {
        {S_IRUSR, QFileDevice::ReadOwner},  {S_IWUSR, QFileDevice::WriteOwner},
        {S_IXUSR, QFileDevice::ExeOwner},   {S_IRGRP, QFileDevice::ReadGroup},
        {S_IWGRP, QFileDevice::WriteGroup}, {S_IXGRP, QFileDevice::ExeGroup},
        {S_IROTH, QFileDevice::ReadOther},  {S_IWOTH, QFileDevice::WriteOther},
        {S_IXOTH, QFileDevice::ExeOther}};
    for (const auto &[bit, permission] : bits) {
        if (mode & bit)
            p |= permission;
    }
    // Qt reports the owner's rights twice, as "user" and as "owner".
    if (mode & S_IRUSR)
        p |= QFileDevice::ReadUser;
    if (mode & S_IWUSR)
        p |= QFileDevice::WriteUser;
    if (mode & S_IXUSR)
        p |= QFileDevice::ExeUser;
    return p;
}

} // namespace

std::optional<LocalPicture> LocalPicture::read(const QString &path, qint64 largest)
{
    // O_NONBLOCK: opening a pipe without a writer returns at once instead of waiting for one.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > largest) {
        ::close(fd);
        return std::nullopt;
    }
    LocalPicture picture;
    picture.permissions = permissionsOf(st.st_mode);
    picture.bytes.reserve(qsizetype(st.st_size));
    // The file may grow while it is read: the bound holds for what is read, not what was said.
    char chunk[64 * 1024];
    bool whole = false;
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || picture.bytes.size() + got > largest) {
            whole = got == 0;
            break;
        }
        picture.bytes.append(chunk, qsizetype(got));
    }
    ::close(fd);
    if (!whole)
        return std::nullopt;
    return picture;
}

} // namespace vimbrel
