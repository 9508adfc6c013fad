#include "view/webenginebrowserview.h"

#include <QDir>
#include <QGuiApplication>
#include <QPointer>
#include <QStyleHints>
#include <QTimer>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include "platform/filenames.h"

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
// a regular file (a device or a named pipe would never end). The address names the file by its
// bytes, whatever the name's encoding.
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
                             FileNames::status(FileNames::pathOf(url)).file;
        if (!page && !picture)
            info.block(true);
    }
};

// Only the links and pictures, in document order, with the absolute addresses the document
// gives them. It runs in a world of its own, so a page cannot change what it reports. One string
// of fields (tag, address, link, tag, ...) split by NUL: a value per field costs more to hand
// across to the program than the reading itself.
//
// A picture's address is the best one it offers: the largest candidate of its srcset (or of
// the <source> the browser chose in a <picture>), else what it shows (currentSrc, src). Where
// that is a placeholder (a data: address, or an address a lazy-loading attribute is still to
// replace), the lazy-loading address stands in. A picture without any address is left out.
// Its link is the address of the link around it, if any. A query for each kind of attribute
// finds the pictures that carry it; the others cost no more than their src.
//
// The argument is the number of the load under way, or null once the page has finished
// loading: while it loads, the document is read once it is parsed, and only when it is that
// load's document, not the one it replaces.
const char *const elementsScript = R"JS(
(function (load) {
  if (load !== null && (window.vimbrelLoad !== load || document.readyState === 'loading'))
    return null;
  // The lazy-loading attributes found on real pages, most telling first.
  var LAZY = ['data-src', 'data-original', 'data-lazy-src', 'data-actualsrc',
              'data-ks-lazyload', 'data-lazyload', 'data-echo', 'file'];
  var LAZY_SET = ['data-srcset', 'data-lazy-srcset'];
  var TYPES = {'image/jpeg': 1, 'image/jpg': 1, 'image/png': 1, 'image/apng': 1, 'image/gif': 1,
               'image/webp': 1, 'image/avif': 1, 'image/bmp': 1, 'image/svg+xml': 1,
               'image/x-icon': 1, 'image/vnd.microsoft.icon': 1};
  function selector(names) {
    return names.map(function (n) { return 'img[' + n + ']'; }).join(', ');
  }
  // Reading an attribute costs as much as reading the element: one query for each kind of
  // attribute tells which pictures carry it, so that a picture is asked only for what it has.
  // The lists are in document order, as the pictures are met below.
  var kinds = [document.querySelectorAll('img[srcset]'),
               document.querySelectorAll(selector(LAZY_SET)),
               document.querySelectorAll(selector(LAZY)),
               document.querySelectorAll('picture > img')];
  var next = [0, 0, 0, 0], heads = kinds.map(function (l) { return l.length ? l[0] : null; });
  var has = [false, false, false, false];
  // The first non-empty value of the names, trimmed.
  function first(e, names) {
    for (var k = 0; k < names.length; k++) {
      var v = e.getAttribute(names[k]);
      if (v && (v = v.trim())) return v;
    }
    return '';
  }
  // Resolving through an element costs several times the reading of an address. Addresses
  // already in the form the browser gives them (ASCII that needs no escaping, no dot segment,
  // a plain host name) are taken as they are, or behind the document's origin for "/..." and
  // its scheme for "//...".
  var anchor = document.createElement('a');
  function browserResolve(a) { anchor.href = a; return anchor.href; }
  var origin = browserResolve('/').replace(/\/$/, '');
  var scheme = browserResolve('//x/').replace(/\/\/x\/$/, '');
  var PLAIN = new RegExp('^(?:(https?:)?//[a-z][a-z0-9-]*(?:\\.[a-z0-9-]+)*\\.[a-z][a-z0-9-]*)?' +
                         '/(?!/)[A-Za-z0-9\\-._~!$&()*+,;=:@%/?]*$');
  var WEB = scheme === 'http:' || scheme === 'https:';
  var PATH = new Uint8Array(128);
  'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~!$&()*+,;=:@%/?'
      .split('').forEach(function (c) { PATH[c.charCodeAt(0)] = 1; });
  // Whether a is a path as above, the common case, checked without a pattern.
  function plainPath(a) {
    for (var i = 0; i < a.length; i++) {
      var c = a.charCodeAt(i);
      if (c > 127 || PATH[c] !== 1) return false;
      if (c === 46 && a.charCodeAt(i - 1) === 47) return false;
      if (c === 37 && a.charCodeAt(i + 1) === 50 && (a.charCodeAt(i + 2) | 32) === 101)
        return false;
    }
    return true;
  }
  function resolve(a) {
    if (a.charCodeAt(0) === 47 && a.charCodeAt(1) !== 47 && plainPath(a)) return origin + a;
    var m = PLAIN.exec(a);
    if (!m || /\/\.|%2e/i.test(a) || (!m[1] && a[1] === '/' && !WEB)) return browserResolve(a);
    if (a[0] !== '/') return a;
    return a[1] === '/' ? scheme + a : origin + a;
  }
  function space(c) { return c === 32 || c === 9 || c === 10 || c === 12 || c === 13; }
  var W = /(?:^|\s)(\d+)w(?:\s|$)/, X = /(?:^|\s)(\d*\.?\d+(?:[eE][+-]?\d+)?)x(?:\s|$)/;
  // The number of a descriptor that is only digits and its unit ("640w", "2x"), else -1: most
  // are, and are read without a pattern.
  function count(t) {
    var n = t.length - 1;
    if (n < 1) return -1;
    for (var k = 0; k < n; k++) {
      var c = t.charCodeAt(k);
      if (c < 48 || c > 57) return -1;
    }
    return +t.slice(0, n);
  }
  // The largest candidate of a srcset: largest width, else largest density; resolved.
  function largest(set) {
    var n = set.length, i = 0, bestW = '', w = -1, bestX = '', x = -1;
    while (i < n) {
      while (i < n && (space(set.charCodeAt(i)) || set.charCodeAt(i) === 44)) i++;
      var start = i;
      while (i < n && !space(set.charCodeAt(i))) i++;
      var url = set.slice(start, i), desc = '';
      if (url.charCodeAt(url.length - 1) === 44) {
        url = url.replace(/,+$/, '');
      } else {
        var from = i, depth = 0;
        for (; i < n; i++) {
          var c = set.charCodeAt(i);
          if (c === 40) depth++;
          else if (c === 41) depth--;
          else if (c === 44 && depth <= 0) break;
        }
        desc = set.slice(from, i);
        i++;
      }
      if (!url) continue;
      var t = desc.trim(), unit = t.charCodeAt(t.length - 1), v = count(t), d = 1;
      if (v >= 0 && unit === 119) {
        if (v > w) { w = v; bestW = url; }
        continue;
      }
      if (v >= 0 && unit === 120) {
        d = v;
      } else if (t) {
        var m = W.exec(desc);
        if (m) {
          if (+m[1] > w) { w = +m[1]; bestW = url; }
          continue;
        }
        m = X.exec(desc);
        if (m) d = +m[1];
      }
      if (d > x) { x = d; bestX = url; }
    }
    var best = bestW || bestX;
    return best ? resolve(best) : '';
  }
  // The <source> of a <picture> the browser takes: the first that it can show.
  function chosenSource(img) {
    var p = img.parentNode;
    for (var s = p.firstElementChild; s && s !== img; s = s.nextElementSibling) {
      if (String(s.nodeName).toUpperCase() !== 'SOURCE') continue;
      var set = s.getAttribute('srcset'), lazySet = first(s, LAZY_SET);
      if (!set && !lazySet) continue;
      var media = s.getAttribute('media');
      if (media && !window.matchMedia(media).matches) continue;
      var type = (s.getAttribute('type') || '').split(';')[0].trim().toLowerCase();
      if (type && TYPES[type] !== 1) continue;
      return {set: set, lazySet: lazySet};
    }
    return null;
  }
  function isData(a) { return /^\s*data:/i.test(a); }
  var page = location.href, base = document.baseURI;
  // What the picture shows; an empty src stands for no picture, not for the page's address.
  function shownSrc(e) {
    var s = e.currentSrc || e.src || '';
    if ((s === base || s === page) && !(e.getAttribute('src') || '').trim()) return '';
    return s;
  }
  // A picture with a srcset, a lazy-loading attribute or in a <picture>; has[] tells which.
  function picture(e) {
    var source = has[3] ? chosenSource(e) : null;
    var set = source ? source.set : has[0] ? e.getAttribute('srcset') : null;
    var shown = (set && largest(set)) || shownSrc(e);
    var lazySet = (source && source.lazySet) || (has[1] ? first(e, LAZY_SET) : '');
    var lazyOne = null;
    if (!lazySet) {
      lazyOne = has[2] ? first(e, LAZY) : '';
      if (!lazyOne) return shown;
    }
    var placeholder = !shown || isData(shown) ||
        (set ? !!lazySet && lazySet !== set
             : !!lazySet || resolve(lazyOne) !== shown);
    if (!placeholder) return shown;
    var address = lazySet && largest(lazySet);
    if (address) return address;
    if (lazyOne === null) lazyOne = has[2] ? first(e, LAZY) : '';
    return (lazyOne && resolve(lazyOne)) || shown;
  }
  function field(v) { return v.indexOf('\0') < 0 ? v : v.replace(/\0/g, '%00'); }
  var all = document.querySelectorAll('a, img');
  var out = [];
  var link = null;
  for (var i = 0; i < all.length; i++) {
    var e = all[i], tag = String(e.tagName).toUpperCase();
    if (tag === 'IMG') {
      var any = false;
      for (var k = 0; k < 4; k++) {
        has[k] = e === heads[k];
        if (has[k]) { heads[k] = kinds[k][++next[k]] || null; any = true; }
      }
      var address = any ? picture(e) : shownSrc(e);
      if (!address) continue;
      out.push('IMG', field(address), link && link.contains(e) ? field(link.href) : '');
    } else {
      var href = typeof e.href === 'string' ? e.href : '';
      link = href && e.hasAttribute('href') ? e : null;
      out.push(tag, field(href), '');
    }
  }
  return out.join('\0');
})
)JS";

