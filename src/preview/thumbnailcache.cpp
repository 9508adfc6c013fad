#include "preview/thumbnailcache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstdio>
#include <cstring>
#include <utility>

#include "folders/regularfile.h"
#include "platform/filenames.h"
#include "preview/pngtext.h"

namespace vimbrel {

namespace {

constexpr QFileDevice::Permissions OwnerOnlyFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

// Makes the folder owner-only when this call creates it; one that exists is left as it is.
bool ensureFolder(const QString &dir)
{
    if (QFileInfo(dir).isDir())
        return true;
    if (!QDir().mkdir(dir))
        return QFileInfo(dir).isDir(); // another process may have made it meanwhile
    QFile::setPermissions(dir, OwnerOnlyFolder);
    return true;
}

} // namespace

ThumbnailCache::ThumbnailCache(QString root) : m_root(std::move(root)) {}

QString ThumbnailCache::defaultRoot()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/thumbnails");
}

QByteArray ThumbnailCache::fileUri(const QString &path)
{
    // As GLib's g_filename_to_uri writes it, which the GNOME-family file managers name their
    // thumbnails by: the file name's bytes, each escaped but for letters, digits and
    // "!$&'()*+,-./:=@_~".
    static constexpr char Kept[] = "!$&'()*+,-./:=@_~";
    static constexpr char Hex[] = "0123456789ABCDEF";
    const QByteArray name = FileNames::toBytes(QDir::fromNativeSeparators(path));
    QByteArray uri("file://");
    uri.reserve(7 + name.size() * 3 + 1);
    if (!name.startsWith('/'))
        uri += '/'; // a drive letter
    for (const char c : name) {
        const auto byte = quint8(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || (byte != 0 && std::strchr(Kept, c))) {
            uri += c;
        } else {
            uri += '%';
            uri += Hex[byte >> 4];
            uri += Hex[byte & 15];
        }
    }
    return uri;
}

QString ThumbnailCache::thumbnailName(const QString &path)
{
    return QString::fromLatin1(
               QCryptographicHash::hash(fileUri(path), QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

QString ThumbnailCache::folderName(int size)
{
    switch (size) {
    case 128:
        return QStringLiteral("normal");
    case 256:
        return QStringLiteral("large");
    case 512:
        return QStringLiteral("x-large");
    case 1024:
        return QStringLiteral("xx-large");
    default:
        return {};
    }
}

std::optional<int> ThumbnailCache::sizeFor(int box)
{
    for (const int size : Sizes) {
        if (box <= size)
            return size;
    }
    return std::nullopt;
}

QString ThumbnailCache::thumbnailPath(const QString &path, int size) const
{
    return m_root + QLatin1Char('/') + folderName(size) + QLatin1Char('/') + thumbnailName(path);
}

bool ThumbnailCache::isThumbnailOf(const QByteArray &png, const QByteArray &uri, qint64 mtime)
{
    const std::optional<PngText::Texts> texts = PngText::read(png);
    if (!texts || texts->value("Thumb::URI") != uri)
        return false;
    bool numeric = false;
    const qint64 time = texts->value("Thumb::MTime").trimmed().toLongLong(&numeric);
    return numeric && time == mtime;
}

std::optional<QByteArray> ThumbnailCache::find(const QString &path, qint64 mtime, int size) const
{
    for (const int candidate : Sizes) {
        if (candidate < size)
            continue;
        if (auto bytes = current(path, mtime, candidate))
            return bytes;
    }
    return std::nullopt;
}

std::optional<QByteArray> ThumbnailCache::current(const QString &path, qint64 mtime, int size) const
{
    QFile file;
    // Thumbnails are small regular files; a pipe or anything huge in their place is not one.
    if (!RegularFile::open(file, thumbnailPath(path, size)) || file.size() > 64 * 1024 * 1024)
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (!isThumbnailOf(bytes, fileUri(path), mtime))
        return std::nullopt;
    return bytes;
}

bool ThumbnailCache::store(const QString &path, int size, const QByteArray &png) const
{
    const QString folder = folderName(size);
    if (folder.isEmpty() || !ensureFolder(m_root) ||
        !ensureFolder(m_root + QLatin1Char('/') + folder))
        return false;
    // A stale thumbnail, or a link planted in its place, is replaced, not written through.
    return replaceWhole(thumbnailPath(path, size), png);
}

bool ThumbnailCache::replaceWhole(const QString &target, const QByteArray &bytes)
{
    QTemporaryFile temp(target + QStringLiteral(".XXXXXX"));
    if (!temp.open() || temp.write(bytes) != bytes.size() || !temp.flush())
        return false;
    temp.close();
    if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        // Windows does not rename onto an existing file.
        QFile::remove(target);
        if (!temp.rename(target))
            return false;
    }
    temp.setAutoRemove(false);
    return true;
}

} // namespace vimbrel
