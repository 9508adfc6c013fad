#include "platform/windowfit.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace vimbrel {

namespace WindowFit {

QSize innerSize(QSize wanted, const QRect &area, const QMargins &frame)
{
    const int width = area.width() - frame.left() - frame.right();
    const int height = area.height() - frame.top() - frame.bottom();
    return {std::max(1, std::min(wanted.width(), width)),
            std::max(1, std::min(wanted.height(), height))};
}

QPoint topLeft(QPoint wanted, QSize outer, const QRect &area)
{
    // The top left corner (the title bar) stays on the screen when even the outer size is
    // larger than the area.
    const int x = std::max(area.left(), std::min(wanted.x(), area.right() + 1 - outer.width()));
    const int y = std::max(area.top(), std::min(wanted.y(), area.bottom() + 1 - outer.height()));
    return {x, y};
}

namespace {

QMargins frameOf(const QWidget &window)
{
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    // Before the window manager has framed it, the two are the same.
    return frame.isNull() ? typicalFrame : frame;
}

// Fits the window to its screen as it is shown (before it is mapped, so that the window
// manager places the size that fits), and once more when it is on screen with its real frame.
class KeepOnScreen : public QObject
{
public:
    using QObject::QObject;

    static void fit(QWidget &window)
    {
        const QScreen *screen = window.screen();
        if (!screen)
            return;
        const QRect area = screen->availableGeometry();
        const QMargins frame = frameOf(window);
        const QSize inner = innerSize(window.size(), area, frame);
        if (inner != window.size())
            window.resize(inner);
        if (window.isVisible() && window.frameGeometry() != window.geometry()) {
            const QRect outer = window.frameGeometry();
            const QPoint place = topLeft(outer.topLeft(), outer.size(), area);
            if (place != outer.topLeft())
                window.move(place);
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::Show) {
            fit(*window);
        } else if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
                   window->isVisible() && window->frameGeometry() != window->geometry()) {
            // Framed and placed by the window manager: once more, then later sizes and moves
            // are the user's.
            window->removeEventFilter(this);
            deleteLater();
            QTimer::singleShot(0, window, [window] { fit(*window); });
        }
        return false;
    }
};

} // namespace

void fitOnScreen(QWidget &window)
{
    if (window.isVisible())
        KeepOnScreen::fit(window);
    else
        window.installEventFilter(new KeepOnScreen(&window));
}

} // namespace WindowFit

} // namespace vimbrel
