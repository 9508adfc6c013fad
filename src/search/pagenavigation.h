#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QComboBox;
class QWidget;

namespace vimbrel {

class BrowserView;
class Settings;

// What the page view's navigation needs from its window.
struct PageNavigationServices
{
    QWidget *window = nullptr; // the boxes' parent
    BrowserView *pageView = nullptr;
    const Settings *settings = nullptr; // the preset addresses
    QString host;                       // the image-search service
    // Takes the keys after a go: the window's focus sink.
    QWidget *focusSink = nullptr;
    // Brings the page view back before a go (the view switch).
    std::function<void()> showPage;
    // The results view is shown, not the page view.
    std::function<bool()> resultsShown;
};

// The search window's address box and keyword box and where they lead the page view: Enter or a
// chosen entry in the address box goes to it (an entry without a dot is searched), Enter in the
// keyword box searches its word, home goes to the service. The page view's address comes back
// into the box with each new title, and a link clicked in the page view opens there when it
// may.
class PageNavigation : public QObject
{
    Q_OBJECT
public:
    // Makes the two boxes in the window, the address box first.
    explicit PageNavigation(PageNavigationServices services, QObject *parent = nullptr);

    [[nodiscard]] QComboBox *addressBox() const { return m_textUrl; }
    [[nodiscard]] QComboBox *keywordBox() const { return m_cmbSearch; }

    void goToAddress();
    void searchKeywords();
    void goHome();
    // Index 0 back, 1 forward in the page view's history; with the results shown, only the page
    // view comes back.
    void backOrForward(int index);
    // The address box takes the keys with its text selected.
    void focusAddress();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The page view's address, shown from the host on.
    void showPageAddress();
    // The page view asks for a new window for this link.
    void followLink(const QUrl &url, bool userInitiated);

    PageNavigationServices m_services;
    QComboBox *m_textUrl = nullptr;
    QComboBox *m_cmbSearch = nullptr;
};

} // namespace vimbrel
