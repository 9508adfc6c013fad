#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <mutex>
#include <optional>

namespace vimbrel {

// The program's own cache of the pictures made for the view, at any width: the shared
// thumbnail cache holds nothing above 1024 pixels, and its thumbnails stay plain PNGs that
// other programs read. One file per picture, state of the file (modification time, size) and
// width, named by a hash of those, so a changed picture simply misses. Owner-only, bounded in
// size: past the limit the copies used longest ago go first.
class ViewCopyCache
{
public:
    static constexpr qint64 DefaultLimit = qint64(512) * 1024 * 1024;

    // root is the folder of the copies itself; made owner-only when first needed.
    explicit ViewCopyCache(QString root = defaultRoot(), qint64 limit = DefaultLimit);

    // $XDG_CACHE_HOME/ulvo/previews
    [[nodiscard]] static QString defaultRoot();
    [[nodiscard]] const QString &root() const { return m_root; }

    // The copy made for `width` pixels across from the file as it was at mtimeMs and size;
    // none when there is none. A copy found counts as used now.
    [[nodiscard]] std::optional<QByteArray> find(const QString &path, qint64 mtimeMs, qint64 size,
                                                 int width) const;
    // Writes a copy as a new file renamed into place; false when the cache cannot take it.
    bool store(const QString &path, qint64 mtimeMs, qint64 size, int width,
               const QByteArray &bytes) const;
    // Removes the copies used longest ago until the rest fit the limit.
    void trim() const;

private:
    [[nodiscard]] QString fileFor(const QString &path, qint64 mtimeMs, qint64 size,
                                  int width) const;

    QString m_root;
    qint64 m_limit;
    mutable std::atomic<qint64> m_storedSinceTrim = 0;
    mutable std::mutex m_trimming;
};

} // namespace vimbrel
