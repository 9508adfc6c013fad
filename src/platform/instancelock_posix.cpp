// flock on a descriptor kept open: the kernel releases it when the process dies.
#include "platform/instancelock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vimbrel {

struct InstanceLock::Handle
{
    int fd = -1;
};

InstanceLock::InstanceLock() : m_handle(std::make_unique<Handle>()) {}

InstanceLock::~InstanceLock()
{
    unlock();
}

bool InstanceLock::tryLock(const QString &lockPath)
{
    unlock();
    if (lockPath.isEmpty())
        return false;
    // Without following a link, and without waiting on a pipe someone put there.
    const int fd = ::open(QFile::encodeName(lockPath).constData(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_handle->fd = fd;
    return true;
}

void InstanceLock::unlock()
{
    if (m_handle->fd >= 0) {
        ::close(m_handle->fd); // closing the only descriptor releases the lock
        m_handle->fd = -1;
    }
}

bool InstanceLock::isLocked() const
{
    return m_handle->fd >= 0;
}

} // namespace vimbrel
