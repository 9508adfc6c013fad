#pragma once

#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "imageservice/imageservice.h"
#include "searchwindowfixture.h"
#include "view/webenginebrowserview.h"
#include "webenginewait.h"

namespace vimbrel {

// The search window with real views against the local image-search service, shown.
class LiveSearchWindow : public SearchWindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NE(m_service.listen(), 0);
        ASSERT_NO_FATAL_FAILURE(useHost(m_service.host()));
        SearchServices services = this->services();
        services.makeView = [this](QWidget *parent) {
            m_page = new WebEngineBrowserView(parent);
            return m_page;
        };
        services.makeResultsView = [this](QWidget *parent) {
            m_results = new WebEngineBrowserView(parent);
            m_results->showOnlyPictures();
            return m_results;
        };
        adjust(services);
        m_window = std::make_unique<SearchWindow>(services);
        m_window->resize(900, 600);
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void TearDown() override { m_window.reset(); }
    // Lets a test hand the window more than the views.
    virtual void adjust(SearchServices &) {}

    QString address(const QString &path) const
    {
        return QStringLiteral("http://") + m_service.host() + path;
    }
    void press(const char *name) { m_window->findChild<QAction *>(name)->trigger(); }
    QComboBox *box(const char *name) { return m_window->findChild<QComboBox *>(name); }

    // The page view shows the path, loaded.
    bool waitForPage(const QString &path)
    {
        return QTest::qWaitFor(
            [&] {
                return m_page->url().path() == path &&
                       WebEngineWait::evaluate(*m_page, QStringLiteral("document.readyState"))
                               .toString() == QLatin1String("complete");
            },
            WebEngineWait::timeout);
    }
    // Goes to the service's page at the path (which may carry a query) and waits for it.
    bool go(const QString &path)
    {
        box("TextUrl")->setEditText(address(path));
        press("CmdGo");
        return waitForPage(QUrl(address(path)).path());
    }

    ImageService m_service;
    WebEngineBrowserView *m_page = nullptr;
    WebEngineBrowserView *m_results = nullptr;
    std::unique_ptr<SearchWindow> m_window;
};

} // namespace vimbrel
