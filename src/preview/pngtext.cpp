#include "preview/pngtext.h"

#include <QIODevice>

#include <array>

namespace vimbrel {

namespace PngText {

namespace {

constexpr char Signature[] = "\x89PNG\r\n\x1A\n";

quint32 be32(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return (quint32(u[0]) << 24) | (quint32(u[1]) << 16) | (quint32(u[2]) << 8) | quint32(u[3]);
}

void appendBe32(QByteArray &out, quint32 v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((v >> shift) & 0xFF));
}

quint32 crc32(const QByteArray &bytes)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (const char b : bytes)
        c = table[(c ^ quint8(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

bool hasSignature(const QByteArray &png)
{
    return png.size() >= 8 && png.startsWith(QByteArray::fromRawData(Signature, 8));
}

} // namespace

std::optional<Texts> read(const QByteArray &png, const QByteArray &chunkType, QByteArray *chunkData)
{
    if (!hasSignature(png))
        return std::nullopt;
    Texts texts;
    qsizetype pos = 8;
    bool first = true;
    while (pos + 12 <= png.size()) {
        const quint32 length = be32(png.constData() + pos);
        if (length > quint32(png.size() - pos - 12))
            return std::nullopt;
        const QByteArray type = png.mid(pos + 4, 4);
        if (first && type != "IHDR")
            return std::nullopt;
        first = false;
        const qsizetype data = pos + 8;
        const qsizetype end = data + qsizetype(length) + 4;
        if (type == "IEND")
            return end == png.size() ? std::optional<Texts>(texts) : std::nullopt;
        if (chunkData && type == chunkType && chunkData->isNull())
            *chunkData = png.mid(data, qsizetype(length));
        if (type == "tEXt" || type == "zTXt") {
            const QByteArray chunk = png.mid(data, qsizetype(length));
            const qsizetype nul = chunk.indexOf('\0');
            if (nul > 0) {
                QByteArray value = chunk.mid(nul + 1);
                if (type == "zTXt") {
                    // A method byte (0: zlib), then the stream; qUncompress wants a size first.
                    if (value.isEmpty() || value[0] != 0)
                        value.clear();
                    else
                        value = qUncompress(QByteArray("\0\0\x10\0", 4) + value.mid(1));
                }
                texts.insert(chunk.left(nul), value);
            }
        }
        pos = end;
    }
    return std::nullopt;
}

QByteArray withTexts(const QByteArray &png, const QList<QPair<QByteArray, QByteArray>> &texts,
                     const QByteArray &chunkType, const QByteArray &chunkData)
{
    if (!hasSignature(png) || png.size() < 33 || png.mid(12, 4) != "IHDR")
        return {};
    const qsizetype afterHeader = 8 + 12 + qsizetype(be32(png.constData() + 8));
    if (afterHeader > png.size())
        return {};
    QByteArray out = png.left(afterHeader);
    auto append = [&out](const QByteArray &body) {
        appendBe32(out, quint32(body.size() - 4));
        out += body;
        appendBe32(out, crc32(body));
    };
    for (const auto &[key, value] : texts)
        append(QByteArray("tEXt") + key + '\0' + value);
    // The picture data first; a chunk of our own goes last, before the end chunk.
    static constexpr qsizetype EndChunk = 12;
    if (chunkType.size() == 4 && !chunkData.isNull() && png.size() - afterHeader >= EndChunk) {
        out += png.mid(afterHeader, png.size() - afterHeader - EndChunk);
        append(chunkType + chunkData);
        out += png.right(EndChunk);
    } else {
        out += png.mid(afterHeader);
    }
    return out;
}

bool chunksFit(QIODevice &file)
{
    const qint64 size = file.size();
    qint64 pos = 8;
    // Enough for any real file's chunks ahead of its picture data.
    for (int chunks = 0; chunks < 100000; ++chunks) {
        char header[8];
        if (!file.seek(pos) || file.read(header, 8) != 8)
            return false;
        const QByteArray type(header + 4, 4);
        if (type == "IDAT" || type == "IEND")
            return true; // a cut-off picture still shows what it holds
        const quint32 length = be32(header);
        if (length > 0x7FFFFFFFu || pos + 12 + qint64(length) > size)
            return false;
        pos += 12 + qint64(length);
    }
    return false;
}

} // namespace PngText

} // namespace vimbrel
