#include "gallery/treesearch.h"

#include "gallery/folderlisting.h"
#include "gallery/naturalorder.h"
#include "gallery/pictureextensions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTimer>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <unordered_map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <vector>

#ifdef VIMBREL_RAW_DIRS
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "gallery/rawdirectory.h"
#endif

namespace vimbrel {

namespace {

// "$RECYCLE" in any letter case at the start of a name: the recycle bin of a volume
// ("$RECYCLE.BIN", the older "$RECYCLER").
template <typename Char> bool startsWithRecycle(const Char *name, size_t length)
{
    static constexpr char Prefix[] = "$RECYCLE";
    constexpr size_t PrefixLength = sizeof(Prefix) - 1;
    if (length < PrefixLength)
        return false;
    for (size_t i = 0; i < PrefixLength; ++i) {
        auto c = static_cast<char32_t>(name[i]);
        if (c >= 'a' && c <= 'z')
            c -= 'a' - 'A';
        if (c != static_cast<char32_t>(Prefix[i]))
            return false;
    }
    return true;
}

// File systems that hold the kernel's tables rather than anybody's files.
bool isKernelFileSystem(const QByteArray &type)
{
    static const QByteArrayList kernelTypes = {
        "proc",       "sysfs",   "devtmpfs",  "devpts", "cgroup",      "cgroup2",
        "securityfs", "debugfs", "tracefs",   "pstore", "bpf",         "configfs",
        "fusectl",    "mqueue",  "hugetlbfs", "autofs", "binfmt_misc", "efivarfs"};
    return kernelTypes.contains(type);
}

// The folder as shown while it is read: without its trailing "/", except the root itself.
QString shownFolder(QString folder)
{
    if (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

QString absoluteFolder(const QString &root)
{
    if (root.isEmpty())
        return root;
    return folderWithSlash(
        QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(root)).absoluteFilePath()));
}

// true when folder (ending in "/") is a recycle bin at the root of a volume, or inside one.
bool insideRecycleBin(const QString &folder, const QStringList &volumeRoots)
{
    for (const QString &volume : volumeRoots) {
        if (!folder.startsWith(volume, Qt::CaseSensitive) || folder.size() == volume.size())
            continue;
        const QStringView rest = QStringView(folder).mid(volume.size());
        if (startsWithRecycle(rest.utf16(), static_cast<size_t>(rest.size())))
            return true;
    }
    return false;
}

} // namespace

#ifdef VIMBREL_RAW_DIRS

namespace {

struct DirId
{
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const DirId &) const = default;
};

struct DirIdHash
{
    size_t operator()(const DirId &id) const noexcept
    {
        return std::hash<unsigned long long>()(static_cast<unsigned long long>(id.ino) * 31u +
                                               static_cast<unsigned long long>(id.dev));
    }
};

// What one directory holds for the search, already decided: the folders to enter (names not
// beginning with ".") and the pictures to take (larger than the minimum), in natural order.
struct Scan
{
    struct Entry
    {
        uint32_t offset; // into names
        uint16_t length;
        bool folder;
    };

    bool ok = false;
    DirId id;
    std::string names;
    std::vector<Entry> entries;

    std::string_view name(const Entry &e) const { return {names.data() + e.offset, e.length}; }
};
using ScanPtr = std::shared_ptr<const Scan>;

// Reads one directory: the raw entries, then a look (fstatat) only at picture names and at
// links or entries of unknown type, which may be folders.
// The walk reads too when it would wait, so one thread per further core, a few at most.
int defaultReadAheadThreads()
{
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores - 1, 1, 3);
}

ScanPtr scanFolder(const std::string &path)
{
    auto scan = std::make_shared<Scan>();
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return scan;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        ::close(fd);
        return scan;
    }
    scan->id = {st.st_dev, st.st_ino};

    struct Candidate
    {
        std::string_view name;
        bool folder;
    };
    thread_local std::vector<char> buffer;
    thread_local std::vector<Candidate> candidates;
    candidates.clear();
    size_t used = 0;
    if (!RawDirectory::readAll(fd, buffer, used)) {
        ::close(fd);
        return scan;
    }
    scan->ok = true;
    for (size_t pos = 0; pos < used;) {
        const auto *entry = reinterpret_cast<const RawDirectory::Entry *>(buffer.data() + pos);
        pos += entry->d_reclen;
        const std::string_view name(entry->d_name);
        const bool dotName = name[0] == '.';
        const unsigned char type = entry->d_type;
        if (type == DT_DIR) {
            if (!dotName)
                candidates.push_back({name, true});
            continue;
        }
        const bool picture = isPictureName(name);
        if (type == DT_REG ? !picture : (type != DT_LNK && type != DT_UNKNOWN))
            continue;
        if (dotName && !picture)
            continue; // neither a folder to enter nor a picture
        if (fstatat(fd, entry->d_name, &st, 0) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            if (!dotName)
                candidates.push_back({name, true});
        } else if (picture && S_ISREG(st.st_mode) && st.st_size > TreeSearch::MinBytes) {
            candidates.push_back({name, false});
        }
    }
    ::close(fd);

    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate &a, const Candidate &b) { return naturalLess(a.name, b.name); });
    scan->entries.reserve(candidates.size());
    for (const Candidate &c : candidates) {
        scan->entries.push_back({static_cast<uint32_t>(scan->names.size()),
                                 static_cast<uint16_t>(c.name.size()), c.folder});
        scan->names.append(c.name);
    }
    // Kept for the next folder, unless one huge folder made it big.
    if (buffer.capacity() > 4 * 1024 * 1024)
        std::vector<char>().swap(buffer);
    return scan;
}

