#include "view/webenginebrowserview.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QStyleHints>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

namespace vimbrel {

namespace {

class SilentPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptAlert(const QUrl &, const QString &) override {}
    bool javaScriptConfirm(const QUrl &, const QString &) override { return false; }
    bool javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) override
    {
        return false;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int,
                                  const QString &) override
    {
    }
};

// Lets a local page show local pictures and nothing else of the user's files: a script, a
// frame or a script's request for a file address is refused, and so is anything that is not
// a regular file (a device or a named pipe would never end).
class LocalPicturesOnly : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QUrl url = info.requestUrl();
        if (!url.isLocalFile())
            return;
        const auto type = info.resourceType();
        const bool page = type == QWebEngineUrlRequestInfo::ResourceTypeMainFrame;
        const bool picture = type == QWebEngineUrlRequestInfo::ResourceTypeImage &&
                             QFileInfo(url.toLocalFile()).isFile();
        if (!page && !picture)
            info.block(true);
    }
};

// Only the links and pictures, in document order, with the absolute addresses the document
// gives them. It runs in a world of its own, so a page cannot change what it reports. One flat
// array (tag, address, tag, address, ...): an array per element costs as much again to hand
// across to the program as the reading itself.
const char *const elementsScript = R"JS(
(function () {
  var all = document.querySelectorAll('a, img');
  var out = new Array(all.length * 2);
  for (var i = 0; i < all.length; i++) {
    var e = all[i];
    var tag = String(e.tagName).toUpperCase();
    var href = '';
    if (tag === 'IMG') href = e.src || '';
    else if (typeof e.href === 'string') href = e.href;
    out[2 * i] = tag;
    out[2 * i + 1] = href;
  }
  return out;
})()
)JS";

// The program rewrites its page files in place and shows them again at the same address; the
// browser would put back the old page's scroll position over the new page. Web pages keep it.
const char *const topOfPageScript = R"JS(
if (location.protocol === 'file:' || location.protocol === 'vimbrel:')
    history.scrollRestoration = 'manual';
)JS";

} // namespace

WebEngineBrowserView::WebEngineBrowserView(QWidget *parent)
    : BrowserView(parent), m_view(new QWebEngineView(parent))
{
    m_page = new SilentPage(QWebEngineProfile::defaultProfile(), m_view);
    m_view->setPage(m_page);
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    connect(m_view, &QObject::destroyed, this, [this] {
        m_view = nullptr;
        m_page = nullptr;
    });

    QWebEngineSettings *settings = m_page->settings();
    settings->setDefaultTextEncoding(QStringLiteral("UTF-8"));
    // As a browser: a local page cannot read other local files, not even its pictures, until
    // the view is told otherwise.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);

    QWebEngineScript topOfPage;
    topOfPage.setName(QStringLiteral("vimbrel-top-of-page"));
    topOfPage.setSourceCode(QString::fromLatin1(topOfPageScript));
    topOfPage.setInjectionPoint(QWebEngineScript::DocumentCreation);
    topOfPage.setWorldId(QWebEngineScript::ApplicationWorld);
    topOfPage.setRunsOnSubFrames(false);
    m_page->scripts().insert(topOfPage);

    connect(m_page, &QWebEnginePage::loadStarted, this, [this] { m_documentReady = false; });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        m_documentReady = ok;
        Q_EMIT downloadComplete();
        Q_EMIT documentComplete(m_page->url());
    });
    connect(m_page, &QWebEnginePage::titleChanged, this, &BrowserView::titleChanged);
    connect(m_page, &QWebEnginePage::linkHovered, this, &BrowserView::statusTextChanged);
    connect(m_page, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest &request) {
                // Not calling openIn() leaves the request unanswered: no window appears.
                if (!isRepeatedRequest(request.requestedUrl()))
                    Q_EMIT newWindowRequested(request.requestedUrl(), request.isUserInitiated());
            });
    QAction *back = m_page->action(QWebEnginePage::Back);
    QAction *forward = m_page->action(QWebEnginePage::Forward);
    connect(back, &QAction::changed, this,
            [this, back] { Q_EMIT commandStateChanged(BrowserCommand::Back, back->isEnabled()); });
    connect(forward, &QAction::changed, this, [this, forward] {
        Q_EMIT commandStateChanged(BrowserCommand::Forward, forward->isEnabled());
    });
}

