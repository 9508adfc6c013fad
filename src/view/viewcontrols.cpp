#include "view/viewcontrols.h"

#include <QAbstractButton>
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

ViewControls::ViewControls(WindowKind kind, QObject *parent) : QObject(parent), m_kind(kind)
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
    step(zoomStep, m_kind != WindowKind::Detail);
    focusAfterZoom();
}

void ViewControls::zoomOut()
{
    step(-zoomStep, m_kind != WindowKind::Detail);
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
    // The arrow keys keep scrolling: the main window hands the focus to its view, the detail
    // window to its focus sink; the search window leaves it where it is.
    switch (m_kind) {
    case WindowKind::Main:
        if (m_view)
            m_view->setFocus();
        break;
    case WindowKind::Detail:
        if (m_focusSink)
            m_focusSink->setFocus();
        break;
    case WindowKind::Search:
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

void ViewControls::setScrollButtons(QAbstractButton *up, QAbstractButton *down)
{
    m_scrollButtons[0] = up;
    m_scrollButtons[1] = down;
}

QAbstractButton *ViewControls::scrollButton(int index) const
{
    return index == 0 || index == 1 ? m_scrollButtons[index].data() : nullptr;
}

bool ViewControls::isLit(const QAbstractButton *button)
{
    return button && button->palette().color(QPalette::Button) == litColour;
}

void ViewControls::setLit(QAbstractButton *button, bool lit)
{
    if (!button)
        return;
    if (lit) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::Button, litColour);
        button->setPalette(palette);
        // Styles that ignore the palette for button faces still show the yellow.
        button->setStyleSheet(QStringLiteral("background-color: rgb(255, 255, 0);"));
    } else {
        button->setStyleSheet(QString());
        button->setPalette(QPalette()); // back to the inherited button face
    }
    button->setProperty("lit", lit);
}

void ViewControls::moveUpClick(int index)
{
    if (index != 0 && index != 1)
        return;
    m_scrollDirection = static_cast<qint16>(index);
    QAbstractButton *pressed = scrollButton(index);
    // The yellow face of the pressed button says the scroll in its direction is running.
    if (isLit(pressed)) {
        setLit(pressed, false);
        m_timer.stop();
        if (m_kind == WindowKind::Main && m_view)
            m_view->setFocus();
    } else {
        setLit(pressed, true);
        setLit(scrollButton(1 - index), false);
        m_timer.start();
    }
}

void ViewControls::timerTick()
{
    if (m_view)
        m_view->scrollBy(0, m_scrollDirection == 1 ? timedScrollStep : -timedScrollStep);
}

int ViewControls::litButton() const
{
    for (int i = 0; i < 2; ++i) {
        if (isLit(m_scrollButtons[i]))
            return i;
    }
    return -1;
}

} // namespace vimbrel