// Reads directories ahead of the walk on other threads, roughly in the order the walk will
// want them, and keeps a bounded number of finished reads until the walk takes them. The
// walk itself decides everything about order, loops and stopping, so the result is the same
// however many threads read ahead.
class ReadAhead
{
public:
    ReadAhead(int threads, const std::atomic<bool> &stop) : m_stop(stop)
    {
        for (int i = 0; i < threads; ++i)
            m_threads.emplace_back([this] { work(); });
    }

    ~ReadAhead()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        for (std::thread &t : m_threads)
            t.join();
    }

    // The scan of path (ending in "/"), read here when no other thread has started it.
    ScanPtr take(const std::string &path)
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
            ScanPtr scan = std::move(slot->scan);
            m_slots.erase(path);
            --m_waiting;
            lock.unlock();
            m_wake.notify_all();
            return scan;
        }
        if (it != m_slots.end())
            m_slots.erase(it); // still queued: read it here, now
        lock.unlock();
        ScanPtr scan = scanFolder(path);
        if (!m_threads.empty()) {
            lock.lock();
            queueFolders(path, *scan);
            lock.unlock();
            m_wake.notify_all();
        }
        return scan;
    }

    // The walk will not enter path (it was entered by another way): drop what was read ahead
    // below it, so it does not hold up further reading.
    void forget(const std::string &path)
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

private:
    struct Slot
    {
        enum State { Pending, Running, Done } state = Pending;
        ScanPtr scan;
    };

    static constexpr size_t MaxWaiting = 256;

    // Under the mutex. The subfolders go to the front of the queue, first one first, so reading
    // goes depth first like the walk. A directory met again by another way is not expanded
    // twice, which also ends symlink loops here.
    void queueFolders(const std::string &path, const Scan &scan)
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

    // Under the mutex (released while reading): reads the next queued folder, if any may be
    // read now. false when there was nothing to do.
    bool readNext(std::unique_lock<std::mutex> &lock)
    {
        while (!m_queue.empty() && m_waiting < MaxWaiting) {
            std::string path = std::move(m_queue.front());
            m_queue.pop_front();
            auto it = m_slots.find(path);
            if (it == m_slots.end() || it->second.state != Slot::Pending)
                continue; // taken by the walk, or forgotten
            it->second.state = Slot::Running;
            lock.unlock();
            ScanPtr scan = scanFolder(path);
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

    void work()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            if (m_quit || m_stop.load(std::memory_order_relaxed))
                return;
            if (!readNext(lock))
                m_wake.wait(lock);
        }
    }

    const std::atomic<bool> &m_stop;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::unordered_map<std::string, Slot> m_slots;
    std::deque<std::string> m_queue;
    std::unordered_set<DirId, DirIdHash> m_expanded;
    size_t m_waiting = 0; // finished reads not yet taken
    bool m_quit = false;
    std::vector<std::thread> m_threads;
};

// The depth-first walk in natural order over the scans.
class Walker
{
public:
    Walker(ImageList &list, const std::atomic<bool> &stop, const TreeSearch::Progress &progress,
           const QStringList &volumeRoots, int threads, const QStringList &kernelFolders)
        : m_list(list), m_stop(stop), m_progress(progress),
          m_readAhead(threads >= 0 ? threads : defaultReadAheadThreads(), stop)
    {
        for (const QString &volume : volumeRoots)
            m_volumeRoots.insert(QFile::encodeName(volume).toStdString());
        for (const QString &folder : kernelFolders)
            m_kernelFolders.insert(QFile::encodeName(folderWithSlash(folder)).toStdString());
    }

    void run(const QString &root, bool recycled)
    {
        std::string path = QFile::encodeName(root).toStdString();
        walk(path, recycled);
    }

private:
    bool stopped() const { return m_done || m_stop.load(std::memory_order_relaxed); }

