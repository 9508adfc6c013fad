// The Windows side of private files: the folder gets owner-only permissions, and QSaveFile
// writes a temporary file that replaces the target whole.
#include "platform/privatefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vimbrel {

namespace PrivateFile {

bool makePrivateFolder(const QString &dir)
{
    if (dir.isEmpty())
        return false;
    if (!QFileInfo(dir).isDir() && !QDir().mkpath(dir))
        return false;
    if (QFileInfo(dir).isSymLink())
        return false;
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return true;
}

bool replace(const QString &filePath, const QByteArray &bytes, Access access)
{
    if (filePath.isEmpty())
        return false;
    // QSaveFile writes through a link to its target; drop the link itself first.
    if (QFileInfo(filePath).isSymLink())
        QFile::remove(filePath);
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (access != Access::OwnerOnly)
        permissions |= QFileDevice::ReadGroup | QFileDevice::ReadOther;
    file.setPermissions(permissions);
    return file.commit();
}

bool remove(const QString &filePath)
{
    return !filePath.isEmpty() && !QFileInfo(filePath).isDir() && QFile::remove(filePath);
}

} // namespace PrivateFile

} // namespace vimbrel
