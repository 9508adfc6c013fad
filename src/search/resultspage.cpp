#include "search/resultspage.h"

#include "pagehtml/pagehtml.h"
#include "platform/rounding.h"

namespace vimbrel {

namespace ResultsPage {

QStringList extractionLines(Extraction::Rule rule, const ResultList &list)
{
    QStringList lines;
    lines.reserve(1 + 2 * list.count());
    lines.append(PageHtml::marginlessBodyReturnFalse());
    const bool searchResult = rule == Extraction::Rule::SearchResult;
    for (const QString &entry : list.entries()) {
        const QString u = PageHtml::attributeAddress(entry);
        if (searchResult)
            lines.append(QLatin1String("<center><p>") + PageHtml::LinkOpen + u +
                         PageHtml::LinkToPicture + u + QLatin1String("\"></a></p></center>"));
        else
            lines.append(PageHtml::LinkOpen + u + PageHtml::LinkToPicture + u +
                         QLatin1String("\"></a> "));
        lines.append(QString());
    }
    return lines;
}

QStringList relayoutLines(const ResultList &list, int matrixMode, int width,
                          const QString &background)
{
    QStringList lines;
    lines.reserve(5 + 2 * list.count());
    lines.append(PageHtml::colourBody(PageHtml::colourAttribute(background)));
    lines.append(PageHtml::marginlessBody());
    const bool ownSize = matrixMode == 0;
    if (ownSize)
        lines.append(PageHtml::centredDiv());
    const QString widthEnd =
        QStringLiteral("\" width=") + QString::number(width) + QStringLiteral("></a>");
    for (const QString &entry : list.entries()) {
        const QString u = PageHtml::attributeAddress(entry);
        if (ownSize)
            lines.append(QLatin1String("<center>") + PageHtml::LinkOpen + u +
                         PageHtml::LinkToPicture + u + QLatin1String("\"></a> </center>"));
        else
            lines.append(PageHtml::LinkOpen + u + PageHtml::LinkToPicture + u + widthEnd);
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