// Numbers each document the view makes, so that a read while a load is under way knows the
// new document from the one it replaces.
const char *const loadNumberScript = "window.vimbrelLoad = %1;";

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
    // No menu of the engine's: over a picture the window shows its own.
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        const QWebEngineContextMenuRequest *request = m_view->lastContextMenuRequest();
        if (request && request->mediaType() == QWebEngineContextMenuRequest::MediaTypeImage &&
            request->mediaUrl().isValid())
            Q_EMIT pictureMenuRequested(request->mediaUrl(), m_view->mapToGlobal(position));
    });
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

    // The reading of the elements is defined once in each document, so that a second read of
    // the same page runs code the script engine has already made fast.
    QWebEngineScript reader;
    reader.setName(QStringLiteral("vimbrel-elements"));
    reader.setSourceCode(QStringLiteral("window.vimbrelElements = ") +
                         QString::fromLatin1(elementsScript) + QLatin1Char(';'));
    reader.setInjectionPoint(QWebEngineScript::DocumentCreation);
    reader.setWorldId(QWebEngineScript::ApplicationWorld);
    reader.setRunsOnSubFrames(false);
    m_page->scripts().insert(reader);

    connect(m_page, &QWebEnginePage::loadStarted, this, &WebEngineBrowserView::expectDocument);
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        m_documentReady = ok;
        m_loading = false;
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
    // The load starts a moment later; a read in between must not take the old page for it.
    expectDocument();
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
    if (m_page->action(QWebEnginePage::Back)->isEnabled())
        expectDocument();
    m_page->triggerAction(QWebEnginePage::Back);
}

