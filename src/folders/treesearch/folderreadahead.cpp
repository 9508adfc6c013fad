#include "folders/treesearch/folderreadahead.h"

#include <algorithm>

namespace vimbrel {

namespace {

constexpr std::size_t MaxWaiting = 256;

// The walk reads too when it would wait, so one thread per further core, a few at most.
int defaultThreads()
{
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores - 1, 1, 3);
}

} // namespace

FolderReadAhead::FolderReadAhead(int threads, const std::atomic<bool> &stop,
                                 const KernelTables &tables)
    : m_stop(stop), m_tables(tables)
{
    const int count = threads >= 0 ? threads : defaultThreads();
    for (int i = 0; i < count; ++i)
        m_threads.emplace_back([this] { work(); });
}

FolderReadAhead::~FolderReadAhead()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    for (std::thread &t : m_threads)
        t.join();
}

FolderScanPtr FolderReadAhead::take(const std::string &path)
{
    std::unique_lock lock(m_mutex);
    auto it = m_slots.find(path);
    if (it != m_slots.end() && it->second.state != Slot::Pending) {
        // The map may grow while waiting; the slot itself stays where it is.
        // Rather than wait idle, read whatever is queued next meanwhile.
        Slot *slot = &it->second;
        while (slot->state != Slot::Done) {
            if (!readNext(lock))
                m_wake.wait(lock);
        }
        FolderScanPtr scan = std::move(slot->scan);
        m_slots.erase(path);
        --m_waiting;
        lock.unlock();
        m_wake.notify_all();
        return scan;
    }
    if (it != m_slots.end())
        m_slots.erase(it); // still queued: read it here, now
    lock.unlock();
    FolderScanPtr scan = FolderScan::read(path, m_tables);
    if (!m_threads.empty()) {
        lock.lock();
        queueFolders(path, *scan);
        lock.unlock();
        m_wake.notify_all();
    }
    return scan;
}

void FolderReadAhead::forget(const std::string &path)
{
    if (m_threads.empty())
        return;
    const std::lock_guard lock(m_mutex);
    for (auto it = m_slots.begin(); it != m_slots.end();) {
        if (it->first.compare(0, path.size(), path) == 0 && it->second.state != Slot::Running) {
            if (it->second.state == Slot::Done)
                --m_waiting;
            it = m_slots.erase(it);
        } else {
            ++it;
        }
    }
    m_wake.notify_all();
}

// Under the mutex. The subfolders go to the front of the queue, first one first, so reading
// goes depth first like the walk. A folder met again by another way is not expanded twice,
// which also ends symlink loops here.
void FolderReadAhead::queueFolders(const std::string &path, const FolderScan &scan)
{
    if (!scan.ok || !m_expanded.insert(scan.id).second)
        return;
    for (auto e = scan.entries.rbegin(); e != scan.entries.rend(); ++e) {
        if (!e->folder)
            continue;
        std::string child = path;
        child.append(scan.name(*e)).push_back('/');
        if (m_slots.try_emplace(child).second)
            m_queue.push_front(std::move(child));
    }
}

// Under the mutex (released while reading): reads the next queued folder, if any may be read
// now. false when there was nothing to do.
bool FolderReadAhead::readNext(std::unique_lock<std::mutex> &lock)
{
    while (!m_queue.empty() && m_waiting < MaxWaiting) {
        std::string path = std::move(m_queue.front());
        m_queue.pop_front();
        auto it = m_slots.find(path);
        if (it == m_slots.end() || it->second.state != Slot::Pending)
            continue; // taken by the walk, or forgotten
        it->second.state = Slot::Running;
        lock.unlock();
        FolderScanPtr scan = FolderScan::read(path, m_tables);
        lock.lock();
        Slot &slot = m_slots.find(path)->second; // running slots are never erased by others
        slot.state = Slot::Done;
        slot.scan = std::move(scan);
        ++m_waiting;
        queueFolders(path, *slot.scan);
        m_wake.notify_all();
        return true;
    }
    return false;
}

void FolderReadAhead::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_quit || m_stop.load(std::memory_order_relaxed))
            return;
        if (!readNext(lock))
            m_wake.wait(lock);
    }
}

} // namespace vimbrel
