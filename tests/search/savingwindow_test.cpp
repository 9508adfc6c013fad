#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "hostileserver.h"
#include "noisepicture.h"
#include "search/searchwindow.h"
#include "searchwindowfixture.h"

namespace vimbrel {
namespace {

const QString Prompt = QStringLiteral("請指定一個保存圖片的文件目錄");
const QString Success =
    QStringLiteral("question|查看|保存成功！立即查看剛才保存的圖片嗎？               ");

// A picture as a data: address; busy ones stay above the size worth keeping.
QString dataPicture(int width, int height, bool busy)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    if (busy)
        image = noisePicture(width, height, quint32(width));
    return QStringLiteral("data:image/png;base64,") +
           QString::fromLatin1(pngBytes(image).toBase64());
}

// The search window over fake views; the run itself reads data: pictures.
class SavingWindow : public SearchWindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(useHost(QStringLiteral("img.test")));
        m_window = std::make_unique<SearchWindow>(overFakeViews());
        page()->currentUrl = QUrl(QStringLiteral("http://g.test/gallery"));
        m_target = m_dir.filePath(QStringLiteral("下載 的 圖片"));
        QDir().mkpath(m_target);
    }

    FakeBrowserView *page() { return m_fakeViews.front(); }
    void showPictures(const QStringList &addresses)
    {
        page()->scriptedElements.clear();
        for (const QString &address : addresses) {
            page()->scriptedElements.append({QStringLiteral("IMG"), address});
            page()->scriptedElements.append(
                {QStringLiteral("A"), QStringLiteral("http://g.test/")});
        }
    }
    // Forty pictures large enough to keep, so that a run is still going when the test acts.
    void showManyPictures()
    {
        QStringList addresses;
        for (int i = 0; i < 40; ++i)
            addresses << dataPicture(400 + i, 300, true);
        showPictures(addresses);
    }
    void press() { m_window->findChild<QAction *>(QStringLiteral("Command1"))->trigger(); }
    QString status() { return m_window->findChild<QLabel *>(QStringLiteral("Lab0"))->text(); }
    // Presses Command1 with a folder answered and waits for the closing box.
    void saveInto(const QString &folder, bool ok)
    {
        ASSERT_FALSE(saveWith(*m_window, folder, ok, 20000).isEmpty());
    }
    QStringList targetFiles() const { return QDir(m_target).entryList(QDir::Files, QDir::Name); }

    std::unique_ptr<SearchWindow> m_window;
    QString m_target;
};

TEST_F(SavingWindow, ACancelledFolderDialogEndsQuietly)
{
    showPictures({dataPicture(300, 200, true)});
    press(); // no answer scripted: cancelled
    QTest::qWait(50);
    EXPECT_EQ(m_dialogs.calls, QStringList{QStringLiteral("folder|") + Prompt});
    EXPECT_EQ(status(), QStringLiteral("當前路徑："));
}

TEST_F(SavingWindow, OkShowsTheFolderInTheMainWindowAndCancelDoesNot)
{
    showPictures({dataPicture(30, 20, false), dataPicture(300, 200, true)});
    QSignalSpy shown(&m_state, &SearchState::folderToShow);
    saveInto(m_target, true);
    EXPECT_EQ(m_dialogs.calls.last(), Success);
    EXPECT_EQ(targetFiles(), QStringList{QStringLiteral("0.jpg")});
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(QDir(shown.first().first().toString()), QDir(m_target));
    EXPECT_EQ(status(), QStringLiteral("2 / 2"));
    EXPECT_FALSE(
        m_window->findChild<QLabel *>(QStringLiteral("LabPro"))->isVisibleTo(m_window.get()));

    // The second run takes the next free number and does not show the folder on Cancel. Its
    // folder dialog opens where the first run saved; the first opened at the home folder.
    saveInto(m_target, false);
    EXPECT_EQ(targetFiles(), (QStringList{QStringLiteral("0.jpg"), QStringLiteral("1.jpg")}));
    EXPECT_EQ(shown.size(), 1);
    ASSERT_EQ(m_dialogs.folderStarts.size(), 2);
    EXPECT_EQ(m_dialogs.folderStarts[0], QString());
    EXPECT_EQ(QDir(m_dialogs.folderStarts[1]), QDir(m_target));
}

