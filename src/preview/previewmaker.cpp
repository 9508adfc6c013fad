#include "preview/previewmaker.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

#include <algorithm>
#include <utility>

#include "preview/pngtext.h"
#include "preview/thumbnailcache.h"

namespace vimbrel {

namespace {

// A picture Qt has no reader for that the browser reads itself (AVIF without an image
// plugin), told by its header, goes to the view as it is; nothing for anything else.
std::optional<Preview> browserOnlyOriginal(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.peek(12);
    if (head.mid(4, 8) != "ftypavif" && head.mid(4, 8) != "ftypavis")
        return std::nullopt;
    return Preview{file.readAll(), QByteArrayLiteral("image/avif"), {}};
}

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
    if (format == "avif")
        return QByteArrayLiteral("image/avif");
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

// Our thumbnails also carry the view's copies, so that a page shown again is served without
// decoding anything: a private chunk (other readers skip it; editors drop it, being unsafe to
// copy) holding, for each width a copy was made for, that width, the length and the copy. A few
// widths share a thumbnail, as the layouts whose pictures fall into the same folder do.
constexpr char ViewCopyChunk[] = "vbPV";
constexpr qsizetype MostViewCopies = 4;

struct ViewCopy
{
    int width = 0;
    QByteArray bytes; // JPEG, or PNG where there is transparency
};

void appendBe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

// The copies in a thumbnail; none when it has no chunk or one that does not add up.
QList<ViewCopy> viewCopiesOf(const QByteArray &thumbnail)
{
    QByteArray data;
    if (!PngText::read(thumbnail, ViewCopyChunk, &data))
        return {};
    QList<ViewCopy> copies;
    qsizetype at = 0;
    while (at < data.size()) {
        if (data.size() - at < 8)
            return {};
        const auto width = qFromBigEndian<quint32>(data.constData() + at);
        const auto length = qFromBigEndian<quint32>(data.constData() + at + 4);
        at += 8;
        if (width == 0 || width > 0x7FFFFFFF || length == 0 || length > quint32(data.size() - at))
            return {};
        copies.append({int(width), data.mid(at, qsizetype(length))});
        at += qsizetype(length);
    }
    return copies;
}

QByteArray viewCopiesChunk(const QList<ViewCopy> &copies)
{
    QByteArray data;
    for (const ViewCopy &copy : copies) {
        appendBe32(data, quint32(copy.width));
        appendBe32(data, quint32(copy.bytes.size()));
        data += copy.bytes;
    }
    return data;
}

std::optional<Preview> viewCopyFrom(const QByteArray &thumbnail, int width)
{
    for (const ViewCopy &copy : viewCopiesOf(thumbnail)) {
        if (copy.width == width) {
            const bool png = copy.bytes.startsWith("\x89PNG");
            return Preview{copy.bytes,
                           png ? QByteArrayLiteral("image/png") : QByteArrayLiteral("image/jpeg"),
                           {}};
        }
    }
    return std::nullopt;
}

QByteArray encodePng(const QImage &image, const QString &path, const Stamp &stamp,
                     const QByteArray &viewCopies)
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
                              ViewCopyChunk, viewCopies);
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

// The largest cache size, up to `most`, whose thumbnail a copy `copyLongest` pixels long can
// fill (a picture smaller than a box fills it at its own size); none when it fills not even the
// smallest.
std::optional<int> keepSizeFor(int copyLongest, int longest, int most)
{
    std::optional<int> size;
    for (const int candidate : ThumbnailCache::Sizes) {
        if (candidate <= most && std::min(candidate, longest) <= copyLongest)
            size = candidate;
    }
    return size;
}

// Writes the thumbnail of a picture from the copy the view got: decoding that is quick, so the
// original need not be held until the cache write, which can wait until the view has all it
// asked for. The copies for other widths kept in the thumbnail before stay, the oldest dropped.
void keepThumbnail(const ThumbnailCache &cache, const QString &path, const Stamp &before,
                   int size, int width, const Preview &preview)
{
    const QImage image = QImage::fromData(preview.bytes);
    if (image.isNull())
        return;
    QByteArray chunk;
    if (width > 0) {
        QList<ViewCopy> copies = {{width, preview.bytes}};
        if (const auto current = cache.current(path, before.mtime, size)) {
            for (ViewCopy &copy : viewCopiesOf(*current)) {
                if (copy.width != width && copies.size() < MostViewCopies)
                    copies.append(std::move(copy));
            }
        }
        chunk = viewCopiesChunk(copies);
    }
    const QByteArray png = encodePng(fittedInto(image, size), path, before, chunk);
    // A file that changed while it was read may have given a mix of both: shown, never kept.
    if (!png.isEmpty() && stampOf(path) == before)
        cache.store(path, size, png);
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
        return browserOnlyOriginal(path);
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
    // The view's copy is as wide as asked; its thumbnail goes into the largest cache folder it
    // fills, up to the one that holds the box. Above the largest folder, nothing is kept.
    const int copyLongest =
        width > 0 && shown.width() > width
            ? std::max<int>(width, int(qint64(width) * shown.height() / shown.width()))
            : longest;
    const std::optional<int> cacheSize = ThumbnailCache::sizeFor(box);
    const std::optional<int> keepSize =
        m_cache && cacheSize ? keepSizeFor(copyLongest, longest, *cacheSize) : std::nullopt;
    if (keepSize) {
        if (const auto cached = m_cache->find(path, before.mtime, *keepSize)) {
            if (auto copy = viewCopyFrom(*cached, width))
                return copy;
            // A larger thumbnail, or another program's, may hold enough pixels for the view.
            const QImage image = QImage::fromData(*cached, "PNG");
            if (!image.isNull() && std::max(image.width(), image.height()) >= box)
                return forBrowser(image, width);
        }
    }

    const std::optional<QImage> image = decodeCovering(reader, box);
    if (!image)
        return std::nullopt;
    std::optional<Preview> preview = forBrowser(*image, width);
    if (preview && keepSize) {
        auto store = [cache = m_cache, path, before, size = *keepSize, width,
                      copy = Preview{preview->bytes, preview->mimeType, {}}] {
            keepThumbnail(*cache, path, before, size, width, copy);
        };
        if (keep == Keep::Now)
            store();
        else
            preview->keep = std::move(store);
    }
    return preview;
}

} // namespace vimbrel
