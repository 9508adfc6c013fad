#include "folders/treesearch/mounttable.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include "folders/folderlisting.h"
#include "folders/treesearch/treesearchrules.h"
#include "platform/filenames.h"

namespace vimbrel {

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
        result.push_back({folderWithSlash(FileNames::fromBytes(point)), type});
    }
    return result;
}

} // namespace

QStringList MountTable::volumeRoots()
{
    QStringList roots{QStringLiteral("/")};
    for (const Mount &mount : mounts()) {
        if (!roots.contains(mount.point))
            roots.push_back(mount.point);
    }
    return roots;
}

QStringList MountTable::kernelFolders()
{
    QStringList folders;
    for (const Mount &mount : mounts()) {
        if (TreeSearchRules::isKernelFileSystem(mount.type) && !folders.contains(mount.point))
            folders.push_back(mount.point);
    }
    return folders;
}

} // namespace vimbrel
