#pragma once

#include <QIcon>
#include <QNetworkCookie>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

#include "search/searchlayout.h"
#include "view/browserview.h"

class QAction;
class QLabel;
class QVariantAnimation;

namespace vimbrel {

class Dialogs;
class FocusSink;
class PageNavigation;
class ResultsGallery;
class SavingCommand;
class ScreenGrabber;
template <typename Id> class Actions;
enum class SearchCommand;
class SearchState;
class Settings;
class Shell;
class ViewControls;
class WheelFilter;

// What a search window needs from outside; main() passes the real ones, tests the fakes.
struct SearchServices
{
    Settings *settings = nullptr;
    Dialogs *dialogs = nullptr;
    Shell *shell = nullptr;
    ScreenGrabber *grabber = nullptr;
    // The page view; the results view too unless makeResultsView is given.
    std::function<BrowserView *(QWidget *parent)> makeView;
    // The results view shows a generated local page with remote pictures.
    std::function<BrowserView *(QWidget *parent)> makeResultsView;
    // The tool row's pictures (theme name, fallback glyph); empty: the buttons show text.
    std::function<QIcon(const QString &theme, const QString &glyph)> icon;
    QString resultsPageFile; // where the results page is written
    // What the views send with their requests, for the pictures the saving run fetches itself;
    // empty: nothing beyond the page's address.
    std::function<QList<QNetworkCookie>(const QUrl &)> cookiesFor;
    std::function<QString()> userAgent;
    SearchState *state = nullptr;
};

// The web picture search window: a page view for browsing and searching, a results view that
// slides in over it with the pictures taken out of the page. The window is loaded when it is
// made: it counts its openings, takes the next preset address and starts loading it.
class SearchWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SearchWindow(SearchServices services, QWidget *parent = nullptr);
    ~SearchWindow() override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private Q_SLOTS:
    // View index (0 the page, 1 the results) becomes selected, by the user or by an operation:
    // the view switch.
    void showView(int index);
    void refresh();
    void savePagePictures();
    void captureScreen();
    void nextBackground();

private:
    // Notifications of the two views.
    void webStatusTextChange(const QString &text);
    void webCommandStateChange(BrowserCommand command, bool enabled);
    void wireActions();
    void buildLabels();
    // The address and keyword boxes, and their navigation of the page view.
    void buildEntryRow();
    void formLoad();
    // The results gallery over the two views; its pages come in with the slide.
    void wireGallery();
    void startSlide();
    void applyLayout();
    void setLabel(int index, const QString &text);
    // The saving command over the shown view's pictures, its marks in this window.
    void wireSaving();
    [[nodiscard]] int toPixels(int twips) const;
    [[nodiscard]] int toTwips(int pixels) const;

    SearchServices m_services;
    std::unique_ptr<Dialogs> m_ownDialogs; // m_services.dialogs, belonging to this window
    QString m_host;
    BrowserView *m_web0 = nullptr; // page view
    BrowserView *m_web1 = nullptr; // results view
    ViewControls *m_controls = nullptr;
    FocusSink *m_cmb = nullptr;
    WheelFilter *m_wheel = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_labPro = nullptr;
    std::array<QLabel *, 7> m_labels{};
    Actions<SearchCommand> *m_actions = nullptr;
    QList<std::pair<QWidget *, SearchControl>> m_placed; // widgets at their design place
    SearchGeometry m_geometry = SearchGeometry::design();
    QVariantAnimation *m_slide = nullptr;
    int m_slideFrom = 0;         // pixels
    int m_viewIndex = 0;         // 0 the page view is shown (ShowPage selected), 1 the results view
    bool m_slidePending = false; // the view switch waits for its extraction
    bool m_resultsInPlace = false; // the results view sits over the page view
    SavingCommand *m_saving = nullptr;
    ResultsGallery *m_gallery = nullptr;
    PageNavigation *m_navigation = nullptr;
};

} // namespace vimbrel