WebEngineBrowserView::~WebEngineBrowserView()
{
    // A view made without a parent widget has no one else to delete it; its page must go
    // before the profile does at exit.
    if (m_view && !m_view->parent()) {
        QWebEngineView *view = m_view;
        disconnect(view, nullptr, this, nullptr);
        m_view = nullptr;
        m_page = nullptr;
        delete view;
    }
}

// WebEngine follows a link once for each click of a double click; a double click on a
// picture is still one request to open it.
bool WebEngineBrowserView::isRepeatedRequest(const QUrl &url)
{
    const bool repeated =
        url == m_lastRequestUrl && m_sinceLastRequest.isValid() &&
        m_sinceLastRequest.elapsed() <= QGuiApplication::styleHints()->mouseDoubleClickInterval();
    m_lastRequestUrl = url;
    m_sinceLastRequest.start();
    return repeated;
}

QWidget *WebEngineBrowserView::widget()
{
    return m_view;
}

QString WebEngineBrowserView::aboutPageHtml(const QString &text)
{
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>") +
           text.toHtmlEscaped() + QStringLiteral("</body></html>");
}

void WebEngineBrowserView::navigate(const QString &address)
{
    if (!m_page)
        return;
    if (address.compare(QLatin1String("about:blank"), Qt::CaseInsensitive) == 0) {
        m_page->load(QUrl(QStringLiteral("about:blank")));
    } else if (address.startsWith(QLatin1String("about:"), Qt::CaseInsensitive)) {
        m_page->setHtml(aboutPageHtml(address.mid(6)), QUrl(QStringLiteral("about:blank")));
    } else if (QDir::isAbsolutePath(address)) {
        m_page->load(QUrl::fromLocalFile(address));
    } else {
        m_page->load(QUrl::fromUserInput(address));
    }
}

void WebEngineBrowserView::goBack()
{
    if (!m_page)
        return;
    m_page->triggerAction(QWebEnginePage::Back);
}

void WebEngineBrowserView::goForward()
{
    if (!m_page)
        return;
    m_page->triggerAction(QWebEnginePage::Forward);
}

void WebEngineBrowserView::refresh()
{
    if (!m_page)
        return;
    m_page->triggerAction(QWebEnginePage::Reload);
}

QUrl WebEngineBrowserView::url() const
{
    return m_page ? m_page->url() : QUrl();
}

QString WebEngineBrowserView::title() const
{
    return m_page ? m_page->title() : QString();
}

void WebEngineBrowserView::runScript(const QString &script)
{
    if (!m_page)
        return;
    // The program's own scripts run beside the page's, so they still work where page script
    // is off, and a page cannot redefine what they call.
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld);
}

void WebEngineBrowserView::scrollBy(int x, int y)
{
    if (!m_page)
        return;
    m_page->runJavaScript(QStringLiteral("window.scrollBy(%1,%2)").arg(x).arg(y),
                          QWebEngineScript::ApplicationWorld);
}

void WebEngineBrowserView::showLocalPictures()
{
    if (!m_page)
        return;
    // WebEngine lets a local page reach local files all or nothing; the interceptor narrows
    // "all" down to pictures. It lives as long as the page that calls it.
    m_page->setUrlRequestInterceptor(new LocalPicturesOnly(m_page));
    m_page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
}

void WebEngineBrowserView::showOnlyPictures()
{
    if (!m_page)
        return;
    QWebEngineSettings *settings = m_page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    showLocalPictures();
}

void WebEngineBrowserView::evaluate(const QString &script,
                                    std::function<void(const QVariant &)> callback)
{
    if (!m_page)
        return;
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld, std::move(callback));
}

void WebEngineBrowserView::elements(ElementsCallback callback)
{
    if (!m_page || !m_documentReady) {
        // A page still loading or one that failed has no document to read yet. Still answer,
        // later as always, so that a caller waiting for the list goes on.
        QTimer::singleShot(0, this, [callback = std::move(callback)] { callback({}); });
        return;
    }
    m_page->runJavaScript(QString::fromLatin1(elementsScript), QWebEngineScript::ApplicationWorld,
                          [callback = std::move(callback)](const QVariant &result) {
                              QList<Element> list;
                              const QVariantList flat = result.toList();
                              list.reserve(flat.size() / 2);
                              for (qsizetype i = 0; i + 1 < flat.size(); i += 2)
                                  list.append({flat[i].toString(), flat[i + 1].toString()});
                              callback(list);
                          });
}

void WebEngineBrowserView::setFocus()
{
    if (!m_page)
        return;
    m_view->setFocus();
}

} // namespace vimbrel
