#include "detail/webenginepicturedownload.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <filesystem>
#include <system_error>

#include "view/webenginebrowserview.h"

namespace vimbrel {

namespace {

const QString PartName = QStringLiteral("picture");

} // namespace

struct WebEnginePictureDownload::Job
{
    QUrl url;
    QString target;
    std::unique_ptr<QTemporaryDir> folder;
    Done done;
    QPointer<QWebEngineDownloadRequest> request;
    QTimer *startTimer = nullptr;
};

WebEnginePictureDownload::WebEnginePictureDownload(BrowserView *view, QObject *parent)
    : PictureDownload(parent)
{
    auto *webView = qobject_cast<WebEngineBrowserView *>(view);
    if (webView && webView->view())
        m_page = webView->view()->page();
    if (m_page) {
        connect(m_page->profile(), &QWebEngineProfile::downloadRequested, this,
                &WebEnginePictureDownload::requested);
    }
}

WebEnginePictureDownload::~WebEnginePictureDownload()
{
    // Downloads still running are stopped; their folders go with them.
    for (const std::unique_ptr<Job> &job : m_jobs) {
        if (job->request) {
            disconnect(job->request, nullptr, this, nullptr);
            job->request->cancel();
        }
    }
}

void WebEnginePictureDownload::save(const QString &address, const QString &filePath, Done done)
{
    auto job = std::make_unique<Job>();
    job->url = QUrl(address);
    job->target = QFileInfo(filePath).absoluteFilePath();
    job->done = std::move(done);
    Job *j = job.get();
    m_jobs.push_back(std::move(job));

    if (!m_page) {
        QTimer::singleShot(0, this, [this, j] { fail(j, QStringLiteral("沒有可用的瀏覽器")); });
        return;
    }
    // Beside the target, so that the finished file is renamed into place on the same disk.
    const QString folder = QFileInfo(j->target).absolutePath();
    j->folder = std::make_unique<QTemporaryDir>(folder + QStringLiteral("/.vimbrel-XXXXXX"));
    if (!j->folder->isValid()) {
        QTimer::singleShot(0, this, [this, j, folder] {
            fail(j, QStringLiteral("無法寫入文件夾 ") + QDir::toNativeSeparators(folder));
        });
        return;
    }
    j->startTimer = new QTimer(this);
    j->startTimer->setSingleShot(true);
    connect(j->startTimer, &QTimer::timeout, this,
            [this, j] { fail(j, QStringLiteral("下載沒有開始")); });
    j->startTimer->start(startTimeout);
    m_page->download(j->url, PartName);
}

void WebEnginePictureDownload::requested(QWebEngineDownloadRequest *request)
{
    // Matched by address alone: page() reads freed memory when the page that asked for the
    // download has been deleted meanwhile (this window closed, another view of the profile).
    if (!request || request->state() != QWebEngineDownloadRequest::DownloadRequested)
        return;
    // The oldest save of this address that has no download yet.
    Job *job = nullptr;
    for (const std::unique_ptr<Job> &candidate : m_jobs) {
        if (!candidate->request && candidate->folder && candidate->url == request->url()) {
            job = candidate.get();
            break;
        }
    }
    if (!job)
        return;
    delete job->startTimer;
    job->startTimer = nullptr;
    job->request = request;
    request->setDownloadDirectory(job->folder->path());
    request->setDownloadFileName(PartName);
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, job] {
        if (job->request && job->request->isFinished())
            finished(job);
    });
    request->accept();
}

void WebEnginePictureDownload::finished(Job *job)
{
    QWebEngineDownloadRequest *request = job->request;
    if (request->state() != QWebEngineDownloadRequest::DownloadCompleted) {
        const QString reason = request->state() == QWebEngineDownloadRequest::DownloadCancelled
                                   ? QStringLiteral("下載已取消")
                                   : request->interruptReasonString();
        fail(job, reason.isEmpty() ? QStringLiteral("下載失敗") : reason);
        return;
    }
    const QString part = QDir(request->downloadDirectory()).filePath(request->downloadFileName());
    std::error_code error;
    // One step: the target is either as it was or the whole picture.
    std::filesystem::rename(std::filesystem::path(part.toStdU16String()),
                            std::filesystem::path(job->target.toStdU16String()), error);
    if (error) {
        fail(job, QStringLiteral("無法寫入 ") + QDir::toNativeSeparators(job->target) +
                      QStringLiteral("：") + QString::fromLocal8Bit(error.message()));
        return;
    }
    end(job, QString());
}

void WebEnginePictureDownload::fail(Job *job, const QString &error)
{
    end(job, error.isEmpty() ? QStringLiteral("下載失敗") : error);
}

void WebEnginePictureDownload::end(Job *job, const QString &error)
{
    for (auto it = m_jobs.begin(); it != m_jobs.end(); ++it) {
        if (it->get() != job)
            continue;
        std::unique_ptr<Job> owned = std::move(*it);
        m_jobs.erase(it);
        if (owned->request) {
            disconnect(owned->request, nullptr, this, nullptr);
            if (!owned->request->isFinished())
                owned->request->cancel();
        }
        if (owned->startTimer)
            owned->startTimer->deleteLater(); // this may be its own timeout
        owned->folder.reset();                // removes whatever the download left
        if (owned->done)
            owned->done(error);
        if (m_jobs.empty())
            Q_EMIT idle();
        return;
    }
}

} // namespace vimbrel
