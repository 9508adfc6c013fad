#include "preview/previewmaker.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <utility>

#include "preview/pngtext.h"
#include "preview/thumbnailcache.h"

namespace vimbrel {

namespace {

// Formats every browser engine shows by itself; anything else Qt reads goes out as PNG.
QByteArray browserMimeType(const QByteArray &format)
{
    if (format == "jpeg" || format == "jpg")
        return QByteArrayLiteral("image/jpeg");
    if (format == "png")
        return QByteArrayLiteral("image/png");
    if (format == "gif")
        return QByteArrayLiteral("image/gif");
    if (format == "bmp")
        return QByteArrayLiteral("image/bmp");
    if (format == "webp")
        return QByteArrayLiteral("image/webp");
    return {};
}

struct Stamp
{
    qint64 mtime = 0;
    qint64 size = -1;
    bool operator==(const Stamp &) const = default;
};

Stamp stampOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    return {info.lastModified().toSecsSinceEpoch(), info.size()};
}

std::optional<Preview> original(const QString &path, const QByteArray &mimeType)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return Preview{file.readAll(), mimeType, {}};
}

// Our thumbnails also carry the view's copy, so that a page shown again is served without
// decoding anything: a private chunk (other readers skip it; editors drop it, being unsafe to
// copy) holding the width it was made for and the JPEG.
constexpr char ViewCopyChunk[] = "vbPV";

QByteArray viewCopyChunk(const Preview &preview, int width)
{
    if (preview.mimeType != "image/jpeg" || width <= 0)
        return {};
    QByteArray data;
    for (int shift = 24; shift >= 0; shift -= 8)
        data.append(char((quint32(width) >> shift) & 0xFF));
    return data + preview.bytes;
}

std::optional<Preview> viewCopyFrom(const QByteArray &thumbnail, int width)
{
    QByteArray data;
    if (!PngText::read(thumbnail, ViewCopyChunk, &data) || data.size() <= 4)
        return std::nullopt;
    const auto *u = reinterpret_cast<const unsigned char *>(data.constData());
    const int madeFor =
        int((quint32(u[0]) << 24) | (quint32(u[1]) << 16) | (quint32(u[2]) << 8) | quint32(u[3]));
    if (madeFor != width)
        return std::nullopt;
    return Preview{data.mid(4), QByteArrayLiteral("image/jpeg"), {}};
}

QByteArray encodePng(const QImage &image, const QString &path, const Stamp &stamp,
                     const QByteArray &viewCopy)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // The lightest deflate: several times faster than the default, for little more size.
    writer.setQuality(80);
    if (!writer.write(image))
        return {};
    return PngText::withTexts(bytes,
                              {{"Thumb::URI", ThumbnailCache::fileUri(path)},
                               {"Thumb::MTime", QByteArray::number(stamp.mtime)},
                               {"Thumb::Size", QByteArray::number(stamp.size)},
                               {"Software", "Vimbrel"}},
                              ViewCopyChunk, viewCopy);
}

// What goes to the view: JPEG, a tenth of the PNG's size for a photo, which the browser holds
// for every picture of the page; PNG only where there is transparency to keep.
std::optional<Preview> forBrowser(QImage image, int width)
{
    // Only as wide as the view needs: the bytes and the decoded picture the browser keeps.
    if (width > 0 && image.width() > width)
        image = image.scaledToWidth(width, Qt::SmoothTransformation);
    const bool alpha = image.hasAlphaChannel();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, alpha ? "png" : "jpeg");
    if (!alpha)
        writer.setQuality(90);
    if (!writer.write(image))
        return std::nullopt;
    return Preview{
        bytes, alpha ? QByteArrayLiteral("image/png") : QByteArrayLiteral("image/jpeg"), {}};
}

// JPEG decodes at 1/2, 1/4 or 1/8 of its size far faster than at any size between, which the
// decoder would reach through a slower path and a second scaling: the smallest of those sizes
// that still covers the box, scaled down to it afterwards.
QSize jpegDecodeSize(QSize stored, QSize boxed)
{
    for (const int factor : {8, 4, 2}) {
        const QSize reduced((stored.width() + factor - 1) / factor,
                            (stored.height() + factor - 1) / factor);
        if (reduced.width() >= boxed.width() && reduced.height() >= boxed.height())
            return reduced;
    }
    return stored;
}

void prepare(QImageReader &reader)
{
    reader.setAutoTransform(true);
    reader.setAllocationLimit(PreviewMaker::AllocationLimitMB);
}

// The size a JPEG of `stored` pixels decodes at to cover a square box.
QSize decodeSizeFor(const QSize stored, const QByteArray &format, int box)
{
    if (box >= std::max(stored.width(), stored.height()))
        return stored;
    const QSize boxed = stored.scaled(box, box, Qt::KeepAspectRatio).expandedTo({1, 1});
    return format == "jpeg" ? jpegDecodeSize(stored, boxed) : boxed;
}

