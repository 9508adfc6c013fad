#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QRandomGenerator>

namespace vimbrel {

// A picture of random pixels, the same for the same salt: it compresses badly, so its encoded
// size stays well above the size worth keeping, and no two salts give the same bytes.
inline QImage noisePicture(int width, int height, quint32 salt = 1)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(salt);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, random.generate() | 0xff000000u);
    return image;
}

inline QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

} // namespace vimbrel
