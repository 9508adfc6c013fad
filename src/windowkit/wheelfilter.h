#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

class QWidget;

namespace vimbrel {

class ViewControls;

struct WheelFilterOptions
{
    // A right-button release over the view or the window's own background asks for the
    // tools menu (and is consumed).
    bool toolsMenu = false;
};

// Mouse wheel and right button of one window. Every wheel notch anywhere in the window scrolls
// the view acted on by the window's ViewControls 100 pixels (towards the user: down, away:
// up) and is consumed, so the view does not scroll natively as well. With the toolsMenu option
// (the main window) a right-button release over the view, or over the window's own background,
// asks for the tools menu.
//
// The filter watches the whole application and keeps only events of widgets inside its window:
// QWebEngineView takes its input through a render widget it creates and replaces as pages load,
// so a filter on the view alone would miss them.
//   auto *wheel = new WheelFilter(this, m_controls, {.toolsMenu = true}, this);
//   connect(wheel, &WheelFilter::toolsMenuRequested, this, [this](QPoint at) {
//       m_myTools->popup(at);
//   });
// The detail window does not use one.
class WheelFilter : public QObject
{
    Q_OBJECT
public:
    // Delta of one notch of a common mouse wheel (eighths of a degree).
    static constexpr int notch = 120;

    WheelFilter(QWidget *window, ViewControls *controls, WheelFilterOptions options = {},
                QObject *parent = nullptr);
    ~WheelFilter() override;

    // The wheel over this widget (a list beside the view, say) scrolls the widget itself.
    void letThrough(QWidget *widget);

    bool eventFilter(QObject *watched, QEvent *event) override;

Q_SIGNALS:
    void toolsMenuRequested(QPoint globalPos);

private:
    [[nodiscard]] bool inWindow(const QObject *watched) const;
    [[nodiscard]] bool overView(const QObject *watched, QPoint globalPos) const;
    // Scroll steps for a wheel event's vertical delta; small deltas add up to a notch.
    int stepsFor(int angleDeltaY);

    QPointer<QWidget> m_window;
    QPointer<ViewControls> m_controls;
    const WheelFilterOptions m_options;
    int m_pending = 0;
    QList<QPointer<QWidget>> m_letThrough;
};

} // namespace vimbrel
