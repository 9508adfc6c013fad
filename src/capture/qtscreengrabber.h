#pragma once

#include "capture/screengrabber.h"

namespace vimbrel {

// The primary screen through QScreen::grabWindow(0): the screen's whole geometry, in device
// pixels.
class QtScreenGrabber : public ScreenGrabber
{
public:
    [[nodiscard]] QImage grabScreen() override;
};

} // namespace vimbrel
