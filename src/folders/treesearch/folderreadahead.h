#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "folders/directoryreader.h"
#include "folders/treesearch/folderscan.h"

namespace vimbrel {

class KernelTables;

// Reads folders ahead of the tree walk on other threads, roughly in the order the walk will
// want them, and keeps a bounded number of finished reads until the walk takes them. The
// walk itself decides everything about order, loops and stopping, so the result is the same
// however many threads read ahead.
class FolderReadAhead
{
public:
    // threads: further threads reading (-1: as many as suit the machine, 0: none).
    FolderReadAhead(int threads, const std::atomic<bool> &stop, const KernelTables &tables);
    ~FolderReadAhead();

    // The scan of path (ending in "/"), read here when no other thread has started it.
    FolderScanPtr take(const std::string &path);
    // The walk will not enter path (it was entered by another way): drop what was read ahead
    // below it, so it does not hold up further reading.
    void forget(const std::string &path);

private:
    struct Slot
    {
        enum State { Pending, Running, Done } state = Pending;
        FolderScanPtr scan;
    };

    void queueFolders(const std::string &path, const FolderScan &scan);
    bool readNext(std::unique_lock<std::mutex> &lock);
    void work();

    const std::atomic<bool> &m_stop;
    const KernelTables &m_tables;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::unordered_map<std::string, Slot> m_slots;
    std::deque<std::string> m_queue;
    std::unordered_set<DirectoryReader::Identity, DirectoryReader::IdentityHash> m_expanded;
    std::size_t m_waiting = 0; // finished reads not yet taken
    bool m_quit = false;
    std::vector<std::thread> m_threads;
};

} // namespace vimbrel