    void walk(std::string &path, bool recycled)
    {
        const ScanPtr scan = m_readAhead.take(path);
        if (!scan->ok)
            return;
        if (!m_visited.insert(scan->id).second) {
            m_readAhead.forget(path);
            return;
        }
        if (m_progress.report)
            m_progress.report(shownFolder(QFile::decodeName(QByteArray::fromStdString(path))),
                              m_list.count());
        const bool volumeRoot = m_volumeRoots.count(path) != 0;
        QString folder; // decoded on the first picture taken
        for (const Scan::Entry &entry : scan->entries) {
            if (stopped())
                return;
            const std::string_view name = scan->name(entry);
            if (entry.folder) {
                const size_t length = path.size();
                path.append(name).push_back('/');
                if (m_kernelFolders.count(path) != 0)
                    m_readAhead.forget(path);
                else
                    walk(path,
                         recycled || (volumeRoot && startsWithRecycle(name.data(), name.size())));
                path.resize(length);
                continue;
            }
            if (recycled)
                continue;
            if (folder.isEmpty())
                folder = QFile::decodeName(QByteArray::fromStdString(path));
            m_list.append(pathInFolder(folder, name));
            if (m_list.count() >= TreeSearch::Cap) {
                m_done = true;
                return;
            }
        }
    }

    ImageList &m_list;
    const std::atomic<bool> &m_stop;
    const TreeSearch::Progress &m_progress;
    ReadAhead m_readAhead;
    std::unordered_set<std::string> m_volumeRoots;
    std::unordered_set<std::string> m_kernelFolders;
    std::unordered_set<DirId, DirIdHash> m_visited;
    bool m_done = false;
};

} // namespace

namespace {

struct Mount
{
    QString point; // ending in "/"
    QByteArray type;
};

// Read straight from the kernel's table: QStorageInfo would ask every volume for its sizes,
// which can hang on a dead network mount.
QList<Mount> mounts()
{
    QList<Mount> result;
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return result;
    const QList<QByteArray> lines = table.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5)
            continue;
        // After the optional fields, a lone "-" and then the file system type.
        const qsizetype separator = fields.indexOf(QByteArray("-"), 5);
        const QByteArray type = separator > 0 && separator + 1 < fields.size()
                                    ? fields.at(separator + 1)
                                    : QByteArray();
        // The mount point, with blanks and the like written as \ooo.
        const QByteArray &escaped = fields.at(4);
        QByteArray point;
        point.reserve(escaped.size());
        for (qsizetype i = 0; i < escaped.size(); ++i) {
            if (escaped[i] == '\\' && i + 3 < escaped.size()) {
                bool ok = false;
                const int value = escaped.mid(i + 1, 3).toInt(&ok, 8);
                if (ok && value < 256) {
                    point.push_back(static_cast<char>(value));
                    i += 3;
                    continue;
                }
            }
            point.push_back(escaped[i]);
        }
        result.push_back({folderWithSlash(QFile::decodeName(point)), type});
    }
    return result;
}

} // namespace

QStringList TreeSearch::mountedVolumeRoots()
{
    QStringList roots{QStringLiteral("/")};
    for (const Mount &mount : mounts()) {
        if (!roots.contains(mount.point))
            roots.push_back(mount.point);
    }
    return roots;
}

QStringList TreeSearch::kernelFolders()
{
    QStringList folders;
    for (const Mount &mount : mounts()) {
        if (isKernelFileSystem(mount.type) && !folders.contains(mount.point))
            folders.push_back(mount.point);
    }
    return folders;
}

#else

namespace {

class Walker
{
public:
    Walker(ImageList &list, const std::atomic<bool> &stop, const TreeSearch::Progress &progress,
           const QStringList &volumeRoots, int /*threads: reads here stay on one thread*/,
           const QStringList &kernelFolders)
        : m_list(list), m_stop(stop), m_progress(progress)
    {
        for (const QString &volume : volumeRoots)
            m_volumeRoots.insert(folderWithSlash(volume));
        for (const QString &folder : kernelFolders)
            m_kernelFolders.insert(folderWithSlash(folder));
    }

    void run(const QString &root, bool recycled) { walk(root, recycled); }

private:
    bool stopped() const { return m_done || m_stop.load(std::memory_order_relaxed); }

