#include "gallery/picturewidth.h"

#include <QFile>
#include <QImageReader>

#include <cstdint>
#include <limits>
#include <optional>

#include "folders/regularfile.h"

namespace vimbrel {

namespace {

// A window of a few KB over the file. Reading outside it moves the window there, so large
// segments are skipped by seeking, never read; the number of moves is bounded.
class HeaderReader
{
public:
    explicit HeaderReader(QFile &file) : m_file(file) {}

    bool load(qint64 offset)
    {
        if (m_loads >= MaxLoads || offset < 0 || !m_file.seek(offset))
            return false;
        ++m_loads;
        m_start = offset;
        const qint64 n = m_file.read(m_buffer, Window);
        m_size = n < 0 ? 0 : n;
        return m_size > 0;
    }

    std::optional<uint8_t> byte(qint64 offset)
    {
        if (offset < m_start || offset >= m_start + m_size) {
            if (!load(offset))
                return std::nullopt;
        }
        return static_cast<uint8_t>(m_buffer[offset - m_start]);
    }

    std::optional<uint32_t> be16(qint64 offset) { return bytes(offset, 2, false); }
    std::optional<uint32_t> be32(qint64 offset) { return bytes(offset, 4, false); }
    std::optional<uint32_t> le16(qint64 offset) { return bytes(offset, 2, true); }
    std::optional<uint32_t> le32(qint64 offset) { return bytes(offset, 4, true); }

    bool matches(qint64 offset, const char *text, int length)
    {
        for (int i = 0; i < length; ++i) {
            const auto b = byte(offset + i);
            if (!b || *b != static_cast<uint8_t>(text[i]))
                return false;
        }
        return true;
    }

private:
    static constexpr qint64 Window = 4096;
    static constexpr int MaxLoads = 64;

    std::optional<uint32_t> bytes(qint64 offset, int count, bool littleEndian)
    {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            const auto b = byte(offset + i);
            if (!b)
                return std::nullopt;
            if (littleEndian)
                value |= static_cast<uint32_t>(*b) << (8 * i);
            else
                value = (value << 8) | *b;
        }
        return value;
    }

    QFile &m_file;
    char m_buffer[Window];
    qint64 m_start = 0;
    qint64 m_size = 0;
    int m_loads = 0;
};

int widthOrZero(std::optional<uint32_t> width)
{
    if (!width || *width > static_cast<uint32_t>(std::numeric_limits<int>::max()))
        return 0;
    return static_cast<int>(*width);
}

// The EXIF orientation (1 to 8) of an APP1 segment, whose length field is at pos; 0 when it
// holds none.
int exifOrientation(HeaderReader &in, qint64 pos, quint32 length)
{
    const qint64 tiff = pos + 2 + 6; // after the length and "Exif\0\0"
    const qint64 end = pos + length;
    if (!in.matches(pos + 2, "Exif\0\0", 6))
        return 0;
    bool little = false;
    if (in.matches(tiff, "II*\0", 4))
        little = true;
    else if (!in.matches(tiff, "MM\0*", 4))
        return 0;
    const auto u16 = [&](qint64 at) { return little ? in.le16(at) : in.be16(at); };
    const auto first = little ? in.le32(tiff + 4) : in.be32(tiff + 4);
    if (!first)
        return 0;
    const qint64 directory = tiff + *first;
    const auto count = u16(directory);
    if (!count)
        return 0;
    for (quint32 i = 0; i < *count; ++i) {
        const qint64 entry = directory + 2 + 12 * qint64(i);
        if (entry + 12 > end)
            return 0;
        const auto tag = u16(entry);
        if (!tag)
            return 0;
        if (*tag != 0x0112)
            continue;
        const auto type = u16(entry + 2);
        const auto value = u16(entry + 8);
        const bool shortValue = type && *type == 3 && value; // SHORT, held in the entry
        return shortValue && *value >= 1 && *value <= 8 ? int(*value) : 0;
    }
    return 0;
}

// Walks the markers to the first start-of-frame; the width follows its precision and height.
// A picture turned a quarter by its EXIF orientation is as wide as it is stored high: so the
// browser (and the preview) show it.
int jpegWidth(HeaderReader &in)
{
    int orientation = 0;
    qint64 pos = 2; // after SOI
    for (;;) {
        // Anything between segments up to the next 0xFF is skipped, as decoders do; runs of
        // 0xFF are fill before the marker code.
        std::optional<uint8_t> b = in.byte(pos);
        int skipped = 0;
        while (b && *b != 0xFF && skipped < 4096) {
            b = in.byte(++pos);
            ++skipped;
        }
        if (!b || *b != 0xFF)
            return 0;
        while (b && *b == 0xFF)
            b = in.byte(++pos);
        if (!b)
            return 0;
        const uint8_t marker = *b;
        ++pos; // now at the segment length, if there is one
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue; // stuffed byte, TEM, RSTn, SOI: no length
        if (marker == 0xD9 || marker == 0xDA)
            return 0; // end of image or scan data before any frame header
        const auto length = in.be16(pos);
        if (!length || *length < 2)
            return 0;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (*length < 7)
                return 0;
            // length(2) precision(1) height(2) width(2)
            return widthOrZero(in.be16(orientation >= 5 ? pos + 3 : pos + 5));
        }
        if (marker == 0xE1 && orientation == 0)
            orientation = exifOrientation(in, pos, *length);
        pos += *length;
    }
}

