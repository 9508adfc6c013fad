#include "detail/detailpage.h"

#include <QUrl>

#include "pagehtml/pagehtml.h"

namespace vimbrel {

namespace DetailPage {

namespace {

const QString Fallback = QStringLiteral("picture");
constexpr int LongestName = 200;

// Characters no file name may carry on one of the desktops the program runs on.
bool keptInName(QChar c)
{
    if (c.unicode() < 0x20 || c.unicode() == 0x7F)
        return false;
    return !QStringLiteral("/\\:*?\"<>|").contains(c);
}

} // namespace

QStringList lines(const QString &address)
{
    return {PageHtml::colourBody(u"0"),
            PageHtml::marginlessBody(),
            PageHtml::centredDiv(),
            QStringLiteral("<p>") + PageHtml::pictureOpen(PageHtml::attributeAddress(address)) +
                QStringLiteral("\" title=圖像 ></p> "),
            QString(),
            QStringLiteral("</div>"),
            QStringLiteral("</body>")};
}

QString caption(const QString &address)
{
    return QStringLiteral("圖片詳情 - ") + address;
}

QString suggestedFileName(const QString &address)
{
    const QUrl url(address);
    // A data: address has no name of its own; its "path" is the data.
    if (!url.isValid() || url.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0)
        return Fallback;
    QString name;
    for (const QChar c : url.fileName(QUrl::FullyDecoded)) {
        if (keptInName(c))
            name += c;
    }
    name = name.trimmed();
    // A name of dots only would be read as this folder or the one above it.
    if (name.isEmpty() || name.count(QLatin1Char('.')) == name.size())
        return Fallback;
    if (name.size() > LongestName)
        name = name.right(LongestName); // the end keeps the extension
    return name;
}

} // namespace DetailPage

} // namespace vimbrel
