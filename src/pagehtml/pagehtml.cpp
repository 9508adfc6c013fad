#include "pagehtml/pagehtml.h"

#include <string_view>

#include "platform/filenames.h"

namespace vimbrel {

namespace PageHtml {

namespace {

constexpr char Hex[] = "0123456789ABCDEF";

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7F;
}

// Characters an address may carry into a double-quoted attribute as they are: the letters,
// digits and punctuation of ordinary addresses and every character above the controls (the
// page is UTF-8). Anything else (" < > ` \ ^ { | }, blanks, controls) is percent-encoded.
bool keptAsIs(char16_t c)
{
    if (c >= 0xA0)
        return true;
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
        return true;
    static constexpr char16_t Punctuation[] = u"-._~:/?#[]@!$'()*+,;=%&";
    return std::u16string_view(Punctuation).find(c) != std::u16string_view::npos;
}

bool isAsciiAlnum(QChar c)
{
    return c.unicode() < 0x80 && c.isLetterOrNumber();
}

// An "&" stays as it is where a browser reads it as text: "&key=" of a query, or an "&" not
// followed by a name or "#". Elsewhere ("&copy;", "&lt/", "&#38;") the browser would decode a
// character reference and fetch another address, so it is written as "&amp;".
bool ampersandNeedsEscape(const QString &address, qsizetype at)
{
    qsizetype i = at + 1;
    if (i < address.size() && address[i] == QLatin1Char('#'))
        return true;
    if (i >= address.size() || !isAsciiAlnum(address[i]))
        return false;
    while (i < address.size() && isAsciiAlnum(address[i]))
        ++i;
    return i >= address.size() || address[i] != QLatin1Char('=');
}

bool writtenAsIs(const QString &address, qsizetype i)
{
    const char16_t c = address[i].unicode();
    return keptAsIs(c) && !(c == u'&' && ampersandNeedsEscape(address, i));
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

// A text goes after an attribute's = unquoted when nothing in it can end or change the
// attribute: no blank or control character, no quote, no = < > & and no backtick. Anything else
// (and an empty text) is quoted and written with numeric character references, so the tooltip
// is the whole text and no part of it becomes markup.
bool textIsSafe(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar ch : text) {
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

} // namespace

QString colourBody(QStringView colour)
{
    return QLatin1String("<body bgcolor=") + colour + QLatin1Char('>');
}

QString colourAttribute(QStringView colour)
{
    QString out;
    for (const QChar ch : colour) {
        if (ch == QLatin1Char('#') || (ch.unicode() < 0x80 && ch.isLetterOrNumber()))
            out += ch;
    }
    return out.isEmpty() ? QStringLiteral("#FFFFFF") : out;
}

QString marginlessBody()
{
    return QStringLiteral("<body oncontextmenu=self.event.returnValue=false topmargin=0 "
                          "leftmargin=0 rightmargin=0 bottommargin=0>");
}

QString marginlessBodyReturnFalse()
{
    return QStringLiteral("<body oncontextmenu=\"return false\" topmargin=0 leftmargin=0 "
                          "rightmargin=0 bottommargin=0>");
}

QString centredDiv()
{
    return QStringLiteral("<div align=center>");
}

QString pictureOpen(QStringView address)
{
    return QLatin1String("<img border=\"1\" src=\"") + address;
}

QString attributeAddress(const QString &address)
{
    qsizetype i = 0;
    while (i < address.size() && writtenAsIs(address, i))
        ++i;
    if (i == address.size())
        return address;
    QString out = address.left(i);
    out.reserve(address.size() + 16);
    for (; i < address.size(); ++i) {
        const QChar c = address[i];
        if (writtenAsIs(address, i)) {
            out += c;
        } else if (c == QLatin1Char('&')) {
            out += QLatin1String("&amp;");
        } else {
            for (const char byte : QString(c).toUtf8()) {
                out += QLatin1Char('%');
                out += QLatin1Char(Hex[(uchar(byte) >> 4) & 0xF]);
                out += QLatin1Char(Hex[uchar(byte) & 0xF]);
            }
        }
    }
    return out;
}

QString pathAddress(const QString &path)
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

QString attributeText(QStringView text)
{
    if (textIsSafe(text))
        return text.toString();
    QString out;
    out.reserve(text.size() + 16);
    out += QLatin1Char('"');
    for (const QChar ch : text) {
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

} // namespace PageHtml

} // namespace vimbrel
