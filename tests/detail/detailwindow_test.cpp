#include "detail/detailwindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "../search/printing.h"
#include "../search/searchwindowfixture.h"
#include "app/detailwindowkeeper.h"
#include "detail/detailpage.h"
#include "detail/picturedownload.h"
#include "filecontents.h"
#include "platform/pagefiles.h"
#include "windowkit/focussink.h"
#include "windowkit/viewcontrols.h"

namespace vimbrel {
namespace {

// Records each save; the test ends it with the error it likes.
class FakeDownload : public PictureDownload
{
public:
    using PictureDownload::PictureDownload;
    struct Save
    {
        QString address;
        QString filePath;
        Done done;
    };
    std::vector<Save> saves;
    int running = 0;
    void save(const QString &address, const QString &filePath, Done done) override
    {
        saves.push_back({address, filePath, std::move(done)});
        ++running;
    }
    bool busy() const override { return running > 0; }
    void end(std::size_t index, const QString &error)
    {
        saves.at(index).done(error);
        if (--running == 0)
            Q_EMIT idle();
    }
};

const QString A = QStringLiteral("http://p.test/a.jpg");
const QString B = QStringLiteral("http://p.test/b.jpg");
const QString C = QStringLiteral("http://p.test/c.jpg");

class DetailWindowTest : public SearchWindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(useHost(QStringLiteral("img.test")));
        m_pageFile = m_dir.filePath(QStringLiteral("img.htm"));
        DetailServices services;
        services.dialogs = &m_dialogs;
        services.shell = &m_shell;
        services.makeView = [this](QWidget *parent) {
            m_view = new FakeBrowserView(parent);
            return m_view;
        };
        services.makeDownload = [this](BrowserView *, QObject *parent) {
            m_download = new FakeDownload(parent);
            return m_download;
        };
        services.pageFile = m_pageFile;
        m_detail = new DetailWindowKeeper(services, &m_state);
    }
    void TearDown() override
    {
        m_searchWindows.clear();
        delete m_detail;
    }

    // A search window over fake views; its results view is the second one made.
    SearchWindow &searchWindow()
    {
        m_searchWindows.push_back(std::make_unique<SearchWindow>(overFakeViews()));
        return *m_searchWindows.back();
    }
    FakeBrowserView *resultsView() { return m_fakeViews.back(); }
    void click(const QString &address) { resultsView()->requestNewWindow(QUrl(address), true); }

    void fill(const QStringList &addresses)
    {
        m_state.results().clear();
        for (const QString &address : addresses)
            m_state.results().append(address);
    }
    // The window shows a picture, not yet clicked from any search window.
    DetailWindow &opened(const QString &address = A)
    {
        m_detail->open(address, nullptr);
        EXPECT_NE(m_detail->window(), nullptr);
        return *m_detail->window();
    }
    DetailWindow &window() { return *m_detail->window(); }
    void press(const char *name)
    {
        auto *action = window().findChild<QAction *>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    QByteArray page() { return fileContents(m_pageFile); }
    static QByteArray pageOf(const QString &address)
    {
        return PageFiles::joinLines(DetailPage::lines(address));
    }
    QWidget *sink() { return window().findChild<FocusSink *>(QStringLiteral("Cmb")); }

    QString m_pageFile;
    DetailWindowKeeper *m_detail = nullptr;
    FakeBrowserView *m_view = nullptr;
    FakeDownload *m_download = nullptr;
    std::vector<std::unique_ptr<SearchWindow>> m_searchWindows;
};

TEST_F(DetailWindowTest, ClicksOnAResultsPageOpenAndThenReloadTheOneWindow)
{
    SearchWindow &search = searchWindow();
    EXPECT_EQ(m_detail->window(), nullptr);
    click(A);
    DetailWindow *first = m_detail->window();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("圖片詳情"));
    EXPECT_EQ(m_view->navigations, QStringList{m_pageFile});
    EXPECT_EQ(page(), pageOf(A));
    m_view->finishLoad();
    EXPECT_EQ(first->windowTitle(), QStringLiteral("圖片詳情 - ") + A);
    EXPECT_EQ(first->focusWidget(), sink());