TEST_F(SavingWindow, APageWithoutPicturesSaysSoAndOffersNoFolder)
{
    showPictures({});
    QSignalSpy shown(&m_state, &SearchState::folderToShow);
    saveInto(m_target, true);
    EXPECT_EQ(m_dialogs.calls.last(),
              QStringLiteral("message|查看|網頁中沒有圖片，沒有保存任何圖片。|0"));
    EXPECT_TRUE(targetFiles().isEmpty());
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(SavingWindow, PressingAgainStopsAfterThePicturesInFlight)
{
    showManyPictures();
    m_dialogs.fileAnswers.push_back(m_target);
    m_dialogs.questionAnswers.push_back(false);
    press();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !targetFiles().isEmpty(); }, 20000));
    press(); // stop; no second folder dialog
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_dialogs.calls.size() == 2; }, 20000));
    EXPECT_EQ(m_dialogs.calls.first(), QStringLiteral("folder|") + Prompt);
    const int saved = int(targetFiles().size());
    EXPECT_LT(saved, 40);
    EXPECT_TRUE(m_dialogs.calls.last().startsWith(
        QStringLiteral("question|查看|保存已停止。已保存 %1 幅圖片，").arg(saved)))
        << m_dialogs.calls.last().toStdString();
    // What was saved is numbered without gaps, each the picture of its place on the page.
    for (int i = 0; i < saved; ++i)
        EXPECT_EQ(QImage(QDir(m_target).filePath(QStringLiteral("%1.jpg").arg(i))).width(),
                  400 + i);
}

TEST_F(SavingWindow, APageOfOnlySmallPicturesSaysSoAndOffersNoFolder)
{
    showPictures({dataPicture(30, 20, false), dataPicture(40, 20, false)});
    QSignalSpy shown(&m_state, &SearchState::folderToShow);
    saveInto(m_target, true);
    EXPECT_EQ(m_dialogs.calls.last(),
              QStringLiteral("message|查看|沒有保存任何圖片，2 幅圖片因太小而略去。|0"));
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(SavingWindow, TheSaveSectionOfTheSettingsReachesTheRun)
{
    m_settings->setValue(QStringLiteral("Save"), QStringLiteral("MinBytes"), QStringLiteral("0"));
    showPictures({dataPicture(30, 20, false)});
    saveInto(m_target, false);
    EXPECT_EQ(m_dialogs.calls.last(), Success);
    EXPECT_EQ(targetFiles(), QStringList{QStringLiteral("0.jpg")});
}

TEST_F(SavingWindow, TheResultsViewTakesLocalPicturesOnlyOfALocalPage)
{
    QFile secret(m_dir.filePath(QStringLiteral("secret.png")));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    noisePicture(300, 200, 7).save(&secret, "png");
    secret.close();
    const QString address = QUrl::fromLocalFile(secret.fileName()).toString();
    showPictures({address});
    m_window->findChild<QAction *>(QStringLiteral("Opt1"))->trigger();
    FakeBrowserView *results = m_fakeViews.at(1);
    ASSERT_TRUE(results->url().isLocalFile()); // the results page, local whatever it shows
    results->scriptedElements = {{QStringLiteral("IMG"), address}};

    // The page view shows a web page: its pictures are no local files.
    saveInto(m_target, false);
    EXPECT_EQ(m_dialogs.calls.last(),
              QStringLiteral("message|查看|沒有保存任何圖片，1 幅圖片無法取得。|0"));
    EXPECT_TRUE(targetFiles().isEmpty());

    page()->currentUrl = QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("page.html")));
    saveInto(m_target, false);
    EXPECT_EQ(m_dialogs.calls.last(), Success);
}

TEST_F(SavingWindow, PressingAgainEndsFetchesThatHangAtOnce)
{
    HostileServer server;
    server.answer(QStringLiteral("/silent.jpg"), {HostileServer::Kind::Silent, {}, {}});
    showPictures({server.address(QStringLiteral("/silent.jpg")),
                  server.address(QStringLiteral("/silent.jpg"))});
    m_dialogs.fileAnswers.push_back(m_target);
    press();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.asked(QStringLiteral("/silent.jpg")); }));
    press();
    // The closing box comes now, not after the server's 30 s of silence.
    ASSERT_EQ(m_dialogs.calls.size(), 2);
    EXPECT_EQ(m_dialogs.calls.last(),
              QStringLiteral("message|查看|保存已停止。沒有保存任何圖片，2 幅圖片未處理。|0"));
}

TEST_F(SavingWindow, ClosingTheWindowEndsARunWithoutAsking)
{
    showManyPictures();
    m_dialogs.fileAnswers.push_back(m_target);
    press();
    m_window->close();
    m_window.reset();
    QTest::qWait(100);
    EXPECT_EQ(m_dialogs.calls, QStringList{QStringLiteral("folder|") + Prompt});
    EXPECT_LT(targetFiles().size(), 40);
}

} // namespace
} // namespace vimbrel
