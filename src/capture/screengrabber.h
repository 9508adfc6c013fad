#pragma once

#include <QImage>

namespace vimbrel {

// Takes a picture of the whole primary screen. The real one asks the windowing system; tests
// hand out a known picture.
class ScreenGrabber
{
public:
    virtual ~ScreenGrabber() = default;

    // The screen as it is now, in device pixels; a null image when the windowing system does
    // not allow it (some Wayland compositors, no screen at all).
    [[nodiscard]] virtual QImage grabScreen() = 0;
};

} // namespace vimbrel
