#include "search/resultspage.h"

#include "platform/rounding.h"

#include <string_view>

namespace vimbrel {

namespace ResultsPage {

namespace {

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

// Only the characters and digits of a colour, so the body line stays one attribute.
QString colourAttribute(const QString &colour)
{
    QString out;
    for (const QChar ch : colour) {
        if (ch == QLatin1Char('#') || (ch.unicode() < 0x80 && ch.isLetterOrNumber()))
            out += ch;
    }
    return out.isEmpty() ? QStringLiteral("#FFFFFF") : out;
}

const QString TargetOpen = QStringLiteral("\" target=\"_blank\"><img border=\"1\" src=\"");

} // namespace

QString attributeAddress(const QString &address)
{
    qsizetype i = 0;
    while (i < address.size() && writtenAsIs(address, i))
        ++i;
    if (i == address.size())
        return address;
    static constexpr char Hex[] = "0123456789ABCDEF";
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

QStringList extractionLines(Extraction::Rule rule, const ResultList &list)
{
    QStringList lines;
    lines.reserve(1 + 2 * list.count());
    lines.append(QStringLiteral("<body oncontextmenu=\"return false\" topmargin=0 leftmargin=0 "
                                "rightmargin=0 bottommargin=0>"));
    const bool searchResult = rule == Extraction::Rule::SearchResult;
    for (const QString &entry : list.entries()) {
        const QString u = attributeAddress(entry);
        if (searchResult)
            lines.append(QStringLiteral("<center><p><a href=\"") + u + TargetOpen + u +
                         QStringLiteral("\"></a></p></center>"));
        else
            lines.append(QStringLiteral("<a href=\"") + u + TargetOpen + u +
                         QStringLiteral("\"></a> "));
        lines.append(QString());
    }
    return lines;
}

QStringList relayoutLines(const ResultList &list, int matrixMode, int width,
                          const QString &background)
{
    QStringList lines;
    lines.reserve(5 + 2 * list.count());
    lines.append(QStringLiteral("<body bgcolor=") + colourAttribute(background) + QLatin1Char('>'));
    lines.append(QStringLiteral("<body oncontextmenu=self.event.returnValue=false topmargin=0 "
                                "leftmargin=0 rightmargin=0 bottommargin=0>"));
    const bool ownSize = matrixMode == 0;
    if (ownSize)
        lines.append(QStringLiteral("<div align=center>"));
    const QString widthEnd =
        QStringLiteral("\" width=") + QString::number(width) + QStringLiteral("></a>");
    for (const QString &entry : list.entries()) {
        const QString u = attributeAddress(entry);
        if (ownSize)
            lines.append(QStringLiteral("<center><a href=\"") + u + TargetOpen + u +
                         QStringLiteral("\"></a> </center>"));
        else
            lines.append(QStringLiteral("<a href=\"") + u + TargetOpen + u + widthEnd);
        lines.append(QString());
    }
    if (ownSize)
        lines.append(QStringLiteral("</div>"));
    lines.append(QStringLiteral("</body>"));
    return lines;
}

int viewWidth0(int viewWidthTwips)
{
    return roundHalfEven(viewWidthTwips / 15.0 - 40.0);
}

int matrixWidth(int viewWidthTwips, int mode)
{
    const int w0 = viewWidth0(viewWidthTwips);
    switch (mode) {
    case 2:
        return roundHalfEven(w0 / 2.0);
    case 3:
        return roundHalfEven(w0 / 3.0 - 7.0);
    case 4:
        return roundHalfEven(w0 / 4.0 - 8.0);
    default:
        return w0;
    }
}

} // namespace ResultsPage

} // namespace vimbrel
