#pragma once

#include <QSize>
#include <QString>

#include <memory>

#include "app/mainwindow.h"
#include "view/webenginebrowserview.h"

namespace vimbrel {

// The main window over the real browser view, shown at the size given; the view is the one the
// window made.
class LiveMainWindow
{
public:
    LiveMainWindow(Settings &settings, Dialogs &dialogs, Shell &shell, const QString &pageFile,
                   PreviewSchemeHandler *previews, QSize size = QSize(1000, 700))
    {
        MainServices services;
        services.settings = &settings;
        services.dialogs = &dialogs;
        services.shell = &shell;
        services.makeView = [this](QWidget *parent) {
            m_view = new WebEngineBrowserView(parent);
            m_view->showLocalPictures(); // as the program's main window does
            return m_view;
        };
        services.pageFile = pageFile;
        services.previews = previews;
        m_window = std::make_unique<MainWindow>(std::move(services));
        m_window->resize(size);
        m_window->show();
    }
    LiveMainWindow(const LiveMainWindow &) = delete;
    LiveMainWindow &operator=(const LiveMainWindow &) = delete;

    [[nodiscard]] MainWindow &window() const { return *m_window; }
    [[nodiscard]] WebEngineBrowserView *view() const { return m_view; }

private:
    WebEngineBrowserView *m_view = nullptr; // owned by the window
    std::unique_ptr<MainWindow> m_window;
};

} // namespace vimbrel
