#pragma once

#include <QIcon>
#include <QNetworkCookie>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

#include "search/extraction.h"
#include "search/searchlayout.h"
#include "view/browserview.h"

class QAction;
class QComboBox;
class QLabel;
class QVariantAnimation;

namespace vimbrel {

class Dialogs;
class FocusSink;
class SavingCommand;
class ScreenGrabber;
template <typename Id>
class Actions;
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
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    // View index (0 the page, 1 the results) becomes selected, by the user or by an operation:
    // the view switch.
    void showView(int index);
    void backOrForward(int index);
    void refresh();
    void goHome();
    void nextMatrixMode();
    void toggleWidth();
    void savePagePictures();
    void captureScreen();
    void nextBackground();
    void goToAddress();
    void searchKeywords();

private:
    // Notifications of the two views.
    void webStatusTextChange(const QString &text);
    void webCommandStateChange(BrowserCommand command, bool enabled);
    void webTitleChange();
    void webNewWindow(int index, const QUrl &url, bool userInitiated);
    // A results picture in the desktop's browser; web addresses only.
    void openInBrowser(const QString &address);
    void wireActions();
    void buildLabels();
    void buildEntryRow();
    void formLoad();
    // Reads the page view's elements and writes the results page in the extraction's form.
    void extractPictures();
    void showExtraction(Extraction::Rule rule, const QList<BrowserView::Element> &elements);
    void relayout();
    // Writes the results page and shows it, or says in the results view why it cannot.
    void showResultsPage(const QStringList &lines);
    void startSlide();
    void applyLayout();
    void setLabel(int index, const QString &text);
    [[nodiscard]] QString countLabel() const;
    [[nodiscard]] int resultsViewWidthTwips() const;
    // The saving command over the shown view's pictures, its marks in this window.
    void wireSaving();
    [[nodiscard]] double dpi() const;
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
    QComboBox *m_textUrl = nullptr;
    QComboBox *m_cmbSearch = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_labPro = nullptr;
    std::array<QLabel *, 7> m_labels{};
    Actions<SearchCommand> *m_actions = nullptr;
    QList<std::pair<QWidget *, SearchControl>> m_placed; // widgets at their design place
    SearchGeometry m_geometry = SearchGeometry::design();
    QVariantAnimation *m_slide = nullptr;
    int m_slideFrom = 0; // pixels
    int m_viewIndex = 0; // 0 the page view is shown (ShowPage selected), 1 the results view
    int m_matrixMode = 0;
    int m_widthToggle = 0;
    QString m_background = QStringLiteral("#FFFFFF");
    // Each extraction takes a number; an answer that is not the latest one is dropped.
    int m_extraction = 0;
    bool m_slidePending = false;   // the view switch waits for its extraction
    bool m_resultsInPlace = false; // the results view sits over the page view
    bool m_toldPageNotWritten = false; // the message about it comes once
    SavingCommand *m_saving = nullptr;
};

} // namespace vimbrel
