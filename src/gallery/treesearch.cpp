#include "treesearch.h"

#include "folderlisting.h"
#include "naturalorder.h"
#include "pictureextensions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTimer>

#include <algorithm>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <vector>

#if defined(Q_OS_LINUX) && !defined(VIMBREL_PORTABLE_DIRS)
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#define VIMBREL_RAW_DIRS 1
#endif

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

struct LinuxDirent64
{
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

struct Candidate
{
    std::string_view name;
    unsigned char type;
};

struct DirId
{
    dev_t dev;
    ino_t ino;
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

// The depth-first walk over open directory handles: entries are read raw, and only names that
// may matter (pictures, and folders or links that may be folders) are sorted and looked at.
class Walker
{
public:
    Walker(ImageList &list, const std::atomic<bool> &stop, const TreeSearch::Progress &progress,
           const QStringList &volumeRoots)
        : m_list(list), m_stop(stop), m_progress(progress)
    {
        for (const QString &volume : volumeRoots)
            m_volumeRoots.insert(QFile::encodeName(folderWithSlash(volume)).toStdString());
    }

    void run(const QString &root, bool recycled)
    {
        m_path = QFile::encodeName(root).toStdString();
        const int fd = ::open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return;
        walk(fd, recycled, 0);
        ::close(fd);
    }

private:
    struct Level
    {
        std::vector<char> entries;
        std::vector<Candidate> candidates;
    };

    bool stopped() const { return m_done || m_stop.load(std::memory_order_relaxed); }

    static bool readAll(int fd, std::vector<char> &buffer, size_t &used)
    {
        constexpr size_t Chunk = 32 * 1024;
        used = 0;
        for (;;) {
            if (buffer.size() < used + Chunk)
                buffer.resize(used + Chunk);
            const long n = syscall(SYS_getdents64, fd, buffer.data() + used, Chunk);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return used > 0;
            }
            if (n == 0)
                return true;
            used += static_cast<size_t>(n);
        }
    }

    void walk(int fd, bool recycled, size_t depth)
    {
        struct stat dirStat;
        if (fstat(fd, &dirStat) != 0 || !m_visited.insert({dirStat.st_dev, dirStat.st_ino}).second)
            return;
        if (m_progress.report)
            m_progress.report(shownFolder(QFile::decodeName(QByteArray::fromStdString(m_path))),
                              m_list.count());

        if (m_levels.size() <= depth)
            m_levels.resize(depth + 1);
        // Deeper levels may grow m_levels; take the buffers by reference after resizing only.
        std::vector<char> entries = std::move(m_levels[depth].entries);
        std::vector<Candidate> candidates = std::move(m_levels[depth].candidates);
        candidates.clear();
        size_t used = 0;
        if (readAll(fd, entries, used)) {
            for (size_t pos = 0; pos < used;) {
                const auto *entry = reinterpret_cast<const LinuxDirent64 *>(entries.data() + pos);
                pos += entry->d_reclen;
                const std::string_view name(entry->d_name);
                switch (entry->d_type) {
                case DT_DIR:
                    if (name[0] != '.')
                        candidates.push_back({name, DT_DIR});
                    break;
                case DT_REG:
                    if (isPictureName(name))
                        candidates.push_back({name, DT_REG});
                    break;
                case DT_LNK:
                case DT_UNKNOWN:
                    // Either a folder or a file behind it; a name that can be neither an
                    // entered folder nor a picture is left alone.
                    if (name[0] != '.' || isPictureName(name))
                        candidates.push_back({name, entry->d_type});
                    break;
                default:
                    break;
                }
            }
            std::sort(
                candidates.begin(), candidates.end(),
                [](const Candidate &a, const Candidate &b) { return naturalLess(a.name, b.name); });
            visit(fd, candidates, recycled, depth);
        }
        m_levels[depth].entries = std::move(entries);
        m_levels[depth].candidates = std::move(candidates);
    }

