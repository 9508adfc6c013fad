#include "gallery/thumbnailpage.h"

#include "folders/folderlisting.h"
#include "platform/filenames.h"
#include "platform/rounding.h"

#include <cmath>
#include <limits>

namespace vimbrel {

namespace ThumbnailPage {

namespace {

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7F;
}

// A file name goes after title= unquoted when nothing in it can end or change the attribute:
// no blank or control character, no quote, no = < > & and no backtick. Anything else (and an
// empty name) is quoted and written with numeric character references, so the tooltip is the
// whole name and no part of it becomes markup.
bool titleIsSafe(QStringView name)
{
    if (name.isEmpty())
        return false;
    for (const QChar ch : name) {
        const char16_t c = ch.unicode();
        if (isControl(c))
            return false;
        switch (c) {
        case u' ':
        case u'"':
        case u'\'':
        case u'<':
        case u'>':
        case u'&':
        case u'=':
        case u'`':
            return false;
        default:
            break;
        }
    }
    return true;
}

QString titleAttribute(QStringView name)
{
    if (titleIsSafe(name))
        return name.toString();
    QString out;
    out.reserve(name.size() + 16);
    out += QLatin1Char('"');
    for (const QChar ch : name) {
        const char16_t c = ch.unicode();
        switch (c) {
        case u'&':
        case u'<':
        case u'>':
        case u'"':
        case u'\'':
        case u'`':
            out += QStringLiteral("&#%1;").arg(int(c));
            break;
        default:
            if (isControl(c))
                out += QStringLiteral("&#%1;").arg(int(c));
            else
                out += ch;
        }
    }
    out += QLatin1Char('"');
    return out;
}

// The path as the address of href= and src= (inside double quotes), read relative to the page's
// own file: URL. Percent-encoded are only the characters that would make the browser open another
// file or leave the attribute: % (an escape of its own), # and ? (fragment, query), " (ends the
// attribute), & (a character reference), < >, the blank (a trailing one is stripped from
// addresses), control characters (dropped from addresses), backslash (read as "/" in file URLs)
// and a colon before the first "/" that would make a scheme such as "javascript:" (a drive
// letter's colon stays). A byte of the name that is not UTF-8 is written as its own escape, so
// the address names that very file. "/" and everything else, non-ASCII letters included, stays
// as it is; the page is UTF-8 and the browser encodes those itself.
bool needsEncoding(QStringView path, qsizetype i, qsizetype firstSlash)
{
    const char16_t c = path[i].unicode();
    switch (c) {
    case u'%':
    case u'#':
    case u'?':
    case u'"':
    case u'&':
    case u'<':
    case u'>':
    case u' ':
    case u'\\':
        return true;
    case u':':
        return (firstSlash < 0 || i < firstSlash) && !(i == 1 && path[0].isLetter());
    default:
        return isControl(c) || FileNames::strayByte(path, i) >= 0;
    }
}

QString addressOf(const QString &path)
{
    const qsizetype firstSlash = path.indexOf(QLatin1Char('/'));
    // A path that holds bytes that are not UTF-8 is written wholly in escapes past ASCII, so
    // the address spells the name's bytes one by one.
    const bool bytes = FileNames::hasStrayBytes(path);
    const auto escaped = [&](qsizetype i) {
        return needsEncoding(path, i, firstSlash) || (bytes && path[i].unicode() >= 0x80);
    };
    qsizetype i = 0;
    while (i < path.size() && !escaped(i))
        ++i;
    if (i == path.size())
        return path;
    static constexpr char Hex[] = "0123456789ABCDEF";
    QString out = path.left(i);
    out.reserve(path.size() + 16);
    const auto escape = [&](unsigned char byte) {
        out += QLatin1Char('%');
        out += QLatin1Char(Hex[byte >> 4]);
        out += QLatin1Char(Hex[byte & 0xF]);
    };
    for (; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        if (!escaped(i)) {
            out += QChar(c);
        } else if (const int byte = FileNames::strayByte(path, i); byte >= 0) {
            escape(static_cast<unsigned char>(byte));
        } else if (c < 0x80) {
            escape(static_cast<unsigned char>(c));
        } else {
            // A character, a surrogate pair taken whole: its UTF-8 bytes.
            const qsizetype length = QChar::isHighSurrogate(c) && i + 1 < path.size() ? 2 : 1;
            for (const char byte : QStringView(path).mid(i, length).toUtf8())
                escape(static_cast<unsigned char>(byte));
            i += length - 1;
        }
    }
    return out;
}

} // namespace

int baseWidth(int viewWidthPixels)
{
    return viewWidthPixels - 30;
}

int matrixWidth(int w0, int matrixMode)
{
    switch (matrixMode) {
    case 1:
        return roundHalfEven(w0 / 2.0 - 5.0);
    case 2:
        return roundHalfEven(w0 / 3.0 - 7.0);
    case 3:
        return roundHalfEven(w0 / 4.0 - 8.0);
    default:
        return w0;
    }
}

int pageCount(int imageCount, int pageSize)
{
    if (imageCount <= 0 || pageSize <= 0)
        return 0;
    return imageCount / pageSize + (imageCount % pageSize != 0 ? 1 : 0);
}

int widthAttribute(int matrixMode, DisplayStyle style, int width, int pictureWidth)
{
    const bool paragraph = style == DisplayStyle::Centre && matrixMode == 0;
    const bool inlineWidth =
        style == DisplayStyle::Stretch || (style == DisplayStyle::Centre && matrixMode != 0);
    return inlineWidth || (paragraph && pictureWidth > width) ? width : 0;
}

QString pictureLine(const QString &path, int matrixMode, DisplayStyle style, int width,
                    int pictureWidth)
{
    // The tooltip is for people: the name's readable form.
    const QStringView stored = QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const QString shown =
        FileNames::hasStrayBytes(stored) ? FileNames::readable(stored) : QString();
    const QStringView name = shown.isEmpty() ? stored : QStringView(shown);
    const QString address = addressOf(path);
    const bool paragraph = style == DisplayStyle::Centre && matrixMode == 0;
    const bool inlineWidth =
        style == DisplayStyle::Stretch || (style == DisplayStyle::Centre && matrixMode != 0);

    QString line;
    line.reserve(2 * address.size() + name.size() + 112);
    if (paragraph)
        line += QLatin1String("<p>");
    line += QLatin1String("<a href=\"");
    line += address;
    line += QLatin1String("\" target=\"_blank\"><img border=\"1\" src=\"");
    line += address;
    if (inlineWidth)
        line += QLatin1String("\"  width=") + QString::number(width) + QLatin1String(" title=");
    else if (paragraph && pictureWidth > width)
        line += QLatin1String("\" width=") + QString::number(width) + QLatin1String(" title=");
    else
        line += QLatin1String("\" title=");
    if (titleIsSafe(name))
        line += name;
    else
        line += titleAttribute(name);
    if (style == DisplayStyle::Tile)
        line += QLatin1String(" ></a>");
    else if (paragraph)
        line += QLatin1String(" ></a></p> ");
    else
        line += QLatin1String(" ></a> ");
    return line;
}

Result build(const Request &request, const WidthFunction &widthOf)
{
    Result result;
    const bool centred = request.style == DisplayStyle::Centre;
    const bool withDiv = !centred || request.matrixMode == 0;
    const int width = request.style == DisplayStyle::Stretch ? request.w0
                      : centred ? matrixWidth(request.w0, request.matrixMode)
                                : 0;
    const int count = request.images ? request.images->count() : 0;
    const int pageSize = request.pageSize > 0 ? request.pageSize : 0;
    // 64 bits: a far page number times the page size does not fit in 32.
    const qint64 first = (qint64(request.currentPage) - 1) * pageSize;

    result.lines.reserve(qBound(0, count, pageSize) * 2 + 6);
    result.lines << QStringLiteral("<body bgcolor=") + request.background + QLatin1Char('>');
    result.lines << QStringLiteral("<body oncontextmenu=self.event.returnValue=false topmargin=0 "
                                   "leftmargin=0 rightmargin=0 bottommargin=0>");
    if (withDiv)
        result.lines << QStringLiteral("<div align=center>");

    for (qint64 i = first; i < first + pageSize && i < count; ++i) {
        if (i < 0)
            continue; // a page before the first holds nothing
        const QString &path = request.images->at(int(i));
        if (result.pictureCount == 0)
            result.pageFolder = folderOf(path);
        int pictureWidth = 0;
        if (centred && request.matrixMode == 0 && widthOf)
            pictureWidth = widthOf(path);
        result.lines << pictureLine(path, request.matrixMode, request.style, width, pictureWidth);
        result.pictures.append(
            {path, widthAttribute(request.matrixMode, request.style, width, pictureWidth)});
        // The picture's text ends in a line break of its own before the line's: an empty line.
        result.lines << QString();
        ++result.pictureCount;
    }

    result.nextEnabled = first + pageSize < count;
    result.pageCount = pageCount(count, pageSize);

    if (withDiv)
        result.lines << QStringLiteral("</div>");
    result.lines << QStringLiteral("</body>");
    return result;
}

} // namespace ThumbnailPage

} // namespace vimbrel