    // A second search window's click reloads the same window.
    searchWindow();
    click(B);
    EXPECT_EQ(m_detail->window(), first);
    EXPECT_EQ(m_view->navigations, (QStringList{m_pageFile, m_pageFile}));
    EXPECT_EQ(page(), pageOf(B));
    EXPECT_EQ(first->currentPicture(), B);
    m_view->finishLoad();
    EXPECT_EQ(first->windowTitle(), QStringLiteral("圖片詳情 - ") + B);
    (void)search;
}

TEST_F(DetailWindowTest, ClosingDeletesThePageAndGivesTheFocusBackToTheSearchWindow)
{
    SearchWindow &first = searchWindow();
    SearchWindow &second = searchWindow();
    fill({A, B, C});
    click(A); // from the second window: the last one that opened a picture
    press("Cmd2");
    EXPECT_EQ(window().walkPosition(), 2);
    ASSERT_TRUE(QFile::exists(m_pageFile));

    QPointer<DetailWindow> closing = m_detail->window();
    EXPECT_TRUE(closing->close());
    EXPECT_FALSE(QFile::exists(m_pageFile));
    EXPECT_EQ(m_detail->window(), nullptr);
    EXPECT_EQ(second.focusWidget(), second.findChild<FocusSink *>(QStringLiteral("Cmb")));
    EXPECT_NE(first.focusWidget(), first.findChild<FocusSink *>(QStringLiteral("Cmb")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closing.isNull());

    // A new window starts the walk at 1 again.
    click(B);
    ASSERT_NE(m_detail->window(), nullptr);
    EXPECT_EQ(window().walkPosition(), 1);
    EXPECT_EQ(page(), pageOf(B));
    press("Cmd2");
    EXPECT_EQ(window().currentPicture(), C);
}

TEST_F(DetailWindowTest, ClosingWhenTheSearchWindowIsGoneOnlyDeletesThePage)
{
    searchWindow();
    click(A);
    m_searchWindows.clear();
    EXPECT_TRUE(window().close());
    EXPECT_FALSE(QFile::exists(m_pageFile));
}

TEST_F(DetailWindowTest, ClosingTheMainWindowClosesTheDetailWindow)
{
    QWidget mainWindow;
    m_detail->deleteLater();
    DetailServices services;
    services.dialogs = &m_dialogs;
    services.shell = &m_shell;
    services.makeView = [](QWidget *parent) { return new FakeBrowserView(parent); };
    services.pageFile = m_pageFile;
    m_detail = new DetailWindowKeeper(services, &m_state, &mainWindow);
    m_detail->open(A, nullptr);
    ASSERT_TRUE(QFile::exists(m_pageFile));
    mainWindow.close();
    EXPECT_EQ(m_detail->window(), nullptr);
    EXPECT_FALSE(QFile::exists(m_pageFile));
}

TEST_F(DetailWindowTest, APageThatCannotBeWrittenIsNotShownAsTheOldPicture)
{
    opened(A);
    ASSERT_TRUE(QFile::remove(m_pageFile));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("img.htm"))); // in the way
    m_detail->open(B, nullptr);
    ASSERT_EQ(m_view->navigations.size(), 2);
    EXPECT_TRUE(m_view->navigations[1].startsWith(QStringLiteral("about:")));
    EXPECT_TRUE(m_view->navigations[1].contains(m_pageFile));
}

TEST_F(DetailWindowTest, TheWalkGoesRoundThreeEntriesFromPositionOne)
{
    fill({A, B, C});
    opened(B);
    const std::vector<std::pair<const char *, QString>> steps = {
        {"Cmd2", C}, {"Cmd2", A}, {"Cmd1", C}, {"Cmd1", B}, {"Cmd1", A}};
    int loads = 1;
    for (const auto &[button, shown] : steps) {
        press(button);
        EXPECT_EQ(window().currentPicture(), shown) << button;
        EXPECT_EQ(page(), pageOf(shown)) << button;
        EXPECT_EQ(m_view->navigations.size(), ++loads);
        EXPECT_EQ(window().focusWidget(), sink());
    }
}

