#include "windowkit/viewcontrols.h"

#include <QAction>
#include <QWidget>

#include <array>
#include <limits>

#include "view/browserview.h"

namespace vimbrel {

namespace {

const std::array<const char *, 9> colourCycle = {"#FF0000", "#CC6600", "#FFFF00",
                                                 "#33CC00", "#33FFCC", "#3300FF",
                                                 "#FF00FF", "#000000", "#FFFFFF"};

} // namespace

ViewControls::ViewControls(ViewControlOptions options, QObject *parent)
    : QObject(parent), m_options(options)
{
    m_timer.setInterval(timedScrollInterval);
    connect(&m_timer, &QTimer::timeout, this, &ViewControls::timerTick);
}

void ViewControls::setView(BrowserView *view)
{
    m_view = view;
}

void ViewControls::watchDownloads(BrowserView *view)
{
    if (view)
        connect(view, &BrowserView::downloadComplete, this, [this] { m_zoom = 100; });
}

void ViewControls::setFocusSink(QWidget *sink)
{
    m_focusSink = sink;
}

QString ViewControls::zoomScript(int zoom)
{
    return QStringLiteral("document.body.style.zoom='") + QString::number(zoom) +
           QStringLiteral("%'");
}

void ViewControls::applyZoom(int zoom)
{
    if (m_view)
        m_view->runScript(zoomScript(zoom));
}

void ViewControls::zoomIn()
{
    step(zoomStep, m_options.raiseToZoomFloor);
    focusAfterZoom();
}

void ViewControls::zoomOut()
{
    step(-zoomStep, m_options.raiseToZoomFloor);
    focusAfterZoom();
}

void ViewControls::zoomBy(int delta)
{
    step(delta, false);
}

void ViewControls::step(int delta, bool raise)
{
    int zoom = m_zoom;
    if (raise && zoom < zoomFloor)
        zoom = zoomFloor;
    const int next = zoom + delta;
    // The value is 16 bits wide; a step past either end is not taken.
    if (next >= std::numeric_limits<qint16>::min() && next <= std::numeric_limits<qint16>::max())
        zoom = next;
    m_zoom = static_cast<qint16>(zoom);
    applyZoom(m_zoom);
}

void ViewControls::focusAfterZoom()
{
    switch (m_options.focusAfterZoom) {
    case ViewControlOptions::ZoomFocus::View:
        if (m_view)
            m_view->setFocus();
        break;
    case ViewControlOptions::ZoomFocus::FocusSink:
        if (m_focusSink)
            m_focusSink->setFocus();
        break;
    case ViewControlOptions::ZoomFocus::Unchanged:
        break;
    }
}

QString ViewControls::colourAt(int index)
{
    if (index < 1 || index > int(colourCycle.size()))
        return {};
    return QString::fromLatin1(colourCycle[index - 1]);
}

QString ViewControls::advanceColour()
{
    m_colourIndex = static_cast<qint16>(m_colourIndex + 1);
    if (m_colourIndex > 9 || m_colourIndex < 1)
        m_colourIndex = 1;
    return colourAt(m_colourIndex);
}

bool ViewControls::handleKey(int qtKey)
{
    int dy = 0;
    if (qtKey == Qt::Key_Up)
        dy = -scrollStep;
    else if (qtKey == Qt::Key_Down)
        dy = scrollStep;
    else
        return false;
    if (m_view)
        m_view->scrollBy(0, dy);
    return true;
}

void ViewControls::setScrollActions(QAction *towardsTop, QAction *towardsEnd)
{
    m_scrollActions[0] = towardsTop;
    m_scrollActions[1] = towardsEnd;
    for (int i = 0; i < 2; ++i) {
        if (QAction *action = m_scrollActions[i]) {
            action->setCheckable(true);
            connect(action, &QAction::triggered, this, [this, i] { moveUpClick(i); });
        }
    }
    showScrollState();
}

void ViewControls::showScrollState()
{
    // A trigger has already flipped the action's own check: put back what the state says.
    for (int i = 0; i < 2; ++i) {
        if (m_scrollActions[i])
            m_scrollActions[i]->setChecked(m_lit == i);
    }
}

void ViewControls::moveUpClick(int index)
{
    if (index != 0 && index != 1)
        return;
    m_scrollDirection = static_cast<qint16>(index);
    if (m_lit == index) {
        m_lit = -1;
        m_timer.stop();
        if (m_options.focusViewWhenScrollStops && m_view)
            m_view->setFocus();
    } else {
        m_lit = index;
        m_timer.start();
    }
    showScrollState();
}

void ViewControls::timerTick()
{
    if (m_view)
        m_view->scrollBy(0, m_scrollDirection == 1 ? timedScrollStep : -timedScrollStep);
}

} // namespace vimbrel
