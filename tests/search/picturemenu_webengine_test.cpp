#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "livesearchwindow.h"
#include "search/searchwindow.h"
#include "webenginewait.h"

namespace vimbrel {

// The results page suppresses the engine's menu in its own line; the window's menu still comes.
TEST_F(LiveSearchWindow, ARightClickOnAResultPictureOffersTheWindowsMenu)
{
    ASSERT_TRUE(go(QStringLiteral("/gallery/plain")));
    press("Opt1");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return m_results->url().isLocalFile() &&
                   WebEngineWait::evaluate(*m_results,
                                           QStringLiteral("document.images.length > 1 && "
                                                          "document.images[1].complete"))
                       .toBool();
        },
        WebEngineWait::timeout));
    const QString picture =
        WebEngineWait::evaluate(*m_results, QStringLiteral("document.images[1].src")).toString();
    ASSERT_TRUE(picture.startsWith(QLatin1String("http://")));
    auto *menu = m_window->findChild<QMenu *>(QStringLiteral("PictureMenu"));
    ASSERT_NE(menu, nullptr);

    const auto rightClick = [&] {
        const auto centre =
            WebEngineWait::centreOf(*m_results, QStringLiteral("document.images[1]"));
        if (!centre)
            return false;
        QTest::mouseClick(WebEngineWait::input(*m_results), Qt::RightButton, Qt::NoModifier,
                          *centre);
        return QTest::qWaitFor([&] { return menu->isVisible(); }, WebEngineWait::timeout);
    };
    ASSERT_TRUE(rightClick());
    menu->findChild<QAction *>(QStringLiteral("CopyPictureAddress"))->trigger();
    menu->hide();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), picture);

    ASSERT_TRUE(rightClick());
    QSignalSpy saves(&m_state, &SearchState::pictureSaveRequested);
    menu->findChild<QAction *>(QStringLiteral("SavePicture"))->trigger();
    menu->hide();
    ASSERT_EQ(saves.size(), 1);
    EXPECT_EQ(saves.at(0).at(0).toString(), picture);
}

} // namespace vimbrel
