#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace vimbrel {

// The history commands whose availability a view reports.
enum class BrowserCommand { Back, Forward };

// What the windows ask of an embedded browser view. The program's own pages are files in the
// private cache folder; addresses are http(s), local paths or "about:" + text.
class BrowserView : public QObject
{
    Q_OBJECT
public:
    struct Element
    {
        QString tagName;   // upper case, as the document reports it
        QString href;      // absolute address: a link's target, a picture's best source
        QString link = {}; // a picture inside a link: the link's absolute address
    };
    using ElementsCallback = std::function<void(const QList<Element> &)>;

    using QObject::QObject;
    ~BrowserView() override = default;

    // The widget to place in a window; owned by the view's creator through its parent.
    virtual QWidget *widget() = 0;

    // "about:" + text shows that text (escaped) as a page; an absolute local path loads as a
    // file; anything else is read as a web address.
    virtual void navigate(const QString &address) = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void refresh() = 0;
    [[nodiscard]] virtual QUrl url() const = 0;
    [[nodiscard]] virtual QString title() const = 0;

    // Runs a script in the page; failures (no page yet) are silent.
    virtual void runScript(const QString &script) = 0;
    // Scrolls the page by pixels; positive y towards the end.
    virtual void scrollBy(int x, int y) = 0;
    // The document's links and pictures ("A" and "IMG" elements) in document order; a
    // picture's address is the best one it offers (its largest srcset candidate, the address
    // behind a lazy-loading placeholder), and a picture without any address is left out. A page
    // still loading is read once its document is parsed. The callback runs later, on the UI
    // thread, with an empty list when there is no parsed document.
    virtual void elements(ElementsCallback callback) = 0;
    virtual void setFocus() = 0;

Q_SIGNALS:
    void downloadComplete();
    void documentComplete(const QUrl &url);
    void titleChanged(const QString &title);
    void statusTextChanged(const QString &text);
    void commandStateChanged(vimbrel::BrowserCommand command, bool enabled);
    // A link with target "_blank" was followed, or a script asked for a window; no window has
    // been opened for it. userInitiated: it came from a click or key of the user.
    void newWindowRequested(const QUrl &url, bool userInitiated);
    // The user asked for the context menu over a picture (the right button, the menu key); the
    // window offers its own menu there, at a position on the screen.
    void pictureMenuRequested(const QUrl &picture, const QPoint &globalPosition);
};

} // namespace vimbrel