// The picture upright, covering a square box: a JPEG at the reduced size its decoder reaches
// fastest, which may be larger than the box; anything else fitted into it.
std::optional<QImage> decodeCovering(QImageReader &reader, int box)
{
    const QSize stored = reader.size();
    if (stored.isEmpty())
        return std::nullopt;
    const QSize decoded = decodeSizeFor(stored, reader.format(), box);
    if (decoded != stored)
        reader.setScaledSize(decoded);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    return image;
}

QImage fittedInto(const QImage &image, int box)
{
    if (image.width() <= box && image.height() <= box)
        return image;
    return image.scaled(box, box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// The largest cache size, up to `most`, whose thumbnail a picture decoded `decodedLongest`
// pixels long can fill; a picture smaller than a box fills it at its own size.
int keepSizeFor(int decodedLongest, int longest, int most)
{
    int size = ThumbnailCache::Sizes.front();
    for (const int candidate : ThumbnailCache::Sizes) {
        if (candidate <= most && std::min(candidate, longest) <= decodedLongest)
            size = candidate;
    }
    return size;
}

} // namespace

int PreviewMaker::boxFor(QSize size, int width)
{
    if (width <= 0 || size.isEmpty() || width >= size.width())
        return 0;
    const int longest = std::max(size.width(), size.height());
    // The box is square: a tall picture needs a box taller than its width.
    const qint64 box = (qint64(width) * longest + size.width() - 1) / size.width();
    return box >= longest ? 0 : int(box);
}

std::optional<Preview> PreviewMaker::make(const QString &path, int width, Keep keep) const
{
    const Stamp before = stampOf(path);
    if (before.size < 0)
        return std::nullopt;

    QImageReader reader(path);
    prepare(reader);
    const QSize stored = reader.size();
    if (stored.isEmpty())
        return std::nullopt;
    // Refused before any decoding: a scaled decode would otherwise slip under the limit.
    if (qint64(stored.width()) * stored.height() * 4 > qint64(AllocationLimitMB) * 1024 * 1024)
        return std::nullopt;
    const QByteArray format = reader.format();
    const bool rotated = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize shown = rotated ? stored.transposed() : stored;

    // An animation is passed on whole at any size: a still preview would stop it.
    const QByteArray mimeType = browserMimeType(format);
    const bool animated = reader.supportsAnimation() && reader.imageCount() > 1;
    int box = boxFor(shown, width);
    if (!mimeType.isEmpty() && (box == 0 || animated))
        return original(path, mimeType);

    const int longest = std::max(shown.width(), shown.height());
    if (box == 0)
        box = longest; // a format the browser lacks, at its own size
    // The cache folder that holds the box; above the largest, made for the box alone.
    const std::optional<int> cacheSize = ThumbnailCache::sizeFor(box);
    // A JPEG is decoded only as large as the view needs (and the smallest thumbnail), and its
    // thumbnail kept in the largest folder that decode fills: far less to decode and to
    // compress than the view's folder would take. Anything else fills the view's folder.
    const int decodeBox = format == "jpeg"
                              ? std::max(box, std::min(ThumbnailCache::Sizes.front(), longest))
                              : (cacheSize ? std::min(*cacheSize, longest) : box);
    const QSize decodeSize = decodeSizeFor(stored, format, decodeBox);
    const int keepSize = cacheSize ? keepSizeFor(std::max(decodeSize.width(), decodeSize.height()),
                                                 longest, *cacheSize)
                                   : 0;
    if (m_cache && cacheSize) {
        if (const auto cached = m_cache->find(path, before.mtime, keepSize)) {
            if (auto copy = viewCopyFrom(*cached, width))
                return copy;
            // Below the view's folder a thumbnail may be too small for the view.
            const QImage image = QImage::fromData(*cached, "PNG");
            if (!image.isNull() && std::max(image.width(), image.height()) >= box)
                return forBrowser(image, width);
        }
    }

    std::optional<QImage> image = decodeCovering(reader, decodeBox);
    if (!image)
        return std::nullopt;
    std::optional<Preview> preview = forBrowser(*image, width);
    if (preview && m_cache && cacheSize) {
        const ThumbnailCache *cache = m_cache;
        auto store = [cache, path, before, size = keepSize, box = std::min(keepSize, longest),
                      viewCopy = viewCopyChunk(*preview, width)](const QImage &decoded) {
            // A file that changed while it was read may have given a mix of both: show what
            // came, but keep none of it.
            const QByteArray png = encodePng(fittedInto(decoded, box), path, before, viewCopy);
            if (!png.isEmpty() && stampOf(path) == before)
                cache->store(path, size, png);
        };
        if (keep == Keep::Now) {
            store(*image);
        } else {
            // Holds the decoded picture: the caller runs this right after handing the view its
            // answer, on the same thread, so no picture is decoded twice and no more are held
            // than there are threads making previews.
            preview->keep = [store, decoded = std::move(*image)] { store(decoded); };
        }
    }
    return preview;
}

} // namespace vimbrel
