#include "folders/treesearch/treewalker.h"

#include <QByteArray>

#include "folders/folderlisting.h"
#include "folders/treesearch/kerneltables.h"
#include "folders/treesearch/treesearchrules.h"
#include "platform/filenames.h"

namespace vimbrel {

TreeWalker::TreeWalker(ImageList &list, const std::atomic<bool> &stop,
                       const TreeSearch::Progress &progress, const QStringList &volumeRoots)
    : m_list(list), m_stop(stop), m_progress(progress)
{
    for (const QString &volume : volumeRoots)
        m_volumeRoots.insert(FileNames::toBytes(volume).toStdString());
}

void TreeWalker::run(const QString &root, bool recycled, int readAheadThreads,
                     const QStringList &kernelFolders)
{
    std::string path = FileNames::toBytes(root).toStdString();
    const std::optional<DirectoryReader::Identity> start = DirectoryReader::identify(path);
    if (!start)
        return;
    const KernelTables tables(kernelFolders, *start);
    FolderReadAhead readAhead(readAheadThreads, m_stop, tables);
    walk(path, recycled, readAhead);
}

bool TreeWalker::stopped() const
{
    return m_done || m_stop.load(std::memory_order_relaxed);
}

void TreeWalker::walk(std::string &path, bool recycled, FolderReadAhead &readAhead)
{
    const FolderScanPtr scan = readAhead.take(path);
    if (!scan->ok)
        return;
    if (!m_visited.insert(scan->id).second) {
        readAhead.forget(path);
        return;
    }
    if (m_progress.report)
        m_progress.report(TreeSearchRules::shownFolder(FileNames::fromBytes(path)), m_list.count());
    const bool volumeRoot = m_volumeRoots.count(path) != 0;
    QString folder; // decoded on the first picture taken
    for (const FolderScan::Entry &entry : scan->entries) {
        if (stopped())
            return;
        const std::string_view name = scan->name(entry);
        if (entry.folder) {
            const std::size_t length = path.size();
            path.append(name).push_back('/');
            walk(path, recycled || (volumeRoot && TreeSearchRules::startsWithRecycle(name)),
                 readAhead);
            path.resize(length);
            continue;
        }
        if (recycled)
            continue;
        if (folder.isEmpty())
            folder = FileNames::fromBytes(path);
        m_list.appendInFolder(folder, name);
        if (m_list.count() >= TreeSearch::Cap) {
            m_done = true;
            return;
        }
    }
}

} // namespace vimbrel
