#include <gtest/gtest.h>

#include "../search/printing.h"
#include "../search/searchwindowfixture.h"
#include "detail/detailwindow.h"
#include "detail/formimage.h"
#include "windowkeys.h"

namespace vimbrel {
namespace {

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
        services.makeDownload = [](BrowserView *, QObject *) { return nullptr; };
        services.pageFile = m_dir.filePath(QStringLiteral("img.htm"));
        m_detail = std::make_unique<DetailWindow>(services, &m_state);
        for (const char *address : {"http://p.test/a.jpg", "http://p.test/b.jpg"})
            m_state.results().append(QString::fromLatin1(address));
        m_detail->open(m_state.results().at(0), nullptr);
        ASSERT_NE(m_detail->window(), nullptr);
        ASSERT_TRUE(activate(*m_detail->window()));
        m_view->finishLoad(); // the focus goes to the sink, as after every load
    }

    std::unique_ptr<DetailWindow> m_detail;
    FakeBrowserView *m_view = nullptr;
};

} // namespace

TEST_F(DetailKeys, EachKeyTriggersItsCommandAndShowsInItsTooltip)
{
    FormImage &window = *m_detail->window();
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
    EXPECT_EQ(tabStopsOutOfSight(*m_detail->window()), QStringList());
}

} // namespace vimbrel
