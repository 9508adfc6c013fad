#include "search/extraction.h"

#include <QUrl>

#include "platform/settingskeys.h"
#include "search/searchqueries.h"

namespace vimbrel {

namespace Extraction {

Rule ruleFor(const QString &addressBoxText, const QString &host)
{
    return addressBoxText.startsWith(SearchQueries::searchResultPrefix(host), Qt::CaseSensitive)
               ? Rule::SearchResult
               : Rule::Page;
}

bool acceptableScheme(const QString &address)
{
    // Read the scheme as a browser does: blanks and controls before it are dropped, tabs and
    // line breaks inside it are ignored.
    QString cleaned;
    qsizetype i = 0;
    while (i < address.size() && address[i].unicode() <= 0x20)
        ++i;
    for (; i < address.size(); ++i) {
        const QChar c = address[i];
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            continue;
        if (c == QLatin1Char(':') || c == QLatin1Char('/') || c == QLatin1Char('?') ||
            c == QLatin1Char('#'))
            break;
        cleaned += c;
    }
    if (i >= address.size() || address[i] != QLatin1Char(':'))
        return true; // no scheme: the address stays relative to the results page
    bool isScheme = !cleaned.isEmpty() && cleaned[0].unicode() < 0x80 && cleaned[0].isLetter();
    for (const QChar c : cleaned) {
        isScheme = isScheme && c.unicode() < 0x80 &&
                   (c.isLetterOrNumber() || c == QLatin1Char('+') || c == QLatin1Char('-') ||
                    c == QLatin1Char('.'));
    }
    if (!isScheme)
        return true; // the colon belongs to a path or query, not to a scheme
    // Only schemes that name a picture: javascript:, vbscript:, about: and the like are refused.
    static const QStringList Allowed = {QStringLiteral("http"), QStringLiteral("https"),
                                        QStringLiteral("file"), QStringLiteral("data")};
    return Allowed.contains(cleaned, Qt::CaseInsensitive);
}

Options optionsFrom(const Settings &settings)
{
    Options options;
    options.linkedOriginals =
        settings.isOn(SettingsKeys::SearchSection, SettingsKeys::LinkedOriginals);
    return options;
}

bool namesPicture(const QString &address)
{
    static const QStringList Extensions = {
        QStringLiteral("bmp"),  QStringLiteral("jpg"),  QStringLiteral("jpeg"),
        QStringLiteral("gif"),  QStringLiteral("png"),  QStringLiteral("tif"),
        QStringLiteral("tiff"), QStringLiteral("webp"), QStringLiteral("avif")};
    const QString path = QUrl(address).path();
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.indexOf(QLatin1Char('/'), dot) >= 0)
        return false;
    return Extensions.contains(path.mid(dot + 1), Qt::CaseInsensitive);
}

QString pictureAddress(const BrowserView::Element &picture, const Options &options)
{
    if (options.linkedOriginals && !picture.link.isEmpty() && namesPicture(picture.link) &&
        acceptableScheme(picture.link))
        return picture.link;
    return picture.href;
}

namespace {

// The picture address a result link carries after its last "http", with only the escapes of
// "/" and ":" decoded; empty when it is not a ".jpg" address.
QString carriedPicture(const QString &link)
{
    QString picture = link.mid(link.lastIndexOf(QLatin1String("http")));
    picture.replace(QLatin1String("%2F"), QLatin1String("/"));
    picture.replace(QLatin1String("%3A"), QLatin1String(":"));
    return picture.endsWith(QLatin1String(".jpg")) ? picture : QString();
}

} // namespace

void extract(Rule rule, const QList<BrowserView::Element> &elements, const QString &host,
             ResultList &into, const Options &options)
{
    into.clear();
    if (rule == Rule::SearchResult) {
        const QString prefix = SearchQueries::resultLinkPrefix(host);
        for (const BrowserView::Element &element : elements) {
            if (element.tagName != QLatin1String("A") || !element.href.startsWith(prefix))
                continue;
            const QString picture = carriedPicture(element.href);
            if (picture.isEmpty() || !acceptableScheme(picture))
                continue;
            if (!into.append(picture))
                return;
        }
        return;
    }
    for (const BrowserView::Element &element : elements) {
        if (element.tagName != QLatin1String("IMG"))
            continue;
        const QString address = pictureAddress(element, options);
        if (address.isEmpty() || address.endsWith(QLatin1String(".gif")) ||
            !acceptableScheme(address))
            continue;
        if (!into.append(address))
            return;
    }
}

} // namespace Extraction

} // namespace vimbrel
