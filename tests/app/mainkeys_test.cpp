#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "app/mainwindow.h"
#include "capture/screengrabber.h"
#include "fakebrowserview.h"
#include "fakedialogs.h"
#include "fakeshell.h"
#include "platform/inisettings.h"
#include "shell/xdgfolderverb.h"
#include "windowkeys.h"

using namespace vimbrel;

namespace {

struct NoScreen : ScreenGrabber
{
    QImage grabScreen() override { return {}; }
};

class MainKeys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_settings = std::make_unique<IniSettings>(m_dir.filePath(QStringLiteral("ulvo.ini")));
        m_folderVerb = std::make_unique<XdgFolderVerb>(m_dir.filePath(QStringLiteral("data")));
        MainServices services;
        services.settings = m_settings.get();
        services.dialogs = &m_dialogs;
        services.shell = &m_shell;
        services.makeView = [](QWidget *parent) { return new FakeBrowserView(parent); };
        services.pageFile = m_dir.filePath(QStringLiteral("Tpc.htm"));
        services.folderVerb = m_folderVerb.get();
        services.grabber = &m_grabber;
        services.widthOf = [](const QString &) { return 640; };
        m_window = std::make_unique<MainWindow>(services);
        m_window->resize(1000, 700);
        // Four pages, so both page turns have somewhere to go.
        const QString folder = m_dir.filePath(QStringLiteral("pictures"));
        QDir().mkpath(folder);
        for (int i = 1; i <= 100; ++i)
            QFile(folder + QStringLiteral("/p%1.jpg").arg(i)).open(QIODevice::WriteOnly);
        m_window->formLoad(folder);
        ASSERT_TRUE(activate(*m_window));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<IniSettings> m_settings;
    std::unique_ptr<XdgFolderVerb> m_folderVerb;
    NoScreen m_grabber;
    FakeDialogs m_dialogs;
    FakeShell m_shell;
    std::unique_ptr<MainWindow> m_window;
};

} // namespace

TEST_F(MainKeys, EachKeyTriggersItsCommandAndShowsInItsTooltip)
{
    const KeyRow rows[] = {
        {"Ctrl+PgDown", "CmdPage1", "往後翻頁 (Ctrl+PgDown)"},
        {"Ctrl+PgUp", "CmdPage0", "往前翻頁 (Ctrl+PgUp)"},
        {"F5", "Command2", "刷新圖像 (F5)"},
        {"Ctrl++", "BigP0", "圖像放大 (Ctrl++)"},
        {"Ctrl+=", "BigP0", "圖像放大 (Ctrl++)"},
        {"Ctrl+-", "BigP1", "圖像縮小 (Ctrl+-)"},
    };
    for (const KeyRow &row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(actionsTriggeredBy(*m_window, QKeySequence(QString::fromLatin1(row.key))),
                  QStringList{QString::fromLatin1(row.action)});
        auto *action = m_window->findChild<QAction *>(QString::fromLatin1(row.action));
        EXPECT_EQ(action->toolTip(), QString::fromUtf8(row.tooltip));
    }
}

TEST_F(MainKeys, TabReachesOnlyWhatCanShowTheFocus)
{
    EXPECT_EQ(tabStopsOutOfSight(*m_window), QStringList());
}

TEST_F(MainKeys, TheTitleNamesTheFolderOnShow)
{
    EXPECT_EQ(m_window->windowTitle(),
              QStringLiteral("Vimbrel — ") + m_dir.filePath(QStringLiteral("pictures")));
}
