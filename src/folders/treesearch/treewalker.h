#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <string>
#include <unordered_set>

#include "folders/directoryreader.h"
#include "folders/imagelist.h"
#include "folders/treesearch/folderreadahead.h"
#include "folders/treesearch/treesearch.h"

namespace vimbrel {

// The depth-first walk of one tree search over the folder scans: each folder entered once,
// pictures appended in natural order, kernel tables and recycle bins left out, stopping at the
// cap or when asked.
class TreeWalker
{
public:
    TreeWalker(ImageList &list, const std::atomic<bool> &stop, const TreeSearch::Progress &progress,
               const QStringList &volumeRoots);

    // root: an absolute folder path ending in "/"; recycled: root lies in a recycle bin.
    void run(const QString &root, bool recycled, int readAheadThreads,
             const QStringList &kernelFolders);

private:
    [[nodiscard]] bool stopped() const;
    void walk(std::string &path, bool recycled, FolderReadAhead &readAhead);

    ImageList &m_list;
    const std::atomic<bool> &m_stop;
    const TreeSearch::Progress &m_progress;
    std::unordered_set<std::string> m_volumeRoots;
    std::unordered_set<DirectoryReader::Identity, DirectoryReader::IdentityHash> m_visited;
    bool m_done = false;
};

} // namespace vimbrel
