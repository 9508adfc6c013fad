#include "folders/treesearch/treesearch.h"

#include <QDir>
#include <QFileInfo>

#include "folders/folderlisting.h"
#include "folders/treesearch/mounttable.h"
#include "folders/treesearch/treewalker.h"

namespace vimbrel {

namespace {

QString absoluteFolder(const QString &root)
{
    if (root.isEmpty())
        return root;
    return folderWithSlash(
        QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(root)).absoluteFilePath()));
}

} // namespace

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
    TreeWalker walker(list, stop, progress, volumes);
    walker.run(start, TreeSearchRules::insideRecycleBin(start, volumes), readAheadThreads,
               kernelFolders);
}

void TreeSearch::search(const QString &root, ImageList &list, const std::atomic<bool> &stop,
                        const Progress &progress)
{
    search(root, list, stop, progress, MountTable::volumeRoots(), -1, MountTable::kernelFolders());
}

} // namespace vimbrel
