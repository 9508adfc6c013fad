#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

namespace vimbrel {

class ThumbnailCache;
class ViewCopyCache;

// What the view gets for a picture: encoded bytes and their type.
struct Preview
{
    QByteArray bytes;
    QByteArray mimeType;
    // With Keep::Later: writes the thumbnail to the cache; empty when there is none to write.
    std::function<void()> keep;
};

// Makes the picture the view shows for a file. A preview is made only where it costs less than
// the original would: a JPEG that decodes at a reduced DCT scale, a format the browser cannot
// read, or an orientation to apply; anything else goes to the view as it is. The view gets
// JPEG, or PNG where there is transparency. The copy is kept in the program's own cache at its
// width, so a page shown again decodes nothing, and a thumbnail made from it goes into the
// shared cache's largest folder it fills. Files that gave nothing are remembered (with their
// time and size) and not read again. Safe to call from several threads at once.
class PreviewMaker
{
public:
    // Decoding a picture may not take more than this (a crafted header can claim gigapixels).
    static constexpr int AllocationLimitMB = 512;

    // Either cache may be null: nothing is kept there then.
    explicit PreviewMaker(const ThumbnailCache *thumbnails = nullptr,
                          const ViewCopyCache *copies = nullptr)
        : m_thumbnails(thumbnails), m_copies(copies)
    {
    }

    // Later leaves the thumbnail write to Preview::keep, so the view need not wait for it. keep
    // holds only the view's copy, so any number may wait.
    enum class Keep { Now, Later };

    // width: the pixels the picture needs across; 0 for its own size. A JPEG's preview may be
    // narrower, down to three quarters of that where it spares a larger DCT scale, or to half
    // where only the full size would give more. None when the file cannot be read or decoded.
    [[nodiscard]] std::optional<Preview> make(const QString &path, int width,
                                              Keep keep = Keep::Now) const;

    // The box edge a preview of a picture of `size` needs to be `width` pixels across; 0 when
    // the picture itself is not wider than that.
    [[nodiscard]] static int boxFor(QSize size, int width);

private:
    struct Stamp
    {
        qint64 mtimeMs = 0;
        qint64 size = -1;
        bool operator==(const Stamp &) const = default;
    };
    [[nodiscard]] static Stamp stampOf(const QString &path);
    [[nodiscard]] std::optional<Preview> made(const QString &path, const Stamp &before, int width,
                                              Keep keep) const;
    [[nodiscard]] bool failedBefore(const QString &path, const Stamp &stamp) const;
    void rememberFailure(const QString &path, const Stamp &stamp) const;

    const ThumbnailCache *m_thumbnails = nullptr;
    const ViewCopyCache *m_copies = nullptr;
    mutable QMutex m_failuresLock;
    mutable QHash<QString, Stamp> m_failures;
};

} // namespace vimbrel
