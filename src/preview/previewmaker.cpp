#include "preview/previewmaker.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <utility>

#include "folders/regularfile.h"
#include "platform/filenames.h"
#include "preview/pngtext.h"
#include "preview/thumbnailcache.h"
#include "preview/viewcopycache.h"

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

// The modification time (ms) and size of a regular file, opened by the path's own bytes
// whatever the name's encoding; size -1 when there is none.
std::pair<qint64, qint64> timeAndSize(const QString &path)
{
    QFile file;
    if (!RegularFile::open(file, path))
        return {0, -1};
    return {file.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch(), file.size()};
}

bool unchanged(const QString &path, qint64 mtimeMs, qint64 size)
{
    return timeAndSize(path) == std::pair{mtimeMs, size};
}

qint64 secondsOf(qint64 msecs)
{
    return msecs >= 0 ? msecs / 1000 : -((-msecs + 999) / 1000);
}

QByteArray mimeTypeOf(const QByteArray &bytes)
{
    return bytes.startsWith("\x89PNG") ? QByteArrayLiteral("image/png")
                                       : QByteArrayLiteral("image/jpeg");
}

std::optional<Preview> original(QFile &file, const QByteArray &mimeType)
{
    if (!file.seek(0))
        return std::nullopt;
    return Preview{file.readAll(), mimeType, {}};
}

QByteArray encodePng(const QImage &image, const QString &path, qint64 mtime, qint64 size)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // The lightest deflate: several times faster than the default, for little more size.
    writer.setQuality(80);
    if (!writer.write(image))
        return {};
    return PngText::withTexts(bytes, {{"Thumb::URI", ThumbnailCache::fileUri(path)},
                                      {"Thumb::MTime", QByteArray::number(mtime)},
                                      {"Thumb::Size", QByteArray::number(size)},
                                      {"Software", "Vimbrel"}});
}

// Qt's smooth scaling of pictures of 16 bits a channel gets transparency wrong (half becomes a
// quarter): such pictures are brought to 8 bits, which is all the view and the thumbnails
// keep, before any scaling.
QImage eightBits(const QImage &image)
{
    if (image.depth() <= 32 && image.format() != QImage::Format_Grayscale16)
        return image;
    if (image.format() == QImage::Format_Grayscale16)
        return image.convertToFormat(QImage::Format_Grayscale8);
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

// Only as wide as the view needs: the bytes and the decoded picture the browser keeps.
QImage sizedFor(const QImage &image, int width)
{
    const QImage eight = eightBits(image);
    if (width > 0 && eight.width() > width)
        return eight.scaledToWidth(width, Qt::SmoothTransformation);
    return eight;
}

// What goes to the view: JPEG, a tenth of the PNG's size for a photo, which the browser holds
// for every picture of the page; PNG only where there is transparency to keep.
std::optional<Preview> encodedForBrowser(const QImage &image)
{
    const bool alpha = image.hasAlphaChannel();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, alpha ? "png" : "jpeg");
    // Made up to twice as wide as shown, where 85 looks as 90 does and is a third smaller: the
    // browser holds every copy of the page, and a page shown again reads them all.
    if (!alpha)
        writer.setQuality(85);
    if (!writer.write(image))
        return std::nullopt;
    return Preview{
        bytes, alpha ? QByteArrayLiteral("image/png") : QByteArrayLiteral("image/jpeg"), {}};
}

// JPEG decodes at 1/2, 1/4 or 1/8 of its size far faster than at any size between, which the
// decoder would reach through a slower path and a second scaling: the smallest of those sizes
// that covers `enough` of the box, scaled down to the box afterwards where larger. Where only
// the full size would, half the size still does when it covers the least box: the full size
// would cost more than the original the view would otherwise decode itself.
QSize jpegDecodeSize(QSize stored, QSize enough, QSize least)
{
    for (const int factor : {8, 4, 2}) {
        const QSize reduced((stored.width() + factor - 1) / factor,
                            (stored.height() + factor - 1) / factor);
        if (reduced.width() >= enough.width() && reduced.height() >= enough.height())
            return reduced;
    }
    const QSize half((stored.width() + 1) / 2, (stored.height() + 1) / 2);
    if (half.width() >= least.width() && half.height() >= least.height())
        return half;
    return stored;
}

