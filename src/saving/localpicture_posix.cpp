#include "saving/localpicture.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vimbrel {

namespace {

QFileDevice::Permissions permissionsOf(mode_t mode)
{
    using P = QFileDevice;
    // Qt names the owner's rights twice, as the owner's and, for the owner, as the user's.
    const std::pair<mode_t, QFileDevice::Permissions> bits[] = {
        {S_IRUSR, P::ReadOwner | P::ReadUser},
        {S_IWUSR, P::WriteOwner | P::WriteUser},
        {S_IXUSR, P::ExeOwner | P::ExeUser},
        {S_IRGRP, P::ReadGroup},
        {S_IWGRP, P::WriteGroup},
        {S_IXGRP, P::ExeGroup},
        {S_IROTH, P::ReadOther},
        {S_IWOTH, P::WriteOther},
        {S_IXOTH, P::ExeOther}};
    QFileDevice::Permissions permissions;
    for (const auto &[bit, permission] : bits) {
        if (mode & bit)
            permissions |= permission;
    }
    return permissions;
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