TEST_F(DetailWindowTest, WithAnEmptyListTheWalkLoadsNothing)
{
    fill({A, B, C});
    fill({}); // a later extraction found nothing
    opened(A);
    press("Cmd2");
    press("Cmd1");
    press("Cmd1");
    EXPECT_EQ(m_view->navigations.size(), 1);
    EXPECT_EQ(window().currentPicture(), A);
    EXPECT_EQ(page(), pageOf(A));
}

TEST_F(DetailWindowTest, ZoomStepsByTenAndGoesBackToOneHundredOnEachLoad)
{
    fill({A, B});
    opened(A);
    m_view->finishLoad();
    press("Cmd4");
    press("Cmd4");
    EXPECT_EQ(m_view->scripts.last(), ViewControls::zoomScript(120));
    EXPECT_EQ(window().focusWidget(), sink());
    press("Cmd2");
    m_view->finishLoad();
    m_view->scripts.clear();
    for (int i = 0; i < 11; ++i)
        press("Cmd5");
    ASSERT_EQ(m_view->scripts.size(), 11);
    EXPECT_EQ(m_view->scripts.first(), ViewControls::zoomScript(90));
    EXPECT_EQ(m_view->scripts.last(), ViewControls::zoomScript(-10));
    EXPECT_EQ(window().focusWidget(), sink());
}

TEST_F(DetailWindowTest, TheAddressOpensInTheBrowserWhenItIsAWebAddressAndSaysWhenItCannot)
{
    opened(A);
    press("Cmd3");
    EXPECT_EQ(m_shell.calls, QStringList{QStringLiteral("open|") + A});
    EXPECT_TRUE(m_dialogs.calls.isEmpty());
    EXPECT_EQ(window().focusWidget(), sink());

    m_shell.openSucceeds = false;
    press("Cmd3");
    ASSERT_EQ(m_dialogs.calls.size(), 1);
    EXPECT_EQ(m_dialogs.calls[0], QStringLiteral("message|圖片詳情|這個地址不能在瀏覽器裡打開：") +
                                      A + QStringLiteral("|1"));

    m_shell.calls.clear();
    const QString local = QStringLiteral("file:///usr/bin/xterm");
    m_detail->open(local, nullptr);
    press("Cmd3");
    EXPECT_TRUE(m_shell.calls.isEmpty());
    ASSERT_EQ(m_dialogs.calls.size(), 2);
    EXPECT_TRUE(m_dialogs.calls[1].contains(local));
}

TEST_F(DetailWindowTest, SaveAsksWhereWithTheAddressesNameAndSaysWhenItFailed)
{
    opened(QStringLiteral("http://p.test/dir/%E5%9C%96.jpg?w=80"));
    const QString target = m_dir.filePath(QStringLiteral("chosen.jpg"));
    m_dialogs.fileAnswers = {target, target, std::nullopt};

    press("Cmd0");
    ASSERT_EQ(m_dialogs.calls.size(), 1);
    EXPECT_EQ(m_dialogs.calls[0], QStringLiteral("save|保存圖片|所有文件 (*)|圖.jpg"));
    ASSERT_EQ(m_download->saves.size(), 1u);
    EXPECT_EQ(m_download->saves[0].address, QStringLiteral("http://p.test/dir/%E5%9C%96.jpg?w=80"));
    EXPECT_EQ(m_download->saves[0].filePath, target);
    EXPECT_EQ(window().focusWidget(), sink());
    m_download->end(0, QString());
    EXPECT_EQ(m_dialogs.calls.size(), 1); // success says nothing

    press("Cmd0");
    ASSERT_EQ(m_download->saves.size(), 2u);
    m_download->end(1, QStringLiteral("Server responded with 404"));
    ASSERT_EQ(m_dialogs.calls.size(), 3);
    EXPECT_EQ(m_dialogs.calls[2],
              QStringLiteral("message|圖片詳情|圖片沒有保存：Server responded with 404|1"));

    press("Cmd0"); // cancelled dialog
    EXPECT_EQ(m_download->saves.size(), 2u);
    EXPECT_EQ(m_dialogs.calls.size(), 4);
    // Each of them belongs to the detail window.
    EXPECT_EQ(m_dialogs.owners, QList<const QWidget *>(4, &window()));
}

