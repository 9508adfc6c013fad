#include "pagefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace PageFiles {

QString folder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    const QString dir = base + QStringLiteral("/ulvo");
    QFileInfo info(dir);
    if (!info.isDir()) {
        if (!QDir().mkpath(dir))
            return {};
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return dir;
}

QString path(const QString &fileName)
{
    const QString dir = folder();
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + fileName;
}

QByteArray joinLines(const QStringList &lines)
{
    QByteArray out;
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    out.reserve(size + size / 4);
    for (const QString &line : lines) {
        out += line.toUtf8();
        out += "\r\n";
    }
    return out;
}

bool writeBytes(const QString &filePath, const QByteArray &bytes)
{
    if (filePath.isEmpty())
        return false;
    // Never write through a link someone left in the place of the page file.
    if (QFileInfo(filePath).isSymLink())
        QFile::remove(filePath);
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool ok = file.write(bytes) == bytes.size();
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

bool writeLines(const QString &filePath, const QStringList &lines)
{
    return writeBytes(filePath, joinLines(lines));
}

bool remove(const QString &filePath)
{
    return !filePath.isEmpty() && QFile::remove(filePath);
}

} // namespace PageFiles
