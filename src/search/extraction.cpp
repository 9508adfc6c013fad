#include "search/extraction.h"

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
    // Only schemes that name a picture; everything else (javascript:, vbscript:, about:, an
    // address without a scheme, blanks or controls before or inside the scheme) is refused.
    const qsizetype colon = address.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    const QStringView scheme = QStringView(address).left(colon);
    return scheme.compare(QLatin1String("http"), Qt::CaseInsensitive) == 0 ||
           scheme.compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 ||
           scheme.compare(QLatin1String("file"), Qt::CaseInsensitive) == 0 ||
           scheme.compare(QLatin1String("data"), Qt::CaseInsensitive) == 0;
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
             ResultList &into)
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
        if (element.tagName != QLatin1String("IMG") ||
            element.href.endsWith(QLatin1String(".gif")) || !acceptableScheme(element.href))
            continue;
        if (!into.append(element.href))
            return;
    }
}

} // namespace Extraction

} // namespace vimbrel
