#pragma once

#include <QElapsedTimer>

#include "view/browserview.h"

class QWebEngineView;
class QWebEnginePage;

namespace vimbrel {

// BrowserView on Qt WebEngine. Script dialogs of pages are suppressed, pages without a
// character set are read as UTF-8, and "_blank" links never open a window of their own:
// they arrive as newWindowRequested, once per click gesture. The program's own pages (local
// files) always show from their top. A local page reads none of the user's other files unless
// the view is told to show local pictures.
class WebEngineBrowserView : public BrowserView
{
    Q_OBJECT
public:
    explicit WebEngineBrowserView(QWidget *parent = nullptr);
    ~WebEngineBrowserView() override;

    QWidget *widget() override;
    void navigate(const QString &address) override;
    void goBack() override;
    void goForward() override;
    void refresh() override;
    [[nodiscard]] QUrl url() const override;
    [[nodiscard]] QString title() const override;
    void runScript(const QString &script) override;
    void scrollBy(int x, int y) override;
    void elements(ElementsCallback callback) override;
    void setFocus() override;

    // For the program's own pages of pictures: a local page may show local pictures (regular
    // files only), but it still reads no other local file: no script request, frame, style
    // sheet or script of a file address.
    void showLocalPictures();

    // For a generated local page of pictures from anywhere (the search window's results): the
    // pictures load from the web and from local files, but nothing on the page runs script and
    // it reads no other local file. The program's own zoom and scrolling still work.
    void showOnlyPictures();

    // For tests: run a script (beside the page's, like runScript) and hand its result back.
    void evaluate(const QString &script, std::function<void(const QVariant &)> callback);
    [[nodiscard]] QWebEngineView *view() const { return m_view; }

    // The page shown for "about:" + text.
    [[nodiscard]] static QString aboutPageHtml(const QString &text);

private:
    [[nodiscard]] bool isRepeatedRequest(const QUrl &url);
    void expectDocument();

    QWebEngineView *m_view = nullptr;
    QWebEnginePage *m_page = nullptr;
    QUrl m_lastRequestUrl;
    QElapsedTimer m_sinceLastRequest;
    bool m_documentReady = false; // the last load finished and succeeded
    bool m_loading = false;       // a load has started and not finished
    int m_loadNumber = 0;         // of the last load started; its document carries it
};

} // namespace vimbrel