    void visit(int fd, const std::vector<Candidate> &candidates, bool recycled, size_t depth)
    {
        const bool volumeRoot = m_volumeRoots.count(m_path) != 0;
        QString folder; // decoded on the first picture taken
        for (const Candidate &candidate : candidates) {
            if (stopped())
                return;
            const char *name = candidate.name.data();
            struct stat st;
            bool isDir = candidate.type == DT_DIR;
            bool haveStat = false;
            if (candidate.type == DT_LNK || candidate.type == DT_UNKNOWN) {
                if (fstatat(fd, name, &st, 0) != 0)
                    continue;
                haveStat = true;
                isDir = S_ISDIR(st.st_mode);
            }
            if (isDir) {
                if (name[0] == '.')
                    continue;
                const int child = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                if (child < 0)
                    continue;
                const size_t pathLength = m_path.size();
                m_path.append(candidate.name).push_back('/');
                walk(child,
                     recycled || (volumeRoot && startsWithRecycle(name, candidate.name.size())),
                     depth + 1);
                m_path.resize(pathLength);
                ::close(child);
                continue;
            }
            if (recycled || !isPictureName(candidate.name))
                continue;
            if (!haveStat && fstatat(fd, name, &st, 0) != 0)
                continue;
            if (!S_ISREG(st.st_mode) || st.st_size <= TreeSearch::MinBytes)
                continue;
            if (folder.isEmpty())
                folder = QFile::decodeName(QByteArray::fromStdString(m_path));
            m_list.append(pathInFolder(folder, candidate.name));
            if (m_list.count() >= TreeSearch::Cap) {
                m_done = true;
                return;
            }
        }
    }

    ImageList &m_list;
    const std::atomic<bool> &m_stop;
    const TreeSearch::Progress &m_progress;
    std::unordered_set<std::string> m_volumeRoots;
    std::unordered_set<DirId, DirIdHash> m_visited;
    std::vector<Level> m_levels;
    std::string m_path;
    bool m_done = false;
};

} // namespace

QStringList TreeSearch::mountedVolumeRoots()
{
    // Read straight from the kernel's table: QStorageInfo would ask every volume for its
    // sizes, which can hang on a dead network mount.
    QStringList roots{QStringLiteral("/")};
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return roots;
    const QList<QByteArray> lines = table.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5)
            continue;
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
        const QString root = folderWithSlash(QFile::decodeName(point));
        if (!roots.contains(root))
            roots.push_back(root);
    }
    return roots;
}

void TreeSearch::search(const QString &root, ImageList &list, const std::atomic<bool> &stop,
                        const Progress &progress, const QStringList &volumeRoots)
{
    list.reset();
    const QString start = absoluteFolder(root);
    if (start.isEmpty())
        return;
    QStringList volumes;
    for (const QString &volume : volumeRoots)
        volumes << folderWithSlash(volume);
    Walker walker(list, stop, progress, volumes);
    walker.run(start, insideRecycleBin(start, volumes));
}

#else

namespace {

class Walker
{
public:
    Walker(ImageList &list, const std::atomic<bool> &stop, const TreeSearch::Progress &progress,
           const QStringList &volumeRoots)
        : m_list(list), m_stop(stop), m_progress(progress)
    {
        for (const QString &volume : volumeRoots)
            m_volumeRoots.insert(folderWithSlash(volume));
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
                if (!name.startsWith(u'.'))
                    walk(folder + name + u'/',
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
    QSet<QString> m_visited;
    bool m_done = false;
};

} // namespace

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

void TreeSearch::search(const QString &root, ImageList &list, const std::atomic<bool> &stop,
                        const Progress &progress, const QStringList &volumeRoots)
{
    list.reset();
    const QString start = absoluteFolder(root);
    if (start.isEmpty())
        return;
    QStringList volumes;
    for (const QString &volume : volumeRoots)
        volumes << folderWithSlash(volume);
    Walker walker(list, stop, progress, volumes);
    walker.run(start, insideRecycleBin(start, volumes));
}

#endif

void TreeSearch::search(const QString &root, ImageList &list, const std::atomic<bool> &stop,
                        const Progress &progress)
{
    search(root, list, stop, progress, mountedVolumeRoots());
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
