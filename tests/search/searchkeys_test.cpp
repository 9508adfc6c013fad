#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "printing.h"
#include "search/searchwindow.h"
#include "searchwindowfixture.h"
#include "windowkeys.h"

namespace vimbrel {

class SearchKeys : public SearchWindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(useHost(QStringLiteral("img.test")));
        m_window = std::make_unique<SearchWindow>(overFakeViews());
        // The page view has somewhere to go back and forward to.
        Q_EMIT m_fakeViews.front()->commandStateChanged(BrowserCommand::Back, true);
        Q_EMIT m_fakeViews.front()->commandStateChanged(BrowserCommand::Forward, true);
        ASSERT_TRUE(activate(*m_window));
        // A new window's keys go to its focus box, so that Up and Down scroll at once.
        ASSERT_EQ(QApplication::focusWidget(), m_window->findChild<QWidget *>("Cmb"));
    }

    std::unique_ptr<SearchWindow> m_window;
};

TEST_F(SearchKeys, EachKeyTriggersItsCommandAndShowsInItsTooltip)
{
    const KeyRow rows[] = {
        {"Alt+Left", "CmdPage0", "後退 (Alt+Left)"},
        {"Alt+Right", "CmdPage1", "前進 (Alt+Right)"},
        {"F5", "Command2", "頁面刷新 (F5)"},
        {"Ctrl+E", "Opt1", "提取網頁圖片 (Ctrl+E)"},
        {"Ctrl+L", "ToTextUrl", nullptr},
    };
    for (const KeyRow &row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(actionsTriggeredBy(*m_window, QKeySequence(QString::fromLatin1(row.key))),
                  QStringList{QString::fromLatin1(row.action)});
        if (row.tooltip) {
            EXPECT_EQ(m_window->findChild<QAction *>(QString::fromLatin1(row.action))->toolTip(),
                      QString::fromUtf8(row.tooltip));
        }
    }
    EXPECT_EQ(m_fakeViews.front()->backs, 1);
    EXPECT_EQ(m_fakeViews.front()->forwards, 1);
    // Ctrl+L leaves the address ready to be typed over.
    auto *address = m_window->findChild<QComboBox *>(QStringLiteral("TextUrl"));
    EXPECT_TRUE(address->lineEdit()->hasFocus());
    EXPECT_EQ(address->lineEdit()->selectedText(), address->currentText());
}

TEST_F(SearchKeys, TabReachesOnlyWhatCanShowTheFocus)
{
    EXPECT_EQ(tabStopsOutOfSight(*m_window), QStringList());
}

} // namespace vimbrel
