#pragma once

#include <QString>

#include <memory>

namespace vimbrel {

// A lock on a file that lasts as long as this object or the process: the system drops it when
// the process ends in any way, so a crashed instance never leaves a lock that looks held.
class InstanceLock
{
public:
    InstanceLock();
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // Takes the lock on the file at lockPath (created when missing) without waiting; false when
    // another holder has it or the file cannot be opened. Drops a lock held before.
    bool tryLock(const QString &lockPath);
    void unlock();
    [[nodiscard]] bool isLocked() const;

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};

} // namespace vimbrel
