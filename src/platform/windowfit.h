#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace vimbrel {

// A window opens inside the screen's available area (without panels), frame included, however
// large its design size is in pixels (a small screen, a scale factor of 2).
namespace WindowFit {

// The frame a window manager typically draws, for a window not yet shown.
inline constexpr QMargins typicalFrame{8, 40, 8, 8};

// The inner size a window of wanted inner size gets so that, with its frame, it fits area.
[[nodiscard]] QSize innerSize(QSize wanted, const QRect &area, const QMargins &frame);
// Where a window of outer size goes when it would start at wanted: moved only as far as it
// must be to lie inside area.
[[nodiscard]] QPoint topLeft(QPoint wanted, QSize outer, const QRect &area);

// Makes the window fit its screen when it is shown (now, when it is on screen already); its
// frame is counted once the window manager has added it.
void fitOnScreen(QWidget &window);

} // namespace WindowFit

} // namespace vimbrel