    void walk(const QString &folder, bool recycled)
    {
        const QFileInfo self(folder);
        const QString identity = self.canonicalFilePath();
        if (identity.isEmpty() || m_visited.contains(identity))
            return;
        m_visited.insert(identity);
        if (m_progress.report)
            m_progress.report(shownFolder(folder), m_list.count());

        QDir dir(folder);
        if (!dir.isReadable())
            return;
        QStringList names = dir.entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
        std::sort(names.begin(), names.end(),
                  [](const QString &a, const QString &b) { return naturalLess(a, b); });
        const bool volumeRoot = m_volumeRoots.contains(folder);
        for (const QString &name : names) {
            if (stopped())
                return;
            const bool picture = isPictureName(name);
            if (!picture && name.startsWith(u'.'))
                continue;
            const QFileInfo info(folder + name);
            if (info.isDir()) {
                const QString child = folder + name + u'/';
                if (!name.startsWith(u'.') && !m_kernelFolders.contains(child))
                    walk(child,
                         recycled || (volumeRoot && startsWithRecycle(name.utf16(), name.size())));
                continue;
            }
            if (recycled || !picture || !info.isFile() || info.size() <= TreeSearch::MinBytes)
                continue;
            m_list.append(folder + name);
            if (m_list.count() >= TreeSearch::Cap) {
                m_done = true;
                return;
            }
        }
    }

    ImageList &m_list;
    const std::atomic<bool> &m_stop;
    const TreeSearch::Progress &m_progress;
    QSet<QString> m_volumeRoots;
    QSet<QString> m_kernelFolders;
    QSet<QString> m_visited;
    bool m_done = false;
};

} // namespace

QStringList TreeSearch::kernelFolders()
{
    QStringList folders;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = folderWithSlash(volume.rootPath());
        if (isKernelFileSystem(volume.fileSystemType()) && !folders.contains(root))
            folders.push_back(root);
    }
    return folders;
}

QStringList TreeSearch::mountedVolumeRoots()
{
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = folderWithSlash(volume.rootPath());
        if (!roots.contains(root))
            roots.push_back(root);
    }
    return roots;
}

#endif

void TreeSearch::search(const QString &root, ImageList &list, const std::atomic<bool> &stop,
                        const Progress &progress, const QStringList &volumeRoots,
                        int readAheadThreads, const QStringList &kernelFolders)
{
    list.reset();
    const QString start = absoluteFolder(root);
    if (start.isEmpty())
        return;
    QStringList volumes;
    for (const QString &volume : volumeRoots)
        volumes << folderWithSlash(volume);
    Walker walker(list, stop, progress, volumes, readAheadThreads, kernelFolders);
    walker.run(start, insideRecycleBin(start, volumes));
}

void TreeSearch::search(const QString &root, ImageList &list, const std::atomic<bool> &stop,
                        const Progress &progress)
{
    search(root, list, stop, progress, mountedVolumeRoots(), -1, kernelFolders());
}

// Shared between the job and its searching thread, which may outlive neither.
struct TreeSearchJob::State
{
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::mutex mutex;
    QString folder; // under mutex
    int count = 0;  // under mutex
    bool changed = false;
    ImageList result;
    std::thread thread;
};

TreeSearchJob::TreeSearchJob(QObject *parent)
    : QObject(parent), m_state(std::make_shared<State>()), m_timer(new QTimer(this))
{
    m_timer->setInterval(40);
    connect(m_timer, &QTimer::timeout, this, &TreeSearchJob::poll);
}

TreeSearchJob::~TreeSearchJob()
{
    stop();
    join();
}

void TreeSearchJob::start(const QString &root)
{
    stop();
    join();
    m_state = std::make_shared<State>();
    std::shared_ptr<State> state = m_state;
    state->thread = std::thread([state, root] {
        TreeSearch::Progress progress;
        progress.report = [&state](const QString &folder, int count) {
            const std::lock_guard lock(state->mutex);
            state->folder = folder;
            state->count = count;
            state->changed = true;
        };
        TreeSearch::search(root, state->result, state->stop, progress);
        {
            const std::lock_guard lock(state->mutex);
            state->count = state->result.count();
            state->changed = true;
        }
        state->done = true;
    });
    m_timer->start();
}

void TreeSearchJob::stop()
{
    m_state->stop = true;
}

bool TreeSearchJob::isRunning() const
{
    return m_state->thread.joinable();
}

ImageList TreeSearchJob::takeResult()
{
    if (isRunning())
        return ImageList();
    ImageList result = std::move(m_state->result);
    m_state->result = ImageList();
    return result;
}

void TreeSearchJob::poll()
{
    QString folder;
    int count = 0;
    bool changed = false;
    {
        const std::lock_guard lock(m_state->mutex);
        changed = m_state->changed;
        m_state->changed = false;
        folder = m_state->folder;
        count = m_state->count;
    }
    const bool done = m_state->done;
    if (changed)
        Q_EMIT progress(folder, count);
    if (done) {
        join();
        Q_EMIT finished();
    }
}

void TreeSearchJob::join()
{
    m_timer->stop();
    if (m_state->thread.joinable())
        m_state->thread.join();
}

} // namespace vimbrel
