#include "preview/previewschemehandler.h"

#include <QBuffer>
#include <QFile>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

#include <atomic>
#include <memory>
#include <utility>

namespace vimbrel {

namespace {

void reply(QWebEngineUrlRequestJob *job, const QByteArray &mimeType, const QByteArray &bytes)
{
    auto *buffer = new QBuffer;
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    QObject::connect(job, &QObject::destroyed, buffer, &QObject::deleteLater);
    job->reply(mimeType, buffer);
}

} // namespace

void PreviewSchemeHandler::registerScheme()
{
    QWebEngineUrlScheme scheme(PreviewPage::Scheme);
    // The host names the page on view (see PreviewPage).
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Local: web pages cannot load from it, only the program's own pages can.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

bool PreviewSchemeHandler::enabledByEnvironment()
{
    const QString setting = qEnvironmentVariable("VIMBREL_PREVIEWS");
#ifdef Q_OS_WIN
    // The page's drive-letter paths ("C:/…") would read as a scheme of their own, not as paths
    // below the page's address: off unless asked for.
    return setting == QLatin1String("1");
#else
    return setting != QLatin1String("0");
#endif
}

PreviewSchemeHandler::PreviewSchemeHandler(QString cacheRoot, QString copyRoot, QObject *parent)
    : QWebEngineUrlSchemeHandler(parent), m_cache(std::move(cacheRoot)),
      m_copies(std::move(copyRoot)), m_maker(&m_cache, &m_copies),
      m_queue(QThread::idealThreadCount())
{
    m_thumbnails.setMaxThreadCount(1);
    m_thumbnails.setThreadPriority(QThread::IdlePriority);
    // What earlier sessions left beyond the bound goes when nothing else runs.
    m_thumbnails.start([this] { m_copies.trim(); });
}

bool PreviewSchemeHandler::waitForDone(int msecs)
{
    return m_pending == 0 && m_queue.waitForDone(msecs) && m_thumbnails.waitForDone(msecs);
}

PreviewSchemeHandler::~PreviewSchemeHandler()
{
    m_thumbnails.clear();
    m_queue.newPage(); // what is still queued only finds its page gone
    m_queue.waitForDone(-1);
    m_thumbnails.waitForDone();
}

void PreviewSchemeHandler::install()
{
    QWebEngineProfile::defaultProfile()->installUrlSchemeHandler(PreviewPage::Scheme, this);
}

QUrl PreviewSchemeHandler::setPage(const QString &pageFile, const QHash<QString, int> &widths,
                                   double pixelRatio)
{
    m_page.set(pageFile, widths, pixelRatio);
    m_queue.newPage();
    return m_page.address(pageFile);
}

void PreviewSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    if (job->requestMethod() != "GET") {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const PreviewPage::Answer answer = m_page.answer(job->requestUrl());
    switch (answer.kind) {
    case PreviewPage::Kind::Refused:
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    case PreviewPage::Kind::Moved:
        job->redirect(m_page.address(answer.path));
        return;
    case PreviewPage::Kind::Page: {
        QFile file(answer.path);
        if (!file.open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        // The page file is UTF-8: said so, the engine guesses nothing from odd names on it.
        reply(job, QByteArrayLiteral("text/html; charset=utf-8"), file.readAll());
        return;
    }
    case PreviewPage::Kind::Picture:
        break;
    }

    // The view drops requests it no longer needs (another page, closing): their work is skipped.
    auto dropped = std::make_shared<std::atomic_bool>(false);
    connect(job, &QObject::destroyed, this, [dropped] { *dropped = true; });
    QPointer<QWebEngineUrlRequestJob> target(job);
    ++m_pending;
    m_queue.start([this, dropped, target, path = answer.path, width = answer.width](bool current) {
        std::optional<Preview> preview;
        if (current && !*dropped)
            preview = m_maker.make(path, width, PreviewMaker::Keep::Later);
        std::function<void()> keep = preview ? std::exchange(preview->keep, {}) : nullptr;
        const qint64 keptBytes = preview ? preview->bytes.size() : 0;
        QMetaObject::invokeMethod(
            this,
            [this, target, preview = std::move(preview)] {
                if (target) {
                    if (preview)
                        reply(target, preview->mimeType, preview->bytes);
                    else
                        target->fail(QWebEngineUrlRequestJob::RequestFailed);
                }
                --m_pending;
            },
            Qt::QueuedConnection);
        // The thumbnail is written by a thread that takes only the time nothing else wants:
        // the view's pictures come first. On a machine kept busy that may be never, so what
        // waits is bounded: beyond that, pictures go without a thumbnail this time.
        if (!keep)
            return;
        if (m_waitingBytes.fetch_add(keptBytes) + keptBytes > MostWaitingBytes) {
            m_waitingBytes -= keptBytes;
            return;
        }
        m_thumbnails.start([this, keep = std::move(keep), keptBytes] {
            keep();
            m_waitingBytes -= keptBytes;
        });
    });
}

} // namespace vimbrel