int pngWidth(HeaderReader &in)
{
    if (!in.matches(12, "IHDR", 4))
        return 0;
    return widthOrZero(in.be32(16));
}

int gifWidth(HeaderReader &in)
{
    return widthOrZero(in.le16(6)); // the logical screen width
}

int bmpWidth(HeaderReader &in)
{
    const auto headerSize = in.le32(14);
    if (!headerSize)
        return 0;
    if (*headerSize == 12) // OS/2 core header: 16-bit width
        return widthOrZero(in.le16(18));
    if (*headerSize < 16)
        return 0;
    const auto raw = in.le32(18);
    if (!raw)
        return 0;
    // Stored signed; only the height's sign means something, but be lenient with the width.
    const int64_t width = static_cast<int32_t>(*raw);
    const int64_t magnitude = width < 0 ? -width : width;
    return magnitude > std::numeric_limits<int>::max() ? 0 : static_cast<int>(magnitude);
}

// AVIF keeps its size in an "ispe" property near the start (image plugins for it are rare, and
// the browser reads it without one): the first one, which is the primary picture's.
int avifWidth(HeaderReader &in)
{
    constexpr qint64 Searched = 4096;
    for (qint64 pos = 12; pos + 12 <= Searched; ++pos) {
        if (!in.byte(pos + 11))
            return 0; // the file ends first
        if (in.matches(pos, "ispe", 4))
            return widthOrZero(in.be32(pos + 8)); // version and flags (4), width (4), height (4)
    }
    return 0;
}

} // namespace

int pictureWidth(const QString &path)
{
    QFile file;
    if (!RegularFile::open(file, path))
        return 0;
    HeaderReader in(file);
    if (!in.load(0))
        return 0;
    if (in.matches(0, "\xFF\xD8", 2))
        return jpegWidth(in);
    if (in.matches(0, "\x89PNG\r\n\x1A\n", 8))
        return pngWidth(in);
    if (in.matches(0, "GIF87a", 6) || in.matches(0, "GIF89a", 6))
        return gifWidth(in);
    if (in.matches(0, "BM", 2))
        return bmpWidth(in);
    if (in.matches(4, "ftypavif", 8) || in.matches(4, "ftypavis", 8)) {
        if (const int width = avifWidth(in); width > 0)
            return width;
    }
    // Other formats (TIFF and whatever the image plugins know) through Qt, still header only,
    // from the file already open: the path may meanwhile name something else.
    if (!file.seek(0))
        return 0;
    QImageReader reader(&file);
    const QSize size = reader.size();
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const int width = turned ? size.height() : size.width();
    return width > 0 ? width : 0;
}

} // namespace vimbrel
