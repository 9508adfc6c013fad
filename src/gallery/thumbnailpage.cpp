#include "gallery/thumbnailpage.h"

#include <cmath>
#include <limits>

#include "folders/folderlisting.h"
#include "pagehtml/pagehtml.h"
#include "platform/filenames.h"
#include "platform/rounding.h"

namespace vimbrel {

namespace ThumbnailPage {

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
    const QString address = PageHtml::pathAddress(path);
    const bool paragraph = style == DisplayStyle::Centre && matrixMode == 0;
    const bool inlineWidth =
        style == DisplayStyle::Stretch || (style == DisplayStyle::Centre && matrixMode != 0);

    QString line;
    line.reserve(2 * address.size() + name.size() + 112);
    if (paragraph)
        line += QLatin1String("<p>");
    line += PageHtml::LinkOpen;
    line += address;
    line += PageHtml::LinkToPicture;
    line += address;
    if (inlineWidth)
        line += QLatin1String("\"  width=") + QString::number(width) + QLatin1String(" title=");
    else if (paragraph && pictureWidth > width)
        line += QLatin1String("\" width=") + QString::number(width) + QLatin1String(" title=");
    else
        line += QLatin1String("\" title=");
    line += PageHtml::attributeText(name);
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
    result.lines << PageHtml::colourBody(request.background) << PageHtml::marginlessBody();
    if (withDiv)
        result.lines << PageHtml::centredDiv();

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
