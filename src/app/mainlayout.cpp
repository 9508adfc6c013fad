#include "app/mainlayout.h"

#include <algorithm>
#include <cmath>

namespace vimbrel {

namespace {

void setWidth(TwipRect &r, int width)
{
    if (width >= 0)
        r.width = width;
}

void setHeight(TwipRect &r, int height)
{
    if (height >= 0)
        r.height = height;
}

} // namespace

MainLayout::MainLayout() = default;

void MainLayout::placeWebBesidePane()
{
    if (m_paneShown) {
        m_web.left = m_drive.width + 80;
        setWidth(m_web, m_width - m_web.left - 40);
    } else {
        m_web.left = 40;
        setWidth(m_web, m_width - 80);
    }
}

void MainLayout::resize(int width, int height)
{
    m_width = width;
    m_height = height;
    setWidth(m_drive, width / 5);
    setWidth(m_folders, m_drive.width);
    setHeight(m_folders, height - 1300);
    setHeight(m_web, height - 970);
    placeWebBesidePane();
    m_bar.left = m_drive.width + 40;
    setHeight(m_bar, m_web.height);
    m_labelTop = height - LabelHeight;
    if (width - 11550 >= 0)
        m_lastLabelWidth = width - 11550;
}

void MainLayout::setPaneShown(bool shown)
{
    m_paneShown = shown;
    placeWebBesidePane();
}

bool MainLayout::dragMove(int buttons, int x)
{
    if (buttons != 1)
        return false;
    m_bar.left = m_bar.left + x - BarWidth / 2;
    m_dragging = true;
    return true;
}

void MainLayout::drop()
{
    m_dragging = false;
    const int lowest = 40;
    const int highest = std::max(lowest, m_width - 130);
    m_bar.left = std::clamp(m_bar.left, lowest, highest);
    setWidth(m_drive, m_bar.left - 40);
    setWidth(m_folders, m_drive.width);
    m_web.left = m_bar.left + BarWidth;
    setWidth(m_web, m_width - m_web.left - 40);
}

TwipRect MainLayout::label(int index) const
{
    const auto i = std::size_t(std::clamp(index, 0, 6));
    return {LabelLefts[i], m_labelTop, i == 6 ? m_lastLabelWidth : LabelWidths[i], LabelHeight};
}

} // namespace vimbrel
