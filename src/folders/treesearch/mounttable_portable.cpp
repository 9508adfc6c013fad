#include "folders/treesearch/mounttable.h"

#include <QStorageInfo>

#include "folders/folderlisting.h"
#include "folders/treesearch/treesearchrules.h"

namespace vimbrel {

QStringList MountTable::volumeRoots()
{
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = folderWithSlash(volume.rootPath());
        if (!roots.contains(root))
            roots.push_back(root);
    }
    return roots;
}

QStringList MountTable::kernelFolders()
{
    QStringList folders;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = folderWithSlash(volume.rootPath());
        if (TreeSearchRules::isKernelFileSystem(volume.fileSystemType()) && !folders.contains(root))
            folders.push_back(root);
    }
    return folders;
}

} // namespace vimbrel
