#include "gallery/gallery.h"

#include "platform/dialogs.h"
#include "platform/numberanswer.h"
#include "platform/pagefiles.h"
#include "gallery/picturewidth.h"

#include <limits>
#include <utility>

namespace vimbrel {

Gallery::Gallery(QString pageFile, ThumbnailPage::WidthFunction widthOf)
    : m_pageFile(std::move(pageFile)), m_widthOf(std::move(widthOf))
{
    if (!m_widthOf)
        m_widthOf = [](const QString &path) { return pictureWidth(path); };
}

QString Gallery::pathLabel() const
{
    return QStringLiteral("當前路徑：") + m_pageFolder;
}

QString Gallery::countLabel() const
{
    return QStringLiteral("圖片總數：") + QString::number(m_images.count());
}

QString Gallery::headerLabel() const
{
    return QStringLiteral("Tarnell     第 ") + QString::number(m_currentPage) +
           QStringLiteral(" 頁  ， 共 ") + QString::number(m_pageCount) + QStringLiteral(" 頁");
}

bool Gallery::build(int viewWidthTwips, DisplayStyle style)
{
    m_style = style;
    ThumbnailPage::Request request;
    request.images = &m_images;
    request.currentPage = m_currentPage;
    request.pageSize = m_pageSize;
    request.background = m_background;
    request.matrixMode = m_matrixMode;
    request.style = style;
    request.w0 = ThumbnailPage::baseWidth(viewWidthTwips);

    const ThumbnailPage::Result page = ThumbnailPage::build(request, m_widthOf);
    // A page file that cannot be written is not fatal: the view shows whatever the file holds.
    m_pageWritten = PageFiles::writeLines(m_pageFile, page.lines);
    if (page.pictureCount > 0)
        m_pageFolder = page.pageFolder;
    m_nextEnabled = page.nextEnabled;
    m_pagePictures = page.pictures;
    m_pageCount = page.pageCount;
    return true;
}

bool Gallery::showPage(int viewWidthTwips)
{
    return build(viewWidthTwips, DisplayStyle::Centre);
}

bool Gallery::firstPage(int viewWidthTwips)
{
    m_currentPage = 1;
    m_previousEnabled = false;
    return showPage(viewWidthTwips);
}

bool Gallery::nextPage(int viewWidthTwips)
{
    if (m_currentPage < std::numeric_limits<int>::max())
        ++m_currentPage;
    m_previousEnabled = true;
    return showPage(viewWidthTwips);
}

bool Gallery::previousPage(int viewWidthTwips)
{
    if (m_currentPage > std::numeric_limits<int>::min())
        --m_currentPage;
    if (m_currentPage < 2)
        m_previousEnabled = false;
    return showPage(viewWidthTwips);
}

bool Gallery::jumpTo(int page, int viewWidthTwips)
{
    if (page < 1)
        return false;
    m_previousEnabled = page >= 2;
    m_currentPage = page;
    return showPage(viewWidthTwips);
}

bool Gallery::refresh(int viewWidthTwips)
{
    if (m_images.isEmpty())
        return false;
    return showPage(viewWidthTwips);
}

bool Gallery::cycleMatrixMode(int viewWidthTwips)
{
    if (m_images.isEmpty())
        return false;
    m_matrixMode = m_matrixMode >= 3 ? 0 : m_matrixMode + 1;
    return showPage(viewWidthTwips);
}

bool Gallery::cycleDisplayStyle(int viewWidthTwips)
{
    if (m_images.isEmpty())
        return false;
    m_matrixMode = 0;
    // Every centred build resets the style, so presses go stretch, tile, centre.
    switch (m_style) {
    case DisplayStyle::Centre:
        return build(viewWidthTwips, DisplayStyle::Stretch);
    case DisplayStyle::Stretch:
        return build(viewWidthTwips, DisplayStyle::Tile);
    case DisplayStyle::Tile:
        break;
    }
    return showPage(viewWidthTwips);
}

bool Gallery::askJump(Dialogs &dialogs, int viewWidthTwips)
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
            return jumpTo(number.value, viewWidthTwips);
        return false;
    }
}

} // namespace vimbrel
