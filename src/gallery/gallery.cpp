#include "gallery/gallery.h"

#include <QDir>

#include <limits>
#include <utility>

#include "folders/folderlisting.h"
#include "gallery/gallerylabels.h"
#include "gallery/picturewidth.h"
#include "platform/dialogs.h"
#include "platform/numberanswer.h"
#include "platform/pagefiles.h"
#include "platform/rounding.h"
#include "platform/settings.h"

namespace vimbrel {

int Gallery::pageSizeFrom(const std::optional<QString> &stored)
{
    int size = 0;
    if (stored) {
        bool ok = false;
        const double number = stored->trimmed().toDouble(&ok);
        if (ok) {
            if (const auto whole = roundHalfEvenChecked(number))
                size = *whole;
        }
    }
    if (size < MinPageSize || size > MaxPageSize)
        size = DefaultPageSize;
    return size;
}

Gallery::Gallery(QString pageFile, ThumbnailPage::WidthFunction widthOf, QObject *parent)
    : QObject(parent), m_pageFile(std::move(pageFile)), m_widthOf(std::move(widthOf)),
      m_pageFolder(folderWithSlash(QDir::homePath()))
{
    setObjectName(QStringLiteral("Gallery"));
    if (!m_widthOf)
        m_widthOf = [](const QString &path) { return pictureWidth(path); };
}

QString Gallery::pathLabel() const
{
    return m_built ? GalleryLabels::path(m_pageFolder) : GalleryLabels::PathUnknown;
}

QString Gallery::countLabel() const
{
    return GalleryLabels::count(m_images.count());
}

QString Gallery::headerLabel() const
{
    return m_built ? GalleryLabels::header(m_currentPage, m_pageCount) : GalleryLabels::HeaderStart;
}

QString Gallery::perPageLabel() const
{
    return GalleryLabels::perPage(m_pageSize);
}

void Gallery::setPageSize(int size)
{
    m_pageSize = size;
    if (!m_built)
        return;
    m_pageCount = ThumbnailPage::pageCount(m_images.count(), m_pageSize);
    if (m_pageCount > 0 && m_currentPage > m_pageCount) {
        m_currentPage = m_pageCount;
        m_previousEnabled = m_currentPage >= 2;
    }
    m_nextEnabled = qint64(m_currentPage) * m_pageSize < m_images.count();
}

void Gallery::readPageSize(const Settings &settings)
{
    m_pageSize = pageSizeFrom(settings.value(SettingsSection, PageSizeKey));
}

bool Gallery::askPageSize(Dialogs &dialogs, Settings &settings)
{
    const auto answer = dialogs.inputBox(
        QStringLiteral("設置圖片瀏覽器每頁顯示的圖片數目：\r\n\r\n範圍（30 < m > 200）"),
        QStringLiteral("系統設置"), QString::number(m_pageSize));
    const NumberAnswer::Answer n = NumberAnswer::read(answer);
    if (!n.inRange || n.value < MinPageSize || n.value > MaxPageSize)
        return false;
    settings.setValue(SettingsSection, PageSizeKey, QString::number(n.value));
    setPageSize(n.value);
    return true;
}

void Gallery::openFolder(const QString &folder)
{
    m_pageFolder = folderWithSlash(folder);
    listFolder(m_pageFolder, m_images);
    firstPage();
}

void Gallery::showImages(ImageList images)
{
    m_images = std::move(images);
    firstPage();
}

void Gallery::clear()
{
    m_images.reset();
}

bool Gallery::build(DisplayStyle style)
{
    m_style = style;
    ThumbnailPage::Request request;
    request.images = &m_images;
    request.currentPage = m_currentPage;
    request.pageSize = m_pageSize;
    request.background = m_background;
    request.matrixMode = m_matrixMode;
    request.style = style;
    request.w0 = ThumbnailPage::baseWidth(m_viewWidth);

    const ThumbnailPage::Result page = ThumbnailPage::build(request, m_widthOf);
    // A page file that cannot be written is not fatal: the window says why nothing shows.
    m_pageWritten = !m_pageFile.isEmpty() && PageFiles::writeLines(m_pageFile, page.lines);
    if (page.pictureCount > 0)
        m_pageFolder = page.pageFolder;
    m_nextEnabled = page.nextEnabled;
    m_pagePictures = page.pictures;
    m_pageCount = page.pageCount;
    m_built = true;
    Q_EMIT pageBuilt();
    return true;
}

bool Gallery::showPage()
{
    return build(DisplayStyle::Centre);
}

bool Gallery::firstPage()
{
    m_currentPage = 1;
    m_previousEnabled = false;
    return showPage();
}

bool Gallery::nextPage()
{
    if (m_currentPage < std::numeric_limits<int>::max())
        ++m_currentPage;
    m_previousEnabled = true;
    return showPage();
}

bool Gallery::previousPage()
{
    if (m_currentPage > std::numeric_limits<int>::min())
        --m_currentPage;
    if (m_currentPage < 2)
        m_previousEnabled = false;
    return showPage();
}

bool Gallery::jumpTo(int page)
{
    if (page < 1)
        return false;
    m_previousEnabled = page >= 2;
    m_currentPage = page;
    return showPage();
}

bool Gallery::refresh()
{
    if (m_images.isEmpty())
        return false;
    return showPage();
}

bool Gallery::cycleMatrixMode()
{
    if (m_images.isEmpty())
        return false;
    m_matrixMode = m_matrixMode >= 3 ? 0 : m_matrixMode + 1;
    return showPage();
}

bool Gallery::cycleDisplayStyle()
{
    if (m_images.isEmpty())
        return false;
    m_matrixMode = 0;
    // Every centred build resets the style, so presses go stretch, tile, centre.
    switch (m_style) {
    case DisplayStyle::Centre:
        return build(DisplayStyle::Stretch);
    case DisplayStyle::Stretch:
        return build(DisplayStyle::Tile);
    case DisplayStyle::Tile:
        break;
    }
    return showPage();
}

bool Gallery::changeBackground(const QString &colour)
{
    if (m_images.isEmpty())
        return false;
    m_background = colour;
    return showPage();
}

bool Gallery::askJump(Dialogs &dialogs)
{
    // Asks again after every out-of-range answer; only a page in range, a number below 1 or a
    // cancel ends it.
    for (;;) {
        const auto answer =
            dialogs.inputBox(QStringLiteral("請輸入即將跳轉的頁面序號……"),
                             QStringLiteral("跳轉頁面至"), QString::number(m_currentPage));
        const NumberAnswer::Answer number = NumberAnswer::read(answer);
        const bool beyond = number.inRange ? number.value > m_pageCount : number.positive;
        if (beyond) {
            dialogs.messageBox(QStringLiteral("總共只有 ") + QString::number(m_pageCount) +
                                   QStringLiteral(" 頁，您超出範圍了！"),
                               QStringLiteral("Vimbrel"), MessageIcon::Information);
            continue;
        }
        if (number.inRange && number.value >= 1)
            return jumpTo(number.value);
        return false;
    }
}

} // namespace vimbrel
