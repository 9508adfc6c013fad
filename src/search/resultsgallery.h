#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

#include "search/extraction.h"
#include "view/browserview.h"

namespace vimbrel {

class Dialogs;
class SearchState;
class Settings;
class Shell;

// What the results gallery needs from its window.
struct ResultsGalleryServices
{
    BrowserView *pageView = nullptr;    // whose elements are read
    BrowserView *resultsView = nullptr; // which shows the results page
    Settings *settings = nullptr;
    Dialogs *dialogs = nullptr;
    Shell *shell = nullptr;       // the desktop's browser
    QString pageFile;             // where the results page is written
    SearchState *state = nullptr; // its result list is the one filled
    QString host;                 // the image-search service
    QWidget *window = nullptr;    // where a clicked picture is asked from
    // The address box's text, which picks the extraction rule.
    std::function<QString()> address;
    // The results view's width in twips, which a re-laid out page fills.
    std::function<int()> resultsWidthTwips;
};

// The search window's results: reads the page view's pictures into the shared result list and
// writes the results page, in the extraction's own form or re-laid out in a matrix mode, at the
// other width or on another background. No widget in here: the window shows the results view,
// slides it in and sets the labels on extracted() and relaidOut(). A picture clicked on the
// results page goes to the detail window.
class ResultsGallery : public QObject
{
    Q_OBJECT
public:
    explicit ResultsGallery(ResultsGalleryServices services, QObject *parent = nullptr);

    // Reads the page view's elements. The read is asynchronous and each one takes a number: only
    // the latest answer fills the list, writes the page in the extraction's form and emits
    // extracted().
    void extractPictures();
    // The answer of an extraction on its way writes nothing.
    void dropExtraction() { ++m_extraction; }
    // The window closes: an answer on its way writes nothing and the results page is deleted.
    void close();
    // The count label: "圖片總數：" and the number of pictures in the list.
    [[nodiscard]] QString countLabel() const;
    // A results picture in the desktop's browser; web addresses only.
    void openInBrowser(const QString &address);

public Q_SLOTS:
    // Matrix mode 1, 2, 3, 4, 0, 1, ...; the page re-laid out in it.
    void nextMatrixMode();
    // One press lays the page out in mode 1, the next extracts it again, and so on.
    void toggleWidth();
    // The page re-laid out on this background colour.
    void setBackground(const QString &colour);

Q_SIGNALS:
    // The page of a new extraction is written and shown in the results view (or the view says
    // why it could not be written).
    void extracted();
    // The page re-laid out is written and shown, or the view says why not.
    void relaidOut();

private:
    void showExtraction(Extraction::Rule rule, const QList<BrowserView::Element> &elements);
    void relayout();
    // Writes the results page and shows it, or says in the results view why it cannot.
    void showResultsPage(const QStringList &lines);

    ResultsGalleryServices m_services;
    int m_matrixMode = 0;
    int m_widthToggle = 0;
    QString m_background = QStringLiteral("#FFFFFF");
    // Each extraction takes a number; an answer that is not the latest one is dropped.
    int m_extraction = 0;
    bool m_toldPageNotWritten = false; // the message about it comes once
};

} // namespace vimbrel
