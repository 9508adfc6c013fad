#pragma once

#include <QPointer>
#include <QUrl>

#include <list>
#include <memory>

#include "detail/picturedownload.h"

class QTemporaryDir;
class QTimer;
class QWebEngineDownloadRequest;
class QWebEnginePage;

namespace vimbrel {

class BrowserView;

// PictureDownload through the WebEngine page of a view: the profile's own download, so the
// server sees the same cookies and headers as for the picture shown. The bytes go to a fresh
// hidden folder beside the target and are renamed over it only when complete, so a failed or
// cancelled download leaves nothing behind.
class WebEnginePictureDownload : public PictureDownload
{
    Q_OBJECT
public:
    // view: a WebEngineBrowserView; with any other view every save fails.
    explicit WebEnginePictureDownload(BrowserView *view, QObject *parent = nullptr);
    ~WebEnginePictureDownload() override;

    void save(const QString &address, const QString &filePath, Done done) override;
    [[nodiscard]] bool busy() const override { return !m_jobs.empty(); }

    // How long the profile may take to start a download before it counts as failed.
    static constexpr int startTimeout = 30000; // milliseconds

private:
    struct Job;
    void requested(QWebEngineDownloadRequest *request);
    void finished(Job *job);
    void fail(Job *job, const QString &error);
    void end(Job *job, const QString &error);

    QPointer<QWebEnginePage> m_page;
    std::list<std::unique_ptr<Job>> m_jobs;
};

} // namespace vimbrel