void prepare(QImageReader &reader)
{
    reader.setAutoTransform(true);
    reader.setAllocationLimit(PreviewMaker::AllocationLimitMB);
}

// The size a picture of `stored` pixels decodes at to cover a square box. A JPEG covers three
// quarters of it where that spares a larger decode (the copy is then still one and a half times
// as wide as shown, room enough to zoom in), or at least the least box (see jpegDecodeSize).
QSize decodeSizeFor(const QSize stored, const QByteArray &format, int box, int leastBox)
{
    if (box >= std::max(stored.width(), stored.height()))
        return stored;
    const auto fitted = [stored](int edge) {
        return stored.scaled(edge, edge, Qt::KeepAspectRatio).expandedTo({1, 1});
    };
    return format == "jpeg" ? jpegDecodeSize(stored, fitted(box - box / 4), fitted(leastBox))
                            : fitted(box);
}

QImage fittedInto(const QImage &image, int box)
{
    const QImage eight = eightBits(image);
    if (eight.width() <= box && eight.height() <= box)
        return eight;
    return eight.scaled(box, box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
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
// asked for. The thumbnail is a plain one, as other programs write them.
void keepThumbnail(const ThumbnailCache &cache, const QString &path, qint64 mtimeMs, qint64 size,
                   int box, const QByteArray &copy)
{
    const qint64 mtime = secondsOf(mtimeMs);
    if (cache.current(path, mtime, box))
        return; // made for another width that fills the same folder
    const QImage image = QImage::fromData(copy);
    if (image.isNull())
        return;
    const QByteArray png = encodePng(fittedInto(image, box), path, mtime, size);
    // A file that changed while it was read may have given a mix of both: shown, never kept.
    if (!png.isEmpty() && unchanged(path, mtimeMs, size))
        cache.store(path, box, png);
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

PreviewMaker::Stamp PreviewMaker::stampOf(const QString &path)
{
    const auto [mtimeMs, size] = timeAndSize(path);
    return {mtimeMs, size};
}

bool PreviewMaker::failedBefore(const QString &path, const Stamp &stamp) const
{
    const QMutexLocker lock(&m_failuresLock);
    const auto it = m_failures.constFind(path);
    return it != m_failures.cend() && *it == stamp;
}

void PreviewMaker::rememberFailure(const QString &path, const Stamp &stamp) const
{
    const QMutexLocker lock(&m_failuresLock);
    // Bounded: a folder of broken files is read again after a while, not held for ever.
    if (m_failures.size() >= 10000)
        m_failures.clear();
    m_failures.insert(path, stamp);
}

std::optional<Preview> PreviewMaker::make(const QString &path, int width, Keep keep) const
{
    const Stamp before = stampOf(path);
    if (before.size < 0 || failedBefore(path, before))
        return std::nullopt;
    std::optional<Preview> preview = made(path, before, width, keep);
    // A damaged file costs its reading once, not at every page it is on. One that cannot be
    // read costs nothing and may be made readable without changing.
    if (!preview && FileNames::status(path).readable)
        rememberFailure(path, before);
    return preview;
}

std::optional<Preview> PreviewMaker::made(const QString &path, const Stamp &before, int width,
                                          Keep keep) const
{
    // Made before for this width: nothing to decode.
    if (m_copies) {
        if (auto copy = m_copies->find(path, before.mtimeMs, before.size, width))
            return Preview{*copy, mimeTypeOf(*copy), {}};
    }

    QFile file;
    if (!RegularFile::open(file, path))
        return std::nullopt;
    if (file.read(8) == QByteArray("\x89PNG\r\n\x1A\n", 8) && !PngText::chunksFit(file))
        return std::nullopt;
    if (!file.seek(0))
        return std::nullopt;
    QImageReader reader(&file); // the format told by the content
    prepare(reader);
    const QSize stored = reader.size();
    if (stored.isEmpty())
        return browserOnlyOriginal(path);
    // Refused before any decoding: a scaled decode would otherwise slip under the limit.
    if (qint64(stored.width()) * stored.height() * 4 > qint64(AllocationLimitMB) * 1024 * 1024)
        return std::nullopt;
    QByteArray format = reader.format();
    if (format == "jpg")
        format = "jpeg"; // as the name's suffix gave it
    const QImageIOHandler::Transformations transformation = reader.transformation();
    const QSize shown =
        transformation & QImageIOHandler::TransformationRotate90 ? stored.transposed() : stored;

    // An animation is passed on whole at any size: a still preview would stop it.
    const QByteArray mimeType = browserMimeType(format);
    const bool animated = reader.supportsAnimation() && reader.imageCount() > 1;
    int box = boxFor(shown, width);
    if (!mimeType.isEmpty() && (box == 0 || animated))
        return original(file, mimeType);
    const int longest = std::max(shown.width(), shown.height());
    if (box == 0)
        box = longest; // a format the browser lacks, at its own size
    const QSize decoded = decodeSizeFor(stored, format, box, boxFor(shown, (width + 1) / 2));
    // Worth making only when it spares the view work: the original otherwise.
    if (!mimeType.isEmpty() && transformation == QImageIOHandler::TransformationNone &&
        !(format == "jpeg" && decoded != stored))
        return original(file, mimeType);

    // Its thumbnail goes into the largest cache folder the view's copy fills, up to the one
    // that holds the box. Above the largest folder, there is none.
    const int copyLongest =
        width > 0 && shown.width() > width
            ? std::max<int>(width, int(qint64(width) * shown.height() / shown.width()))
            : longest;
    const std::optional<int> cacheSize = ThumbnailCache::sizeFor(box);
    const std::optional<int> keepSize =
        m_thumbnails && cacheSize ? keepSizeFor(copyLongest, longest, *cacheSize) : std::nullopt;
    const auto keepCopy = [&](const Preview &preview) {
        if (m_copies && stampOf(path) == before)
            m_copies->store(path, before.mtimeMs, before.size, width, preview.bytes);
    };
    if (keepSize) {
        // A larger thumbnail, or another program's, may hold enough pixels for the view.
        if (const auto cached = m_thumbnails->find(path, secondsOf(before.mtimeMs), *keepSize)) {
            const QImage image = QImage::fromData(*cached, "PNG");
            if (!image.isNull() && std::max(image.width(), image.height()) >= box) {
                std::optional<Preview> preview = encodedForBrowser(sizedFor(image, width));
                if (preview)
                    keepCopy(*preview);
                return preview;
            }
        }
    }

    // Other readers would scale by themselves, smoothly and at 16 bits where the picture has
    // them (see eightBits): they decode at full size, scaled below.
    if (format == "jpeg" && decoded != stored)
        reader.setScaledSize(decoded);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    const QImage viewImage = sizedFor(image, width);
    image = QImage();
    std::optional<Preview> preview = encodedForBrowser(viewImage);
    if (!preview)
        return std::nullopt;
    keepCopy(*preview);
    const std::optional<int> thumbnailSize =
        keepSize ? keepSizeFor(std::max(viewImage.width(), viewImage.height()), longest, *keepSize)
                 : std::nullopt;
    if (thumbnailSize) {
        auto store = [cache = m_thumbnails, path, before, size = *thumbnailSize,
                      copy = preview->bytes] {
            keepThumbnail(*cache, path, before.mtimeMs, before.size, size, copy);
        };
        if (keep == Keep::Now)
            store();
        else
            preview->keep = std::move(store);
    }
    return preview;
}

} // namespace vimbrel
