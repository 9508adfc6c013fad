#pragma once

#include <QString>

#include <functional>

#include "gallery/thumbnailpage.h"

class QWidget;

namespace vimbrel {

class BrowserView;
class Dialogs;
class FolderVerb;
class PreviewSchemeHandler;
class ScreenGrabber;
class Settings;
class Shell;

// What the main window needs from outside; main() passes the real ones, tests the fakes.
struct MainServices
{
    Settings *settings = nullptr;
    Dialogs *dialogs = nullptr;
    Shell *shell = nullptr;
    std::function<BrowserView *(QWidget *parent)> makeView;
    FolderVerb *folderVerb = nullptr;     // the entry in the file manager's folder menu
    ScreenGrabber *grabber = nullptr;     // the screen capture's source
    QString pageFile;                     // where the thumbnail page is written; empty when
                                          // the cache folder was refused
    ThumbnailPage::WidthFunction widthOf; // empty: read widths from the picture files
    // Serves the pages' pictures as previews; null: the view reads the picture files itself.
    PreviewSchemeHandler *previews = nullptr;
};

} // namespace vimbrel
