#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

namespace vimbrel {

class ThumbnailCache;

// What the view gets for a picture: encoded bytes and their type.
struct Preview
{
    QByteArray bytes;
    QByteArray mimeType;
    // With Keep::Later: writes the thumbnail to the cache; empty when there is none to write.
    std::function<void()> keep;
};

// Makes the picture the view shows for a file: the original itself when the browser can read
// it and it is not wider than needed, otherwise the picture decoded at a reduced size (upright,
// as its EXIF orientation says). The view gets JPEG, or PNG where there is transparency; the
// thumbnail cache keeps it as a PNG in the largest folder it fills, with the view's copy inside
// so a page shown again decodes nothing. Safe to call from several threads at once.
class PreviewMaker
{
public:
    // Decoding a picture may not take more than this (a crafted header can claim gigapixels).
    static constexpr int AllocationLimitMB = 512;

    // cache may be null: previews are then made in memory only.
    explicit PreviewMaker(const ThumbnailCache *cache = nullptr) : m_cache(cache) {}

    // Later leaves the cache write to Preview::keep, so the view need not wait for it. keep
    // holds only the view's copy, so any number may wait.
    enum class Keep { Now, Later };

    // width: the pixels the picture needs across; 0 for its own size. None when the file
    // cannot be read or decoded.
    [[nodiscard]] std::optional<Preview> make(const QString &path, int width,
                                              Keep keep = Keep::Now) const;

    // The box edge a preview of a picture of `size` needs to be `width` pixels across; 0 when
    // the picture itself is not wider than that.
    [[nodiscard]] static int boxFor(QSize size, int width);

private:
    const ThumbnailCache *m_cache = nullptr;
};

} // namespace vimbrel
