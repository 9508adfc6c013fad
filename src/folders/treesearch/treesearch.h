#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

#include "folders/imagelist.h"
#include "folders/treesearch/treesearchrules.h"

namespace vimbrel {

// The whole-tree search: pictures above 30000 bytes in a folder and every folder below it,
// depth first, each folder in natural name order. Folders whose names begin with "." are not
// entered, each directory is entered once (symlink loops do not repeat), unreadable folders
// are skipped, pictures below a "$RECYCLE.BIN" at the root of a volume are left out, and the
// search stops at 20000 pictures.
namespace TreeSearch {

inline constexpr int Cap = 20000;
inline constexpr qint64 MinBytes = TreeSearchRules::MinBytes; // a picture must be larger

struct Progress
{
    // Called now and then from the searching thread with the folder being read and the count
    // so far; must be cheap and thread-safe.
    std::function<void(const QString &folder, int count)> report;
};

// Searches root into list (reset first), with the volumes and kernel tables mounted now.
// stop is checked between directory entries.
void search(const QString &root, ImageList &list, const std::atomic<bool> &stop,
            const Progress &progress = {});

// The same with the roots of the mounted volumes given (each ending in "/"): a folder whose
// name begins with "$RECYCLE" (any case) directly in one of them is the volume's recycle bin.
// Folders are read ahead of the walk on readAheadThreads further threads (-1: as many as
// suit the machine, 0: none); the result does not depend on it.
// The folders in kernelFolders hold the kernel's own tables (/proc, /sys), never anybody's
// pictures: the search does not enter them, by whatever path they are reached, unless it
// starts there.
void search(const QString &root, ImageList &list, const std::atomic<bool> &stop,
            const Progress &progress, const QStringList &volumeRoots, int readAheadThreads = -1,
            const QStringList &kernelFolders = {});

} // namespace TreeSearch

} // namespace vimbrel
