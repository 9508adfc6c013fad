#include "capture/qtscreengrabber.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace vimbrel {

QImage QtScreenGrabber::grabScreen()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return screen->grabWindow(0).toImage();
}

} // namespace vimbrel
