#pragma once

#include <QList>
#include <QThreadPool>
#include <QWebEngineUrlSchemeHandler>

#include <atomic>
#include <functional>

#include "preview/previewmaker.h"
#include "preview/previewpage.h"
#include "preview/previewqueue.h"
#include "preview/thumbnailcache.h"
#include "preview/viewcopycache.h"

namespace vimbrel {

// Answers the "vimbrel:" scheme: the page on view and each of its pictures as a preview made on
// worker threads, in the order the view asks for them; what an earlier page asked for is
// dropped. Every other address is refused, so no page can read the user's files through the
// scheme.
class PreviewSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    // Must run before the application object is made.
    static void registerScheme();
    // Previews are on unless VIMBREL_PREVIEWS is "0" (the view then reads the files itself);
    // on Windows only when it is "1".
    [[nodiscard]] static bool enabledByEnvironment();

    // cacheRoot: the shared thumbnails; copyRoot: the program's own copies for the view.
    explicit PreviewSchemeHandler(QString cacheRoot = ThumbnailCache::defaultRoot(),
                                  QString copyRoot = ViewCopyCache::defaultRoot(),
                                  QObject *parent = nullptr);
    ~PreviewSchemeHandler() override;

    // Serves the default profile of the application.
    void install();

    // The page about to be shown (see PreviewPage::set); returns the address to load it from.
    QUrl setPage(const QString &pageFile, const QHash<QString, int> &widths, double pixelRatio);
    [[nodiscard]] const PreviewPage &page() const { return m_page; }

    void requestStarted(QWebEngineUrlRequestJob *job) override;
    // true once every preview and cache write asked for so far is done (waiting up to msecs).
    bool waitForDone(int msecs);

private:
    ThumbnailCache m_cache;
    ViewCopyCache m_copies;
    PreviewMaker m_maker;
    PreviewPage m_page;
    PreviewQueue m_queue;     // previews, in the order the view asks
    QThreadPool m_thumbnails; // cache writes, when nothing else runs
    // The bytes of the view's copies held for thumbnails not yet written.
    static constexpr qint64 MostWaitingBytes = 64 * 1024 * 1024;
    std::atomic<qint64> m_waitingBytes = 0;
    int m_pending = 0; // pictures asked for and not yet answered
};

} // namespace vimbrel
