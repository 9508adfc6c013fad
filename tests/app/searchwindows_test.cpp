#include "app/searchwindows.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/mainwindow.h"
#include "fakebrowserview.h"
#include "fakedialogs.h"
#include "fakeshell.h"
#include "platform/inisettings.h"
#include "search/searchstate.h"

namespace vimbrel {
namespace {

TEST(SearchWindows, EachPressOpensAnotherWindowAndClosingTheMainWindowClosesThemAll)
{
    QTemporaryDir dir;
    IniSettings settings(dir.filePath(QStringLiteral("ulvo.ini")));
    FakeDialogs dialogs;
    FakeShell shell;
    QList<FakeBrowserView *> pageViews;

    MainServices main;
    main.settings = &settings;
    main.dialogs = &dialogs;
    main.shell = &shell;
    main.makeView = [](QWidget *parent) { return new FakeBrowserView(parent); };
    main.pageFile = dir.filePath(QStringLiteral("Tpc.htm"));
    main.widthOf = [](const QString &) { return 100; };
    MainWindow window(main);

    SearchState state;
    SearchServices search;
    search.settings = &settings;
    search.dialogs = &dialogs;
    search.shell = &shell;
    search.makeView = [&pageViews](QWidget *parent) {
        auto *view = new FakeBrowserView(parent);
        pageViews.append(view);
        return view;
    };
    search.makeResultsView = [](QWidget *parent) { return new FakeBrowserView(parent); };
    search.resultsPageFile = dir.filePath(QStringLiteral("Baidu.htm"));
    search.state = &state;
    SearchWindows windows(search, &window);
    QObject::connect(&window, &MainWindow::searchWindowRequested, &windows, &SearchWindows::open);

    window.findChild<QToolButton *>(QStringLiteral("Command6"))->click();
    window.findChild<QToolButton *>(QStringLiteral("Command6"))->click();
    ASSERT_EQ(windows.windows().size(), 2);
    EXPECT_NE(windows.windows()[0], windows.windows()[1]);
    EXPECT_TRUE(windows.windows()[1]->isVisible());
    ASSERT_EQ(pageViews.size(), 2);
    EXPECT_NE(pageViews[0]->navigations, pageViews[1]->navigations); // presets 0 and 1
    EXPECT_EQ(settings.value(QStringLiteral("Search"), QStringLiteral("LoadTime")),
              QStringLiteral("2"));

    window.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(windows.windows().isEmpty());
}

} // namespace
} // namespace vimbrel
