#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

#include "livesearchwindow.h"
#include "saving/originattributes.h"
#include "saving/savingrun.h"
#include "search/searchwindow.h"
#include "webenginewait.h"

namespace vimbrel {
namespace {

using WebEngineWait::timeout;

bool near(QRgb a, QColor b, int tolerance = 48)
{
    return std::abs(qRed(a) - b.red()) <= tolerance &&
           std::abs(qGreen(a) - b.green()) <= tolerance &&
           std::abs(qBlue(a) - b.blue()) <= tolerance;
}

// Saving runs of the search window with real views against the local image service.
class SavingLive : public LiveSearchWindow
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(LiveSearchWindow::SetUp());
        m_target = m_dir.filePath(QStringLiteral("saved pictures 圖片"));
        QDir().mkpath(m_target);
    }
    void adjust(SearchServices &services) override
    {
        services.userAgent = [] { return QStringLiteral("VimbrelTest/1"); };
        services.cookiesFor = [](const QUrl &url) {
            return QList<QNetworkCookie>{QNetworkCookie("seen", url.path().toUtf8())};
        };
    }

    // Command1 into the target folder; the closing box's text.
    QString save() { return saveWith(*m_window, m_target, false, timeout); }
    QStringList targetFiles() const
    {
        return QDir(m_target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
    QImage saved(int number) const
    {
        return QImage(QDir(m_target).filePath(QStringLiteral("%1.jpg").arg(number)));
    }
    // The five pictures of the mixed gallery worth keeping, in page order.
    void expectMixedGallerySaved()
    {
        EXPECT_EQ(targetFiles(), (QStringList{QStringLiteral("0.jpg"), QStringLiteral("1.jpg"),
                                              QStringLiteral("2.jpg"), QStringLiteral("3.jpg"),
                                              QStringLiteral("4.jpg")}));
        EXPECT_EQ(saved(0).size(), QSize(800, 600));
        EXPECT_TRUE(near(saved(0).pixel(50, 300), Qt::red));
        // The see-through half of the PNG lies on white.
        EXPECT_EQ(saved(1).size(), QSize(400, 300));
        EXPECT_TRUE(near(saved(1).pixel(20, 150), Qt::white, 8));
        // Turned upright: the red left quarter is now the top quarter.
        EXPECT_EQ(saved(2).size(), QSize(200, 400));
        EXPECT_TRUE(near(saved(2).pixel(100, 40), Qt::red));
        // The late picture keeps its place before the one that came after it.
        EXPECT_EQ(saved(3).size(), QSize(600, 400));
        EXPECT_EQ(saved(4).size(), QSize(640, 480));
    }

    QString m_target;
};

// Of nine pictures: two too small (one is the GIF), one missing, one a web page.
const QString MixedReport = QStringLiteral("question|查看|已保存 5 幅圖片，2 幅圖片因太小而略去，2 "
                                           "幅圖片無法取得。立即查看剛才保存的圖片嗎？");

TEST_F(SavingLive, AMixedPageGivesExactlyTheExpectedFiles)
{
    ASSERT_TRUE(go(QStringLiteral("/gallery/mixed")));
    EXPECT_EQ(save(), MixedReport);
    expectMixedGallerySaved();

    // Asked for as the view asks: the page as referrer, its user agent and cookies.
    const QString page = address(QStringLiteral("/gallery/mixed"));
    EXPECT_EQ(m_service.lastHeader(QStringLiteral("/pic/big1.jpg"), "Referer"), page.toUtf8());
    EXPECT_EQ(m_service.lastHeader(QStringLiteral("/pic/big1.jpg"), "User-Agent"), "VimbrelTest/1");
    EXPECT_EQ(m_service.lastHeader(QStringLiteral("/pic/big1.jpg"), "Cookie"),
              "seen=/pic/big1.jpg");
    const QString origin = OriginAttributes::read(QDir(m_target).filePath(QStringLiteral("0.jpg")),
                                                  "user.xdg.origin.url");
    if (!origin.isEmpty()) {
        EXPECT_EQ(QUrl(origin), QUrl(address(QStringLiteral("/pic/big1.jpg?w=800&h=600&noise=1"))));
        EXPECT_EQ(OriginAttributes::read(QDir(m_target).filePath(QStringLiteral("0.jpg")),
                                         "user.xdg.referrer.url"),
                  page);
    }
}

TEST_F(SavingLive, TheResultsPageIsSavedInTheResultListOrder)
{
    ASSERT_TRUE(go(QStringLiteral("/gallery/mixed")));
    QSignalSpy loaded(m_results, &BrowserView::downloadComplete);
    press("Opt1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_results->url().isLocalFile() && !loaded.isEmpty(); },
                                timeout));
    // The extraction leaves the GIF out; the rest keep their order.
    ASSERT_EQ(m_state.results().count(), 8);
    EXPECT_TRUE(m_state.results().at(0).contains(QLatin1String("big1.jpg")));
    EXPECT_TRUE(m_state.results().at(7).contains(QLatin1String("big2.jpg")));
    EXPECT_EQ(save(), QStringLiteral("question|查看|已保存 5 幅圖片，1 幅圖片因太小而略去，2 "
                                     "幅圖片無法取得。立即查看剛才保存的圖片嗎？"));
    expectMixedGallerySaved();
}

TEST_F(SavingLive, AServerThatNeverAnswersOrRefusesDoesNotHoldTheRunUp)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString refused = QStringLiteral("http://127.0.0.1:%1/a.jpg").arg(closed.serverPort());
    closed.close();

    SavingSource source;
    SavingRun run(m_target, source);
    run.setTimeout(500);
    QSignalSpy finished(&run, &SavingRun::finished);
    run.start({address(QStringLiteral("/pic/never.jpg?late=600000")), refused,
               address(QStringLiteral("/pic/big2.jpg?w=640&h=480&noise=1"))});
    ASSERT_TRUE(finished.wait(timeout));
    EXPECT_EQ(run.report().failed, 2);
    EXPECT_EQ(run.report().saved, 1);
    EXPECT_EQ(saved(0).size(), QSize(640, 480));
}

} // namespace
} // namespace vimbrel
