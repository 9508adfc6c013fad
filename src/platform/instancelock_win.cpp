// QLockFile with no age limit: a lock is stale only when the process that wrote it is gone.
#include "platform/instancelock.h"

#include <QLockFile>

namespace vimbrel {

struct InstanceLock::Handle
{
    std::unique_ptr<QLockFile> file;
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
    auto file = std::make_unique<QLockFile>(lockPath);
    file->setStaleLockTime(0);
    if (!file->tryLock(0))
        return false;
    m_handle->file = std::move(file);
    return true;
}

void InstanceLock::unlock()
{
    m_handle->file.reset();
}

bool InstanceLock::isLocked() const
{
    return m_handle->file != nullptr;
}

} // namespace vimbrel
