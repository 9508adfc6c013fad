#pragma once

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "fakebrowserview.h"
#include "fakedialogs.h"
#include "fakeshell.h"
#include "platform/inisettings.h"
#include "search/searchstate.h"
#include "search/searchwindow.h"

namespace vimbrel {

// What search windows are made with in a test: settings in a folder of the test's own that send
// searches to a host, the fake dialogs and shell, and the state the windows share.
class SearchWindowFixture : public ::testing::Test
{
protected:
    void useHost(const QString &host)
    {
        ASSERT_TRUE(m_dir.isValid());
        m_settings = std::make_unique<IniSettings>(m_dir.filePath(QStringLiteral("ulvo.ini")));
        m_settings->setValue(QStringLiteral("Search"), QStringLiteral("ServiceHost"), host);
    }
    QString resultsPageFile() const { return m_dir.filePath(QStringLiteral("Baidu.htm")); }

    // Everything a window needs but its views.
    SearchServices services()
    {
        SearchServices services;
        services.settings = m_settings.get();
        services.dialogs = &m_dialogs;
        services.shell = &m_shell;
        services.resultsPageFile = resultsPageFile();
        services.state = &m_state;
        return services;
    }
    // Over fake views, each kept in m_fakeViews in the order made (a window's page view, then its
    // results view).
    SearchServices overFakeViews()
    {
        SearchServices services = this->services();
        services.makeView = [this](QWidget *parent) {
            auto *view = new FakeBrowserView(parent);
            m_fakeViews.push_back(view);
            return view;
        };
        return services;
    }

    // Presses the window's Command1 with the folder and the closing question answered, and waits
    // for both boxes; the closing box's text, or nothing when it did not come.
    QString saveWith(SearchWindow &window, const QString &folder, bool view, int timeout)
    {
        m_dialogs.fileAnswers.push_back(folder);
        m_dialogs.questionAnswers.push_back(view);
        const qsizetype before = m_dialogs.calls.size();
        window.findChild<QAction *>(QStringLiteral("Command1"))->trigger();
        if (!QTest::qWaitFor([&] { return m_dialogs.calls.size() >= before + 2; }, timeout))
            return {};
        return m_dialogs.calls.last();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<IniSettings> m_settings;
    FakeDialogs m_dialogs;
    FakeShell m_shell;
    SearchState m_state;
    std::vector<FakeBrowserView *> m_fakeViews;
};

} // namespace vimbrel