TEST_F(DetailWindowTest, TheSaveDialogOpensWhereTheLastPictureWent)
{
    opened(A);
    const QString folder = m_dir.filePath(QStringLiteral("pictures"));
    m_dialogs.fileAnswers = {folder + QStringLiteral("/first.jpg")};
    press("Cmd0");
    press("Cmd0"); // cancelled
    window().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    opened(B); // a new window
    press("Cmd0");
    const QString ask = QStringLiteral("save|保存圖片|所有文件 (*)|");
    EXPECT_EQ(m_dialogs.calls,
              QStringList({ask + QStringLiteral("a.jpg"), ask + folder + QStringLiteral("/a.jpg"),
                           ask + folder + QStringLiteral("/b.jpg")}));
}

TEST_F(DetailWindowTest, ASaveRunningWhenTheWindowClosesStillEndsAndIsHeardOf)
{
    opened(A);
    m_dialogs.fileAnswers = {m_dir.filePath(QStringLiteral("a.jpg")),
                             m_dir.filePath(QStringLiteral("b.jpg"))};
    press("Cmd0");
    press("Cmd0");
    QPointer<FakeDownload> download = m_download;
    window().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(download.isNull());
    download->end(0, QString());
    download->end(1, QStringLiteral("Connection refused"));
    EXPECT_EQ(m_dialogs.calls.last(),
              QStringLiteral("message|圖片詳情|圖片沒有保存：Connection refused|1"));
    EXPECT_EQ(m_dialogs.owners.last(), nullptr); // its window is gone
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(download.isNull()); // gone once idle

    // Without a save running it goes with its window.
    opened(B);
    download = m_download;
    window().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(download.isNull());
}

TEST_F(DetailWindowTest, ItOpensInsideTheScreen)
{
    const QRect area = opened(A).screen()->availableGeometry();
    ASSERT_LT(area.width(), DetailGeometry::DesignWidth * window().logicalDpiX() / 1440);
    EXPECT_TRUE(area.contains(window().frameGeometry()));
}

TEST_F(DetailWindowTest, TheLayoutFollowsTheWindowSize)
{
    DetailWindow &w = opened(A);
    QTest::qWait(0); // it has fitted itself to the screen, and is now sized by hand
    const double dpi = w.logicalDpiX();
    const auto px = [dpi](int twips) { return int(std::lround(twips * dpi / 1440.0)); };
    w.resize(px(15810), px(8730));
    QTest::qWait(0);
    EXPECT_EQ(m_view->widget()->geometry(), QRect(px(50), px(50), px(15710), px(8080)));
    const auto *save = w.findChild<QPushButton *>(QStringLiteral("Cmd0Button"));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), QStringLiteral("保存(&S)"));
    EXPECT_EQ(save->geometry(), QRect(px(2280), px(8180), px(1300), px(495)));
    EXPECT_EQ(w.findChild<QPushButton *>(QStringLiteral("Cmd5Button"))->geometry(),
              QRect(px(12600), px(8180), px(1300), px(495)));
    EXPECT_LT(sink()->geometry().right(), 0); // out of sight

    w.resize(px(15810), 30);
    QTest::qWait(0);
    EXPECT_EQ(m_view->widget()->height(), px(8080)); // kept
    EXPECT_EQ(save->y(), px(int(std::lround(30 * 1440 / dpi)) - 550));
}

} // namespace
} // namespace vimbrel
