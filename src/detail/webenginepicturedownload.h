#pragma once

#include <QPointer>
#include <QUrl>

#include <list>
#include <memory>

#include "detail/picturedownload.h"

class QFileSystemWatcher;
class QTemporaryDir;
class QTimer;
class QWebEngineDownloadRequest;
class QWebEnginePage;

namespace vimbrel {

class BrowserView;

// PictureDownload through the WebEngine page of a view: the profile's own download, so the
// server sees the same cookies and headers as for the picture shown. The bytes go to a fresh
// hidden folder beside the target and are renamed over it only when complete, so a failed or
// cancelled download leaves nothing behind; a note in the page folder lets the next start
// remove that folder when the program was killed first. A save ends within its deadline; it
// fails when the download breaks off (also where the browser would resume it later), when its
// folder goes away (it is never made again) and when what came is text, not a picture.
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
    // How long a save may take in all.
    static constexpr int defaultDeadline = 120000; // milliseconds
    void setDeadline(int ms) { m_deadline = ms; }

private:
    struct Job;
    void requested(QWebEngineDownloadRequest *request);
    void checkInterrupted(Job *job);
    void finished(Job *job);
    // The hidden folder is still the one made for the job, in the chosen folder.
    [[nodiscard]] bool folderIntact(const Job &job) const;
    void folderChanged(const QString &path);
    void fail(Job *job, const QString &error);
    void end(Job *job, const QString &error);
    // The hidden folder with whatever the download left in it, and its note for the next start.
    static void removeLeftovers(Job &job);

    QPointer<QWebEnginePage> m_page;
    std::list<std::unique_ptr<Job>> m_jobs;
    QFileSystemWatcher *m_watcher = nullptr; // the jobs' hidden folders
    int m_deadline = defaultDeadline;
};

} // namespace vimbrel
