#include "search/formsearch.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <memory>

#include "fakedialogs.h"
#include "fakeshell.h"
#include "imageservice/imageservice.h"
#include "platform/inisettings.h"
#include "search/searchstate.h"
#include "webenginewait.h"

namespace vimbrel {
namespace {

using WebEngineWait::evaluate;
using WebEngineWait::timeout;

// The search window with real views against the local image-search service.
class SearchWindowLive : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_NE(m_service.listen(), 0);
        m_settings = std::make_unique<IniSettings>(m_dir.filePath(QStringLiteral("ulvo.ini")));
        m_settings->setValue(QStringLiteral("Search"), QStringLiteral("ServiceHost"),
                             m_service.host());
        SearchServices services;
        services.settings = m_settings.get();
        services.dialogs = &m_dialogs;
        services.shell = &m_shell;
        services.makeView = [this](QWidget *parent) {
            m_page = new WebEngineBrowserView(parent);
            return m_page;
        };
        services.makeResultsView = [this](QWidget *parent) {
            m_results = new WebEngineBrowserView(parent);
            m_results->showOnlyPictures();
            return m_results;
        };
        services.resultsPageFile = m_dir.filePath(QStringLiteral("Baidu.htm"));
        services.state = &m_state;
        m_window = std::make_unique<FormSearch>(services);
        m_window->resize(900, 600);
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        // The first window starts on the service's home page.
        ASSERT_TRUE(waitForPage(QStringLiteral("/")));
    }
    void TearDown() override { m_window.reset(); }

    QString address(const QString &path) const
    {
        return QStringLiteral("http://") + m_service.host() + path;
    }
    void press(const char *name) { m_window->findChild<QAction *>(name)->trigger(); }
    QAction *action(const char *name) { return m_window->findChild<QAction *>(name); }
    QComboBox *box(const char *name) { return m_window->findChild<QComboBox *>(name); }

    // The page view shows the path, loaded.
    bool waitForPage(const QString &path)
    {
        return QTest::qWaitFor(
            [&] {
                return m_page->url().path() == path &&
                       evaluate(*m_page, QStringLiteral("document.readyState")).toString() ==
                           QLatin1String("complete");
            },
            timeout);
    }
    void go(const QString &path)
    {
        box("TextUrl")->setEditText(address(path));
        press("CmdGo");
        ASSERT_TRUE(waitForPage(QUrl(address(path)).path()));
    }
    // The results view shows the results page with every picture there.
    bool waitForResults(int pictures)
    {
        const QString check = QStringLiteral("document.images.length === %1 && "
                                             "Array.from(document.images).every(i => i.complete)")
                                  .arg(pictures);
        return QTest::qWaitFor(
            [&] { return m_results->url().isLocalFile() && evaluate(*m_results, check).toBool(); },
            timeout);
    }
    // Clicks the middle of an element that the script finds in the view.
    void click(WebEngineBrowserView *view, const QString &element)
    {
        const QVariantList centre =
            evaluate(*view, QStringLiteral("(r => [r.left + r.width / 2, r.top + r.height / 2])"
                                           "(%1.getBoundingClientRect())")
                                .arg(element))
                .toList();
        ASSERT_EQ(centre.size(), 2);
        QWidget *input = view->view()->focusProxy() ? view->view()->focusProxy() : view->widget();
        QTest::mouseClick(input, Qt::LeftButton, Qt::NoModifier,
                          QPoint(centre[0].toInt(), centre[1].toInt()));
    }

    QTemporaryDir m_dir;
    ImageService m_service;
    std::unique_ptr<IniSettings> m_settings;
    FakeDialogs m_dialogs;
    FakeShell m_shell;
    SearchState m_state;
    WebEngineBrowserView *m_page = nullptr;
    WebEngineBrowserView *m_results = nullptr;
    std::unique_ptr<FormSearch> m_window;
};

