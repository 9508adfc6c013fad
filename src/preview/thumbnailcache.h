#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace vimbrel {

// The desktop's shared thumbnail cache: $XDG_CACHE_HOME/thumbnails/{normal,large,x-large,
// xx-large}, one PNG per picture named by the MD5 of its file URI and carrying that URI and the
// file's modification time, so file managers use ours and we use theirs. A thumbnail that is no
// PNG, names another file or another time is treated as missing.
class ThumbnailCache
{
public:
    // The box edge of each folder, smallest first.
    static constexpr std::array<int, 4> Sizes = {128, 256, 512, 1024};

    // root is the "thumbnails" folder itself.
    explicit ThumbnailCache(QString root = defaultRoot());

    [[nodiscard]] static QString defaultRoot();
    [[nodiscard]] const QString &root() const { return m_root; }

    // "file:///…" as the thumbnails' Thumb::URI and the source of their names.
    [[nodiscard]] static QByteArray fileUri(const QString &path);
    // MD5 of the URI in hex, with ".png".
    [[nodiscard]] static QString thumbnailName(const QString &path);
    // "normal", "large", "x-large", "xx-large"; empty for any other size.
    [[nodiscard]] static QString folderName(int size);
    // The smallest cache size whose box holds `box` pixels; none above the largest.
    [[nodiscard]] static std::optional<int> sizeFor(int box);

    // Writes bytes beside target, owner-only, and renames them over it: a reader (a file
    // manager, another of our threads) sees the old file or the new one whole, and whatever
    // stands at the name is replaced without being written through.
    static bool replaceWhole(const QString &target, const QByteArray &bytes);
    [[nodiscard]] QString thumbnailPath(const QString &path, int size) const;

    // true when the bytes are a whole PNG whose Thumb::URI is uri and Thumb::MTime is mtime.
    [[nodiscard]] static bool isThumbnailOf(const QByteArray &png, const QByteArray &uri,
                                            qint64 mtime);

    // The PNG bytes of a current thumbnail of the picture in the folder of `size` or a larger
    // one; none when there is no such thumbnail.
    [[nodiscard]] std::optional<QByteArray> find(const QString &path, qint64 mtime, int size) const;
    // The same in the folder of `size` only.
    [[nodiscard]] std::optional<QByteArray> current(const QString &path, qint64 mtime,
                                                    int size) const;
    // Writes the thumbnail as a new owner-only file renamed into place; false when the cache
    // cannot take it (read-only, full), and nothing is left behind then.
    bool store(const QString &path, int size, const QByteArray &png) const;

private:
    QString m_root;
};

} // namespace vimbrel
