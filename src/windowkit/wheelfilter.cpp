#include "windowkit/wheelfilter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include "view/browserview.h"
#include "windowkit/viewcontrols.h"

namespace vimbrel {

WheelFilter::WheelFilter(QWidget *window, ViewControls *controls, WheelFilterOptions options,
                         QObject *parent)
    : QObject(parent), m_window(window), m_controls(controls), m_options(options)
{
    qApp->installEventFilter(this);
}

WheelFilter::~WheelFilter()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool WheelFilter::inWindow(const QObject *watched) const
{
    if (!m_window || !watched || !watched->isWidgetType())
        return false;
    const auto *widget = static_cast<const QWidget *>(watched);
    return widget == m_window || m_window->isAncestorOf(widget);
}

bool WheelFilter::overView(const QObject *watched, QPoint globalPos) const
{
    BrowserView *view = m_controls ? m_controls->view() : nullptr;
    QWidget *viewWidget = view ? view->widget() : nullptr;
    const auto inView = [viewWidget](const QWidget *widget) {
        return viewWidget && widget && (widget == viewWidget || viewWidget->isAncestorOf(widget));
    };
    if (watched == m_window) {
        // Either the window's own background or a release a child passed on: only the first
        // counts, so look at what lies under the pointer.
        const QWidget *under = m_window->childAt(m_window->mapFromGlobal(globalPos));
        return !under || inView(under);
    }
    return inView(static_cast<const QWidget *>(watched));
}

void WheelFilter::letThrough(QWidget *widget)
{
    m_letThrough.append(widget);
}

int WheelFilter::stepsFor(int angleDeltaY)
{
    // A whole notch or more is one scroll, whatever its size; finer wheels and touchpads
    // send fractions of a notch, which add up until a notch is reached.
    if (angleDeltaY >= notch || angleDeltaY <= -notch) {
        m_pending = 0;
        return angleDeltaY > 0 ? 1 : -1;
    }
    if ((m_pending > 0 && angleDeltaY < 0) || (m_pending < 0 && angleDeltaY > 0))
        m_pending = 0; // turned back: start over
    m_pending += angleDeltaY;
    if (m_pending >= notch) {
        m_pending -= notch;
        return 1;
    }
    if (m_pending <= -notch) {
        m_pending += notch;
        return -1;
    }
    return 0;
}

bool WheelFilter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Wheel && type != QEvent::MouseButtonRelease)
        return false;
    if (!inWindow(watched))
        return false;

    if (type == QEvent::Wheel) {
        const auto *widget = static_cast<const QWidget *>(watched);
        for (const QPointer<QWidget> &own : m_letThrough) {
            if (own && (own == widget || own->isAncestorOf(widget)))
                return false;
        }
        const auto *wheel = static_cast<QWheelEvent *>(event);
        const int dy = wheel->angleDelta().y();
        if (dy == 0)
            return false; // a sideways wheel scrolls as usual
        const int steps = stepsFor(dy);
        BrowserView *view = m_controls ? m_controls->view() : nullptr;
        if (steps != 0 && view)
            view->scrollBy(0, steps > 0 ? -ViewControls::scrollStep : ViewControls::scrollStep);
        return true;
    }

    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::RightButton || !m_controls || !m_options.toolsMenu ||
        !overView(watched, mouse->globalPosition().toPoint()))
        return false;
    Q_EMIT toolsMenuRequested(mouse->globalPosition().toPoint());
    return true;
}

} // namespace vimbrel