TEST_F(SearchWindowLive, AKeywordSearchTakesTheResultPicturesAndAClickHandsOneOn)
{
    const QString word = QStringLiteral("貓 & 狗#1");
    box("CmbSearch")->setEditText(word);
    press("CmdSearch");
    ASSERT_TRUE(waitForPage(QStringLiteral("/i")));
    ASSERT_FALSE(m_service.requestedWords().isEmpty());
    EXPECT_EQ(m_service.requestedWords().last(), word);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_window->windowTitle().contains(word); }, timeout));
    EXPECT_TRUE(box("TextUrl")->currentText().startsWith(address(QStringLiteral("/i?tn"))));

    press("Opt1");
    ASSERT_TRUE(waitForResults(6));
    QStringList expected;
    for (int n = 0; n < 6; ++n)
        expected << address(QStringLiteral("/pic/r%1.jpg").arg(n));
    EXPECT_EQ(m_state.results().entries(), expected);
    EXPECT_TRUE(
        evaluate(*m_results,
                 QStringLiteral("Array.from(document.images).every(i => i.naturalWidth > 0)"))
            .toBool());

    const int left = int(std::lround(40 * m_window->logicalDpiX() / 1440.0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_results->widget()->x() == left; }, timeout));
    QSignalSpy pictures(&m_state, &SearchState::pictureRequested);
    click(m_results, QStringLiteral("document.images[1]"));
    ASSERT_TRUE(pictures.wait(timeout));
    EXPECT_EQ(pictures.at(0).at(0).toString(), expected[1]);
}

TEST_F(SearchWindowLive, AGalleryPageByThePageRuleAndItsLinksInThePageView)
{
    go(QStringLiteral("/gallery/plain"));
    press("Opt1");
    ASSERT_TRUE(waitForResults(7));
    const QStringList entries = m_state.results().entries();
    EXPECT_EQ(entries.first(), address(QStringLiteral("/pic/a.jpg")));
    EXPECT_EQ(entries.filter(QStringLiteral(".gif")).size(), 0);
    EXPECT_EQ(entries.filter(QStringLiteral(".GIF")).size(), 1);
    EXPECT_TRUE(
        evaluate(*m_results, QStringLiteral("document.images[0].naturalWidth > 0")).toBool());

    // A target=_blank link opens in the page view itself.
    press("Opt0");
    click(m_page, QStringLiteral("document.querySelector('a[target=_blank]')"));
    ASSERT_TRUE(waitForPage(QStringLiteral("/gallery/many")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return action("CmdPage0")->isEnabled(); }, timeout));
    EXPECT_FALSE(action("CmdPage1")->isEnabled());

    press("CmdPage0");
    ASSERT_TRUE(waitForPage(QStringLiteral("/gallery/plain")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return action("CmdPage1")->isEnabled(); }, timeout));
    press("CmdPage1");
    EXPECT_TRUE(waitForPage(QStringLiteral("/gallery/many")));
}

TEST_F(SearchWindowLive, AHostileGalleryRunsNothingInTheResultsView)
{
    go(QStringLiteral("/gallery/hostile"));
    press("Opt1");
    ASSERT_TRUE(waitForResults(2));
    EXPECT_EQ(m_state.results().count(), 2);
    EXPECT_EQ(evaluate(*m_results, QStringLiteral("document.scripts.length")).toInt(), 0);
    EXPECT_NE(m_results->title(), QStringLiteral("ran"));
    EXPECT_NE(m_page->title(), QStringLiteral("ran"));
    // No page script runs in the results view at all, whatever the file holds.
    const QString planted = m_dir.filePath(QStringLiteral("planted.htm"));
    QFile file(planted);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<body><script>document.title = 'ran';</script><img src=\"x.png\"></body>");
    file.close();
    m_results->navigate(planted);
    ASSERT_TRUE(waitForResults(1));
    EXPECT_NE(m_results->title(), QStringLiteral("ran"));
}

TEST_F(SearchWindowLive, APageThatIsNoHtmlStillLoadingOrFailedGivesNoPictures)
{
    const QString stillLoading = address(QStringLiteral("/slow"));
    const QString serverDown = QStringLiteral("http://127.0.0.1:1/gallery/plain");
    for (const QString &page : {address(QStringLiteral("/notahtml")), stillLoading, serverDown}) {
        QSignalSpy loaded(m_page, &BrowserView::downloadComplete);
        box("TextUrl")->setEditText(page);
        press("CmdGo");
        if (page != stillLoading) {
            ASSERT_TRUE(loaded.wait(timeout));
        }
        press("Opt1");
        ASSERT_TRUE(waitForResults(0));
        EXPECT_EQ(m_state.results().count(), 0) << page.toStdString();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return m_window->findChild<QLabel *>(QStringLiteral("Lab2"))->text() ==
                       QStringLiteral("圖片總數：0");
            },
            timeout));
        press("Opt0");
    }
}

} // namespace
} // namespace vimbrel
