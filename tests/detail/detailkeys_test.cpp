#include <QMenu>

#include <gtest/gtest.h>

#include "../search/printing.h"
#include "../search/searchwindowfixture.h"
#include "app/detailwindowkeeper.h"
#include "detail/detailwindow.h"
#include "detail/picturedownload.h"
#include "windowkeys.h"

namespace vimbrel {
namespace {

// Saves nothing; the tests look at the questions asked before a save.
class NoDownload : public PictureDownload
{
public:
    using PictureDownload::PictureDownload;
    void save(const QString &, const QString &, Done) override {}
    bool busy() const override { return false; }
};

class DetailKeys : public SearchWindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(useHost(QStringLiteral("img.test")));
        DetailServices services;
        services.dialogs = &m_dialogs;
        services.shell = &m_shell;
        services.makeView = [this](QWidget *parent) {
            m_view = new FakeBrowserView(parent);
            return m_view;
        };
        services.makeDownload = [](BrowserView *, QObject *parent) {
            return new NoDownload(parent);
        };
        services.pageFile = m_dir.filePath(QStringLiteral("img.htm"));
        m_detail = std::make_unique<DetailWindowKeeper>(services, &m_state);
        for (const char *address : {"http://p.test/a.jpg", "http://p.test/b.jpg"})
            m_state.results().append(QString::fromLatin1(address));
        m_detail->open(m_state.results().at(0), nullptr);
        ASSERT_NE(m_detail->window(), nullptr);
        ASSERT_TRUE(activate(*m_detail->window()));
        m_view->finishLoad(); // the focus goes to the sink, as after every load
    }

    std::unique_ptr<DetailWindowKeeper> m_detail;
    FakeBrowserView *m_view = nullptr;
};

} // namespace

TEST_F(DetailKeys, EachKeyTriggersItsCommandAndShowsInItsTooltip)
{
    DetailWindow &window = *m_detail->window();
    const KeyRow rows[] = {
        {"Ctrl+S", "Cmd0", "保存 (Ctrl+S)"},
        {"Right", "Cmd2", "下一幅 (Right)"},
        {"Left", "Cmd1", "上一幅 (Left)"},
        {"Up", nullptr, nullptr}, // still the sink's: it scrolls the page
        {"Escape", "CloseWindow", nullptr},
    };
    for (const KeyRow &row : rows) {
        SCOPED_TRACE(row.key);
        const QStringList expected =
            row.action ? QStringList{QString::fromLatin1(row.action)} : QStringList();
        EXPECT_EQ(actionsTriggeredBy(window, QKeySequence(QString::fromLatin1(row.key))), expected);
        if (row.tooltip) {
            EXPECT_EQ(window.findChild<QAction *>(QString::fromLatin1(row.action))->toolTip(),
                      QString::fromUtf8(row.tooltip));
            EXPECT_EQ(window
                          .findChild<QWidget *>(QString::fromLatin1(row.action) +
                                                QStringLiteral("Button"))
                          ->toolTip(),
                      QString::fromUtf8(row.tooltip));
        }
    }
    EXPECT_EQ(m_view->scrolls, QList<QPoint>{QPoint(0, -100)});
    EXPECT_TRUE(QTest::qWaitFor([this] { return m_detail->window() == nullptr; }));
}

TEST_F(DetailKeys, TabReachesOnlyWhatCanShowTheFocus)
{
    // Large enough for the whole tool row: the test screen is smaller than the window's own
    // size, and a window fitted to a small screen cuts its row off by design.
    m_detail->window()->resize(1400, 900);
    QCoreApplication::processEvents();
    EXPECT_EQ(tabStopsOutOfSight(*m_detail->window()), QStringList());
}

// "保存圖片" of a results page's picture menu: the detail window shows that picture and asks
// where to save it, as its own button does.
TEST_F(DetailKeys, APictureMenusSaveIsTheDetailWindowsSave)
{
    const QString picture = m_state.results().at(1);
    Q_EMIT m_state.pictureSaveRequested(picture, nullptr);
    EXPECT_EQ(m_detail->window()->currentPicture(), picture);
    ASSERT_FALSE(m_dialogs.calls.isEmpty());
    EXPECT_EQ(m_dialogs.calls.last(), QStringLiteral("save|保存圖片|所有文件 (*)|b.jpg"));

    // The detail window's own menu saves and opens the picture it shows.
    m_view->requestPictureMenu(QUrl(picture));
    auto *menu = m_detail->window()->findChild<QMenu *>(QStringLiteral("PictureMenu"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
    menu->findChild<QAction *>(QStringLiteral("OpenPicture"))->trigger();
    EXPECT_EQ(m_shell.calls.last(), QStringLiteral("open|") + picture);
}

} // namespace vimbrel
