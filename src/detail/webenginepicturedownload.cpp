#include "detail/webenginepicturedownload.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QImageReader>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <filesystem>
#include <system_error>

#include "platform/pagefiles.h"
#include "view/webenginebrowserview.h"

namespace vimbrel {

namespace {

const QString PartName = QStringLiteral("picture");
// Made in the hidden folder with it: a folder without it was made again by someone else.
const QString MarkName = QStringLiteral(".vimbrel");

QString nativeFolder(const QString &target)
{
    return QDir::toNativeSeparators(QFileInfo(target).absolutePath());
}

// Text (an error page, a message) where a picture was asked for. A format the decoder does not
// know is kept: the browser may know it.
bool isTextNotPicture(const QString &file)
{
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    if (reader.canRead())
        return false;
    return QMimeDatabase()
        .mimeTypeForFile(file, QMimeDatabase::MatchContent)
        .inherits(QStringLiteral("text/plain"));
}

QString interruptionText(const QWebEngineDownloadRequest &request)
{
    using R = QWebEngineDownloadRequest;
    // Chromium's reason for an answer shorter than it declared; Qt has no name for it, and
    // names it "canceled by the user".
    constexpr int ContentLengthMismatch = 38;
    const int reason = int(request.interruptReason());
    QString why;
    if (reason == ContentLengthMismatch || reason == R::FileTooShort)
        why = QStringLiteral("伺服器送來的資料不完整");
    else if (reason >= R::NetworkFailed && reason <= R::NetworkInvalidRequest)
        why = QStringLiteral("網絡連接中斷");
    else if (reason >= R::ServerFailed && reason <= R::ServerUnreachable)
        why = QStringLiteral("伺服器拒絕或無法提供");
    else if (reason >= R::FileFailed && reason <= R::FileHashMismatch)
        why = QStringLiteral("文件無法寫入");
    else
        why = request.interruptReasonString();
    return QStringLiteral("下載中斷：") + why;
}

} // namespace

struct WebEnginePictureDownload::Job
{
    QUrl url;
    QString target;
    std::unique_ptr<QTemporaryDir> folder;
    QString note; // PageFiles' note of the hidden folder
    Done done;
    QPointer<QWebEngineDownloadRequest> request;
    QTimer *startTimer = nullptr;
    QTimer *deadline = nullptr;
};

void WebEnginePictureDownload::removeLeftovers(Job &job)
{
    job.folder.reset();
    if (!job.note.isEmpty())
        PageFiles::remove(job.note);
    job.note.clear();
}

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
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &WebEnginePictureDownload::folderChanged);
}

WebEnginePictureDownload::~WebEnginePictureDownload()
{
    // Downloads still running are stopped; their folders go with them.
    for (const std::unique_ptr<Job> &job : m_jobs) {
        if (job->request) {
            disconnect(job->request, nullptr, this, nullptr);
            job->request->cancel();
        }
        if (!job->note.isEmpty())
            PageFiles::remove(job->note);
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
    if (!QFileInfo(folder).isDir()) {
        QTimer::singleShot(0, this, [this, j, folder] {
            fail(j, QStringLiteral("文件夾不存在：") + QDir::toNativeSeparators(folder));
        });
        return;
    }
    j->folder = std::make_unique<QTemporaryDir>(folder + QStringLiteral("/.vimbrel-XXXXXX"));
    if (!j->folder->isValid() || !QFile(j->folder->filePath(MarkName)).open(QIODevice::WriteOnly)) {
        j->folder.reset();
        QTimer::singleShot(0, this, [this, j, folder] {
            fail(j, QStringLiteral("無法寫入文件夾 ") + QDir::toNativeSeparators(folder));
        });
        return;
    }
    j->note = PageFiles::noteTemporaryFolder(j->folder->path());
    m_watcher->addPath(j->folder->path());
    j->deadline = new QTimer(this);
    j->deadline->setSingleShot(true);
    connect(j->deadline, &QTimer::timeout, this,
            [this, j] { fail(j, QStringLiteral("下載超時")); });
    j->deadline->start(m_deadline);
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
    // The browser would make a folder the user removed meanwhile again, to write into it.
    if (!folderIntact(*job)) {
        fail(job, QStringLiteral("文件夾已不存在：") + nativeFolder(job->target));
        return;
    }
    request->setDownloadDirectory(job->folder->path());
    request->setDownloadFileName(PartName);
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, job] {
        if (job->request && job->request->isFinished())
            finished(job);
    });
    connect(request, &QWebEngineDownloadRequest::stateChanged, this,
            [this, job] { checkInterrupted(job); });
    connect(request, &QWebEngineDownloadRequest::interruptReasonChanged, this,
            [this, job] { checkInterrupted(job); });
    request->accept();
}

void WebEnginePictureDownload::checkInterrupted(Job *job)
{
    // An interruption the browser calls resumable keeps the download "in progress" with a
    // reason, trying again on its own for as long as it likes: it is the end here.
    QWebEngineDownloadRequest *request = job->request;
    if (request && !request->isFinished() &&
        request->interruptReason() != QWebEngineDownloadRequest::NoReason)
        fail(job, interruptionText(*request));
}

bool WebEnginePictureDownload::folderIntact(const Job &job) const
{
    return job.folder && QFileInfo(job.folder->filePath(MarkName)).isFile();
}

void WebEnginePictureDownload::folderChanged(const QString &path)
{
    for (const std::unique_ptr<Job> &job : m_jobs) {
        if (job->folder && job->folder->path() == path && !folderIntact(*job)) {
            fail(job.get(), QStringLiteral("文件夾已不存在：") + nativeFolder(job->target));
            return; // the list has changed
        }
    }
}

void WebEnginePictureDownload::finished(Job *job)
{
    QWebEngineDownloadRequest *request = job->request;
    if (request->state() != QWebEngineDownloadRequest::DownloadCompleted) {
        fail(job, request->state() == QWebEngineDownloadRequest::DownloadCancelled
                      ? QStringLiteral("下載已取消")
                      : interruptionText(*request));
        return;
    }
    if (!folderIntact(*job)) {
        fail(job, QStringLiteral("文件夾已不存在：") + nativeFolder(job->target));
        return;
    }
    const QString part = QDir(request->downloadDirectory()).filePath(request->downloadFileName());
    if (isTextNotPicture(part)) {
        fail(job, QStringLiteral("收到的不是圖片，是文字或網頁"));
        return;
    }
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
        if (owned->startTimer)
            owned->startTimer->deleteLater(); // this may be its own timeout
        if (owned->deadline)
            owned->deadline->deleteLater();
        if (owned->folder)
            m_watcher->removePath(owned->folder->path());
        const Done done = std::move(owned->done);
        QWebEngineDownloadRequest *request = owned->request;
        if (request) {
            disconnect(request, nullptr, this, nullptr);
            if (!request->isFinished()) {
                // The browser goes on until it has taken the cancel, and would make the folder
                // again to write its first bytes: the folder and its note go when the download
                // has ended, or when the request is deleted, which drops this connection.
                auto leftovers = std::shared_ptr<Job>(std::move(owned));
                connect(request, &QWebEngineDownloadRequest::isFinishedChanged, request,
                        [leftovers] { removeLeftovers(*leftovers); });
                request->cancel();
            }
        }
        if (owned)
            removeLeftovers(*owned);
        if (done)
            done(error);
        if (m_jobs.empty())
            Q_EMIT idle();
        return;
    }
}

} // namespace vimbrel
