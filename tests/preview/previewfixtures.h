#pragma once

#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSize>
#include <QString>

namespace vimbrel {

// Pictures for the preview tests, made on the spot.
namespace PreviewFixtures {

inline bool writePng(const QString &path, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path, "PNG");
}

// A plain colour in the format the name's suffix says.
inline bool writeColoured(const QString &path, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path);
}

inline bool writeJpeg(const QString &path, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(90, 140, 200));
    return image.save(path, "JPEG", 85);
}

// Stored landscape with its top half red and its bottom half blue, tagged EXIF orientation 6.
inline bool writeRotatedJpeg(const QString &path, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, size.width(), size.height() / 2, Qt::red);
    QImageWriter writer(path, "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    return writer.write(image);
}

inline quint32 crc32(const QByteArray &bytes)
{
    quint32 c = 0xFFFFFFFFu;
    for (const char b : bytes) {
        c ^= quint8(b);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
}

// A PNG whose header (with a right checksum) claims the size and holds no picture data.
inline bool writeHugePngHeader(const QString &path, quint32 width, quint32 height)
{
    QByteArray png("\x89PNG\r\n\x1A\n", 8);
    auto be32 = [&png](quint32 v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            png.append(char((v >> shift) & 0xFF));
    };
    be32(13);
    const qsizetype chunk = png.size();
    png.append("IHDR");
    be32(width);
    be32(height);
    png.append("\x08\x06\x00\x00\x00", 5);
    be32(crc32(png.mid(chunk)));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(png) == png.size();
}

// A baseline JPEG frame header claiming the size, and then nothing.
inline bool writeHugeJpegHeader(const QString &path, quint16 width, quint16 height)
{
    QByteArray jpeg("\xFF\xD8\xFF\xC0\x00\x11\x08", 7);
    jpeg.append(char(height >> 8)).append(char(height & 0xFF));
    jpeg.append(char(width >> 8)).append(char(width & 0xFF));
    jpeg.append("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
    jpeg.append("\xFF\xD9", 2);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(jpeg) == jpeg.size();
}

} // namespace PreviewFixtures

} // namespace vimbrel
