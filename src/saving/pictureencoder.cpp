#include "saving/pictureencoder.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <limits>

namespace vimbrel {

qint64 PictureEncoder::maxPixels()
{
    const int limitMb = QImageReader::allocationLimit();
    return limitMb > 0 ? qint64(limitMb) * 1024 * 1024 / 4 : std::numeric_limits<qint64>::max();
}

std::optional<QImage> PictureEncoder::decode(const QByteArray &bytes, QString *why,
                                             QByteArray *format)
{
    const auto fail = [why](const QString &reason) -> std::optional<QImage> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    QByteArray data = bytes; // the buffer wants a non-const array; this is a shallow copy
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return fail(QStringLiteral("no picture"));
    if (format)
        *format = reader.format();
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > maxPixels())
        return fail(QStringLiteral("too large: %1 x %2").arg(size.width()).arg(size.height()));
    QImage image = reader.read(); // the first frame of an animation
    if (image.isNull())
        return fail(reader.errorString());
    if (image.hasAlphaChannel()) {
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.setDevicePixelRatio(image.devicePixelRatio());
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
        painter.end();
        image = std::move(flat);
    }
    return image;
}

QByteArray PictureEncoder::encodeJpeg(const QImage &image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image))
        return {};
    return bytes;
}

QByteArray PictureEncoder::toJpeg(const QByteArray &bytes, QString *why)
{
    const std::optional<QImage> image = decode(bytes, why);
    if (!image)
        return {};
    QByteArray jpeg = encodeJpeg(*image);
    if (jpeg.isEmpty() && why)
        *why = QStringLiteral("the JPEG encoder failed");
    return jpeg;
}

PictureEncoder::Saved PictureEncoder::forSaving(const QByteArray &bytes, bool keepOriginal,
                                                QString *why)
{
    QByteArray format;
    const std::optional<QImage> image = decode(bytes, why, &format);
    if (!image)
        return {};
    // Formats kept as they came: those the folder view lists. Others (vector drawings that
    // could carry script, icons, ...) become JPEG files like every picture by default.
    static const QHash<QByteArray, QString> kept = {
        {"jpeg", QStringLiteral("jpg")}, {"png", QStringLiteral("png")},
        {"gif", QStringLiteral("gif")},  {"bmp", QStringLiteral("bmp")},
        {"tiff", QStringLiteral("tif")}, {"webp", QStringLiteral("webp")},
        {"avif", QStringLiteral("avif")}};
    if (keepOriginal && kept.contains(format))
        return {bytes, kept.value(format)};
    QByteArray jpeg = encodeJpeg(*image);
    if (jpeg.isEmpty() && why)
        *why = QStringLiteral("the JPEG encoder failed");
    return {std::move(jpeg), QStringLiteral("jpg")};
}

} // namespace vimbrel
