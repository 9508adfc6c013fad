#include "preview/viewcopycache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <utility>

#include "folders/regularfile.h"
#include "preview/thumbnailcache.h"

namespace vimbrel {

namespace {

// A copy is the view's JPEG or PNG: nothing larger belongs here.
constexpr qint64 LargestCopy = qint64(64) * 1024 * 1024;

// Makes the folder, and its parent (the program's cache folder) where missing, owner-only; a
// folder that exists is left as it is.
bool ensureOwnerOnlyFolder(const QString &dir)
{
    if (QFileInfo(dir).isDir())
        return true;
    const QString parent = QFileInfo(dir).path();
    if (!QFileInfo(parent).isDir() && !ensureOwnerOnlyFolder(parent))
        return false;
    if (!QDir().mkdir(dir))
        return QFileInfo(dir).isDir(); // another thread may have made it meanwhile
    return QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
}

} // namespace

ViewCopyCache::ViewCopyCache(QString root, qint64 limit) : m_root(std::move(root)), m_limit(limit)
{
}

QString ViewCopyCache::defaultRoot()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/ulvo/previews");
}

QString ViewCopyCache::fileFor(const QString &path, qint64 mtimeMs, qint64 size, int width) const
{
    const QByteArray key = ThumbnailCache::fileUri(path) + '\n' + QByteArray::number(mtimeMs) +
                           '\n' + QByteArray::number(size) + '\n' + QByteArray::number(width);
    return m_root + QLatin1Char('/') +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Md5).toHex());
}

std::optional<QByteArray> ViewCopyCache::find(const QString &path, qint64 mtimeMs, qint64 size,
                                              int width) const
{
    QFile file;
    if (!RegularFile::open(file, fileFor(path, mtimeMs, size, width)) || file.size() > LargestCopy)
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return std::nullopt;
    // Used now: the trim keeps what was shown lately.
    file.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
    return bytes;
}

bool ViewCopyCache::store(const QString &path, qint64 mtimeMs, qint64 size, int width,
                          const QByteArray &bytes) const
{
    if (bytes.isEmpty() || bytes.size() > LargestCopy || !ensureOwnerOnlyFolder(m_root))
        return false;
    if (!ThumbnailCache::replaceWhole(fileFor(path, mtimeMs, size, width), bytes))
        return false;
    // Trimmed now and then, not at every copy: listing the folder costs more than a write.
    if (m_storedSinceTrim.fetch_add(bytes.size()) + bytes.size() > m_limit / 16)
        trim();
    return true;
}

void ViewCopyCache::trim() const
{
    const std::unique_lock lock(m_trimming, std::try_to_lock);
    if (!lock.owns_lock())
        return; // another thread is at it
    m_storedSinceTrim = 0;
    // Newest first; the oldest are dropped from the end.
    const QFileInfoList files =
        QDir(m_root).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Time);
    qint64 total = 0;
    for (const QFileInfo &file : files) {
        total += file.size();
        if (total > m_limit)
            QFile::remove(file.filePath());
    }
}

} // namespace vimbrel
