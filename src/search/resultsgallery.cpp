#include "search/resultsgallery.h"

#include <QPointer>

#include <utility>

#include "platform/dialogs.h"
#include "platform/pagefiles.h"
#include "platform/settings.h"
#include "platform/shell.h"
#include "search/resultspage.h"
#include "search/searchqueries.h"
#include "search/searchstate.h"

namespace vimbrel {

namespace {

const QString CountPrefix = QStringLiteral("圖片總數：");

} // namespace

ResultsGallery::ResultsGallery(ResultsGalleryServices services, QObject *parent)
    : QObject(parent), m_services(std::move(services))
{
    // Every picture of the results page is a link to itself in a new window.
    connect(m_services.resultsView, &BrowserView::newWindowRequested, this,
            [this](const QUrl &url) {
                Q_EMIT m_services.state->pictureRequested(url.toString(QUrl::FullyEncoded),
                                                          m_services.window);
            });
}

QString ResultsGallery::countLabel() const
{
    return CountPrefix + QString::number(m_services.state->results().count());
}

void ResultsGallery::close()
{
    dropExtraction();
    PageFiles::remove(m_services.pageFile);
}

void ResultsGallery::openInBrowser(const QString &address)
{
    // A file: or other address taken from a page could make the desktop run a program.
    const QString scheme = QUrl(address).scheme().toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    if (!web || !m_services.shell->open(address))
        m_services.dialogs->messageBox(QStringLiteral("這個地址不能在瀏覽器裡打開：") + address,
                                       SearchQueries::WindowName, MessageIcon::Warning);
}

void ResultsGallery::extractPictures()
{
    const int ticket = ++m_extraction;
    const Extraction::Rule rule = Extraction::ruleFor(m_services.address(), m_services.host);
    QPointer<ResultsGallery> self(this);
    m_services.pageView->elements(
        [self, ticket, rule](const QList<BrowserView::Element> &elements) {
            if (!self || ticket != self->m_extraction)
                return;
            self->showExtraction(rule, elements);
        });
}

void ResultsGallery::showExtraction(Extraction::Rule rule,
                                    const QList<BrowserView::Element> &elements)
{
    ResultList &results = m_services.state->results();
    Extraction::extract(rule, elements, m_services.host, results,
                        Extraction::optionsFrom(*m_services.settings));
    showResultsPage(ResultsPage::extractionLines(rule, results));
    Q_EMIT extracted();
}

void ResultsGallery::relayout()
{
    const int width = ResultsPage::matrixWidth(m_services.resultsWidthTwips(), m_matrixMode);
    const ResultList &results = m_services.state->results();
    showResultsPage(ResultsPage::relayoutLines(results, m_matrixMode, width, m_background));
    Q_EMIT relaidOut();
}

void ResultsGallery::showResultsPage(const QStringList &lines)
{
    const QString &file = m_services.pageFile;
    if (PageFiles::writeLines(file, lines)) {
        m_services.resultsView->navigate(file);
        return;
    }
    // The view would show the last page, a blank one or whatever stands at the path, under a
    // count of pictures it does not show.
    const QString why = PageFiles::notWrittenMessage(file);
    m_services.resultsView->navigate(QStringLiteral("about:") + why);
    if (!std::exchange(m_toldPageNotWritten, true))
        m_services.dialogs->messageBox(why, SearchQueries::WindowName, MessageIcon::Warning);
}

void ResultsGallery::nextMatrixMode()
{
    ++m_matrixMode;
    if (m_matrixMode > 4 || m_matrixMode < 0)
        m_matrixMode = 0;
    relayout();
}

void ResultsGallery::toggleWidth()
{
    if (m_widthToggle == 0) {
        m_widthToggle = 1;
        m_matrixMode = 0;
        nextMatrixMode();
    } else {
        m_widthToggle = 0;
        extractPictures();
    }
}

void ResultsGallery::setBackground(const QString &colour)
{
    m_background = colour;
    relayout();
}

} // namespace vimbrel
