#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "livesearchwindow.h"
#include "search/searchwindow.h"
#include "webenginewait.h"

namespace vimbrel {
namespace {

using WebEngineWait::evaluate;
using WebEngineWait::timeout;

class SearchWindowLive : public LiveSearchWindow
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(LiveSearchWindow::SetUp());
        // The first window starts on the service's home page.
        ASSERT_TRUE(waitForPage(QStringLiteral("/")));
    }

    QAction *action(const char *name) { return m_window->findChild<QAction *>(name); }
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
    ASSERT_TRUE(WebEngineWait::click(*m_results, QStringLiteral("document.images[1]")));
    ASSERT_TRUE(pictures.wait(timeout));
    EXPECT_EQ(pictures.at(0).at(0).toString(), expected[1]);
}

TEST_F(SearchWindowLive, AGalleryPageByThePageRuleAndItsLinksInThePageView)
{
    ASSERT_TRUE(go(QStringLiteral("/gallery/plain")));
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
    ASSERT_TRUE(WebEngineWait::click(*m_page,
                                     QStringLiteral("document.querySelector('a[target=_blank]')")));
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
    ASSERT_TRUE(go(QStringLiteral("/gallery/hostile")));
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
    // Its pictures are on screen, but the document is not parsed to its end.
    const QString halfParsed = address(QStringLiteral("/gallery/plain?stall=300"));
    const QString serverDown = QStringLiteral("http://127.0.0.1:1/gallery/plain");
    for (const QString &page :
         {address(QStringLiteral("/notahtml")), stillLoading, halfParsed, serverDown}) {
        // The page a slow one replaces has pictures; they are not the new page's.
        if (page == stillLoading) {
            ASSERT_TRUE(go(QStringLiteral("/gallery/plain")));
        }
        QSignalSpy loaded(m_page, &BrowserView::downloadComplete);
        box("TextUrl")->setEditText(page);
        press("CmdGo");
        if (page == halfParsed) {
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    return evaluate(*m_page, QStringLiteral("document.images.length")).toInt() > 0;
                },
                timeout));
        } else if (page != stillLoading) {
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
            timeout))
            << page.toStdString() << " "
            << m_window->findChild<QLabel *>(QStringLiteral("Lab2"))->text().toStdString();
        press("Opt0");
    }
}

TEST_F(SearchWindowLive, APageStillLoadingGivesThePicturesOfItsParsedDocument)
{
    box("TextUrl")->setEditText(address(QStringLiteral("/gallery/stuck")));
    press("CmdGo");
    // One picture never arrives, so the page never finishes; its document is parsed.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return m_page->url().path() == QLatin1String("/gallery/stuck") &&
                   evaluate(*m_page, QStringLiteral("document.readyState")).toString() ==
                       QLatin1String("interactive");
        },
        timeout));
    press("Opt1");
    QLabel *count = m_window->findChild<QLabel *>(QStringLiteral("Lab2"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_state.results().count() >= 3; }, timeout));
    const QStringList entries = m_state.results().entries();
    EXPECT_EQ(entries.mid(0, 3),
              (QStringList{address(QStringLiteral("/pic/s0.jpg?w=60&h=40")),
                           address(QStringLiteral("/pic/s1.jpg?w=60&h=40&late=3600000")),
                           address(QStringLiteral("/pic/s2.jpg?w=60&h=40"))}));
    EXPECT_FALSE(entries.contains(QString()));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return count->text() == QStringLiteral("圖片總數：%1").arg(entries.size()); },
        timeout));

    // Saving from the page view finds them as well; closing the window ends the run.
    press("Opt0");
    m_dialogs.fileAnswers.push_back(m_dir.path());
    press("Command1");
    QLabel *progress = m_window->findChild<QLabel *>(QStringLiteral("Lab0"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QString total = progress->text().section(QStringLiteral(" / "), 1);
            return total.toInt() >= 3;
        },
        timeout))
        << progress->text().toStdString();
    m_window->close();
}

TEST_F(SearchWindowLive, LinkedOriginalsTakeTheLinkedPictureWhenTheSettingIsOn)
{
    m_settings->setValue(QStringLiteral("Search"), QStringLiteral("LinkedOriginals"),
                         QStringLiteral("1"));
    ASSERT_TRUE(go(QStringLiteral("/gallery/forms")));
    press("Opt1");
    QStringList expected;
    for (const QString &path : ImageService::formsPaths(true))
        expected << address(path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_state.results().count() > 0; }, timeout));
    EXPECT_EQ(m_state.results().entries().join(QLatin1Char('\n')).toStdString(),
              expected.join(QLatin1Char('\n')).toStdString());
}

} // namespace
} // namespace vimbrel
