#include "platform/filenames.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace vimbrel {

namespace FileNames {

namespace {

constexpr char16_t StrayBase = 0xDC00; // + the byte, 0x80 to 0xFF

// The length of the well-formed UTF-8 sequence starting at p (1 to 4), or 0 when none starts
// there: overlong forms, encoded surrogates and values above U+10FFFF are not UTF-8.
int sequenceLength(const unsigned char *p, qsizetype left)
{
    const unsigned char b = p[0];
    if (b < 0x80)
        return 1;
    const auto follows = [&](qsizetype i, unsigned char low = 0x80, unsigned char high = 0xBF) {
        return i < left && p[i] >= low && p[i] <= high;
    };
    if (b >= 0xC2 && b <= 0xDF)
        return follows(1) ? 2 : 0;
    if (b == 0xE0)
        return follows(1, 0xA0) && follows(2) ? 3 : 0;
    if (b == 0xED)
        return follows(1, 0x80, 0x9F) && follows(2) ? 3 : 0;
    if (b >= 0xE1 && b <= 0xEF)
        return follows(1) && follows(2) ? 3 : 0;
    if (b == 0xF0)
        return follows(1, 0x90) && follows(2) && follows(3) ? 4 : 0;
    if (b >= 0xF1 && b <= 0xF3)
        return follows(1) && follows(2) && follows(3) ? 4 : 0;
    if (b == 0xF4)
        return follows(1, 0x80, 0x8F) && follows(2) && follows(3) ? 4 : 0;
    return 0;
}

// A legacy Chinese decoding of one part of a path, when it decodes cleanly into text: no
// errors, no replacement, control or private-use characters.
QString legacyText(const QByteArray &bytes)
{
    for (const char *encoding : {"Big5", "GB18030"}) {
        QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
        if (!decoder.isValid())
            continue;
        const QString text = decoder(bytes);
        if (decoder.hasError())
            continue;
        const bool clean = std::none_of(text.cbegin(), text.cend(), [](QChar c) {
            const char16_t u = c.unicode();
            return u < 0x20 || u == 0x7F || u == 0xFFFD || (u >= 0xE000 && u <= 0xF8FF);
        });
        if (clean && !text.isEmpty())
            return text;
    }
    return {};
}

QString readablePart(QStringView part)
{
    if (!hasStrayBytes(part))
        return part.toString();
    const QString legacy = legacyText(toBytes(part));
    if (!legacy.isEmpty())
        return legacy;
    QString out;
    out.reserve(part.size() + 8);
    for (qsizetype i = 0; i < part.size(); ++i) {
        const int byte = strayByte(part, i);
        if (byte < 0)
            out += part[i];
        else
            out += QLatin1String("\\x") + QString::number(byte, 16).toUpper();
    }
    return out;
}

} // namespace

QChar *decodeInto(QChar *out, QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        char32_t code = 0;
        switch (sequenceLength(p + i, n - i)) {
        case 0:
            *out++ = QChar(char16_t(StrayBase + b));
            ++i;
            continue;
        case 1:
            *out++ = QChar(char16_t(b));
            ++i;
            continue;
        case 2:
            code = (char32_t(b & 0x1F) << 6) | (p[i + 1] & 0x3F);
            i += 2;
            break;
        case 3:
            code =
                (char32_t(b & 0x0F) << 12) | (char32_t(p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F);
            i += 3;
            break;
        default:
            code = (char32_t(b & 0x07) << 18) | (char32_t(p[i + 1] & 0x3F) << 12) |
                   (char32_t(p[i + 2] & 0x3F) << 6) | (p[i + 3] & 0x3F);
            i += 4;
            break;
        }
        if (QChar::requiresSurrogates(code)) {
            *out++ = QChar(QChar::highSurrogate(code));
            *out++ = QChar(QChar::lowSurrogate(code));
        } else {
            *out++ = QChar(char16_t(code));
        }
    }
    return out;
}

QString fromBytes(QByteArrayView bytes)
{
    QString result(bytes.size(), Qt::Uninitialized);
    result.truncate(decodeInto(result.data(), bytes) - result.constData());
    return result;
}

int strayByte(QStringView path, qsizetype i)
{
    const char16_t c = path[i].unicode();
    if (c < StrayBase + 0x80 || c > StrayBase + 0xFF)
        return -1;
    // The low half of a surrogate pair is a character, not a held byte.
    if (i > 0 && path[i - 1].isHighSurrogate())
        return -1;
    return c - StrayBase;
}

bool hasStrayBytes(QStringView path)
{
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (strayByte(path, i) >= 0)
            return true;
    }
    return false;
}

QByteArray toBytes(QStringView path)
{
    QByteArray out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const int byte = strayByte(path, i);
        if (byte < 0)
            continue;
        out += path.mid(start, i - start).toUtf8();
        out += char(byte);
        start = i + 1;
    }
    if (start == 0)
        return path.toUtf8();
    out += path.mid(start).toUtf8();
    return out;
}

QString readable(QStringView path)
{
    if (!hasStrayBytes(path))
        return path.toString();
    QString out;
    out.reserve(path.size());
    qsizetype start = 0;
    for (;;) {
        const qsizetype slash = path.indexOf(u'/', start);
        out += readablePart(path.mid(start, slash < 0 ? -1 : slash - start));
        if (slash < 0)
            return out;
        out += u'/';
        start = slash + 1;
    }
}

QString encodedPath(QStringView path)
{
    return QString::fromLatin1(toBytes(path).toPercentEncoding("/!$&'()*+,;=:@"));
}

QUrl fileUrl(const QString &path)
{
    if (!hasStrayBytes(path))
        return QUrl::fromLocalFile(path);
    return QUrl(QStringLiteral("file://") + encodedPath(path), QUrl::TolerantMode);
}

QString pathOf(const QUrl &url)
{
    const QString path =
        fromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
    // Windows shapes (a server, a drive letter) as Qt reads them; the rest by their bytes, which
    // QUrl's own decoding would not all keep.
    const bool drive = path.size() >= 3 && path[0] == u'/' && path[1].isLetter() && path[2] == u':';
    if (url.isLocalFile() && (!url.host().isEmpty() || drive))
        return url.toLocalFile();
    return path;
}

bool exists(const QString &path)
{
    if (!hasStrayBytes(path))
        return QFileInfo::exists(path);
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(toBytes(path).toStdString()), error);
}

Status status(const QString &path)
{
    if (!hasStrayBytes(path)) {
        const QFileInfo info(path);
        return {info.isDir(), info.isFile(), info.isReadable()};
    }
    namespace fs = std::filesystem;
    const fs::path native(toBytes(path).toStdString());
    std::error_code error;
    const fs::file_status found = fs::status(native, error);
    if (error)
        return {};
    Status result{fs::is_directory(found), fs::is_regular_file(found), false};
    // Readable: what opening it to read says.
    if (result.folder) {
        const fs::directory_iterator listing(native, error);
        result.readable = !error;
    } else if (result.file) {
        result.readable = std::ifstream(native, std::ios::binary).is_open();
    }
    return result;
}

QString fromArgument(const char *argument)
{
    const QString text = QString::fromLocal8Bit(argument);
    return text.toLocal8Bit() == argument ? text : fromBytes(argument);
}

} // namespace FileNames

} // namespace vimbrel
