#include "preview/previewpage.h"

#include <QDir>

#include <cmath>

#include "platform/filenames.h"

namespace vimbrel {

QString PreviewPage::host() const
{
    return QStringLiteral("p%1").arg(m_generation);
}

QUrl PreviewPage::address(const QString &path) const
{
    QUrl url;
    url.setScheme(QLatin1String(Scheme));
    url.setHost(host());
    const QString clean = QDir::fromNativeSeparators(path);
    // A name that is not UTF-8 is addressed by its own bytes.
    if (FileNames::hasStrayBytes(clean))
        url.setPath(FileNames::encodedPath(clean), QUrl::TolerantMode);
    else
        url.setPath(clean, QUrl::DecodedMode);
    return url;
}

QString PreviewPage::localPath(const QUrl &url)
{
    if (url.scheme() != QLatin1String(Scheme))
        return {};
    return FileNames::pathOf(url);
}

void PreviewPage::set(const QString &pageFile, const QHash<QString, int> &widths, double pixelRatio)
{
    ++m_generation;
    m_pageFile = QDir::cleanPath(pageFile);
    m_pictures.clear();
    m_pictures.reserve(widths.size());
    const double ratio = pixelRatio > 0 ? pixelRatio : 1.0;
    for (auto it = widths.cbegin(); it != widths.cend(); ++it) {
        // Twice the shown width leaves room for zooming in before the preview looks soft.
        const int width = it.value() > 0 ? int(std::ceil(it.value() * ratio * 2)) : 0;
        m_pictures.insert(QDir::cleanPath(it.key()), {it.key(), width});
    }
}

void PreviewPage::clear()
{
    ++m_generation;
    m_pageFile.clear();
    m_pictures.clear();
}

PreviewPage::Answer PreviewPage::answer(const QUrl &url) const
{
    const QString path = localPath(url);
    if (path.isEmpty() || m_pageFile.isEmpty() || !url.query().isEmpty())
        return {};
    const QString clean = QDir::cleanPath(path);
    if (url.host() != host()) {
        // An earlier page, gone back to in the view's history: the page on view instead, as the
        // same file loaded without previews would be.
        if (clean == m_pageFile)
            return {Kind::Moved, m_pageFile, 0};
        return {};
    }
    if (clean == m_pageFile)
        return {Kind::Page, m_pageFile, 0};
    const auto it = m_pictures.constFind(clean);
    if (it == m_pictures.cend())
        return {};
    return {Kind::Picture, it->path, it->width};
}

} // namespace vimbrel
