#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace vimbrel {

// From the bytes of a picture as served to the JPEG file that is saved. Safe to use on any
// thread; nothing here touches widgets.
class PictureEncoder
{
public:
    static constexpr int jpegQuality = 80;
    // Pictures whose 32-bit pixels would pass the reader's allocation limit (128 MB unless
    // the program changes it) are refused from their header, before anything is decoded.
    [[nodiscard]] static qint64 maxPixels();

    // The first frame, turned upright as its EXIF orientation says, transparency laid on
    // white; nullopt (and why) when the bytes are no picture or too large a one. The bytes
    // decide, whatever type they were served as; format gets the decoder's name for them.
    [[nodiscard]] static std::optional<QImage>
    decode(const QByteArray &bytes, QString *why = nullptr, QByteArray *format = nullptr);
    // JPEG at the given quality; empty when the encoder failed.
    [[nodiscard]] static QByteArray encodeJpeg(const QImage &image, int quality = jpegQuality);
    // Both steps; empty when the bytes are no picture.
    [[nodiscard]] static QByteArray toJpeg(const QByteArray &bytes, QString *why = nullptr);

    // What a file of the picture holds, and the extension of its name.
    struct Saved
    {
        QByteArray bytes; // empty: no picture
        QString extension;
    };
    // The JPEG; or, with keepOriginal, the bytes themselves when they decode and are of a
    // format the folder view shows (a JPEG of them otherwise).
    [[nodiscard]] static Saved forSaving(const QByteArray &bytes, bool keepOriginal,
                                         QString *why = nullptr);
};

} // namespace vimbrel