void WebEngineBrowserView::goForward()
{
    if (!m_page)
        return;
    if (m_page->action(QWebEnginePage::Forward)->isEnabled())
        expectDocument();
    m_page->triggerAction(QWebEnginePage::Forward);
}

void WebEngineBrowserView::refresh()
{
    if (!m_page)
        return;
    expectDocument();
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

void WebEngineBrowserView::expectDocument()
{
    // From now on the document on view is the one being replaced: not read any more. The next
    // document the page makes takes the new number; the one on view keeps its own.
    m_documentReady = false;
    m_loading = true;
    ++m_loadNumber;
    QWebEngineScriptCollection &scripts = m_page->scripts();
    for (const QWebEngineScript &old : scripts.find(QStringLiteral("vimbrel-load-number")))
        scripts.remove(old);
    QWebEngineScript number;
    number.setName(QStringLiteral("vimbrel-load-number"));
    number.setSourceCode(QString::fromLatin1(loadNumberScript).arg(m_loadNumber));
    number.setInjectionPoint(QWebEngineScript::DocumentCreation);
    number.setWorldId(QWebEngineScript::ApplicationWorld);
    number.setRunsOnSubFrames(false);
    scripts.insert(number);
}

void WebEngineBrowserView::elements(ElementsCallback callback)
{
    if (!m_page || (!m_documentReady && !m_loading)) {
        // No page yet, or the last one failed: no document to read. Still answer, later as
        // always, so that a caller waiting for the list goes on.
        QTimer::singleShot(0, this, [callback = std::move(callback)] { callback({}); });
        return;
    }
    // A page still loading is read as soon as its document is parsed, as a person sees it:
    // one slow picture or a page that keeps adding pictures does not hide the others.
    const QString load = m_documentReady ? QStringLiteral("null") : QString::number(m_loadNumber);
    m_page->runJavaScript(
        QStringLiteral("(window.vimbrelElements || ") + QString::fromLatin1(elementsScript) +
            QStringLiteral(")(") + load + QLatin1Char(')'),
        QWebEngineScript::ApplicationWorld,
        [callback = std::move(callback)](const QVariant &result) {
            // The tags are few: shared, not copied for each element.
            static const QString Img = QStringLiteral("IMG");
            static const QString A = QStringLiteral("A");
            QList<Element> list;
            const QString flat = result.toString();
            const QList<QStringView> fields = QStringView(flat).split(QChar(0));
            list.reserve(fields.size() / 3);
            for (qsizetype i = 0; i + 2 < fields.size(); i += 3) {
                const QStringView tag = fields[i];
                list.append({tag == Img ? Img
                             : tag == A ? A
                                        : tag.toString(),
                             fields[i + 1].toString(),
                             fields[i + 2].isEmpty() ? QString() : fields[i + 2].toString()});
            }
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
