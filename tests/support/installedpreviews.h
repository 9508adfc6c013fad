#pragma once

#include <QString>
#include <QWebEngineProfile>

#include "preview/previewschemehandler.h"

namespace vimbrel {

// The scheme must be known before the application object is made, as in the program.
inline const bool previewSchemeRegistered = [] {
    PreviewSchemeHandler::registerScheme();
    return true;
}();

// A preview scheme handler that serves the default profile for as long as it lives, so that no
// later test's view reaches a handler already gone.
class InstalledPreviews : public PreviewSchemeHandler
{
public:
    // The program's own copies go beside the thumbnails, never into the user's cache.
    explicit InstalledPreviews(const QString &cacheRoot)
        : PreviewSchemeHandler(cacheRoot, cacheRoot + QStringLiteral("-copies"))
    {
        install();
    }
    ~InstalledPreviews() override
    {
        QWebEngineProfile::defaultProfile()->removeUrlSchemeHandler(this);
    }
};

} // namespace vimbrel
