#include "app/searchwindows.h"

#include <QEvent>
#include <QWidget>

namespace vimbrel {

SearchWindows::SearchWindows(SearchServices services, QWidget *mainWindow, QObject *parent)
    : QObject(parent), m_services(std::move(services)), m_mainWindow(mainWindow)
{
    if (mainWindow)
        mainWindow->installEventFilter(this);
}

SearchWindows::~SearchWindows()
{
    // Their views must go before the browser profile does at exit.
    for (const QPointer<SearchWindow> &window : std::as_const(m_windows))
        delete window.data();
}

SearchWindow *SearchWindows::open()
{
    auto *window = new SearchWindow(m_services);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_windows.removeAll(nullptr);
    m_windows.append(window);
    window->show();
    return window;
}

void SearchWindows::closeAll()
{
    const QList<QPointer<SearchWindow>> open = m_windows;
    for (const QPointer<SearchWindow> &window : open) {
        if (window)
            window->close();
    }
    m_windows.removeAll(nullptr);
}

QList<SearchWindow *> SearchWindows::windows() const
{
    QList<SearchWindow *> out;
    for (const QPointer<SearchWindow> &window : m_windows) {
        if (window)
            out.append(window.data());
    }
    return out;
}

bool SearchWindows::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mainWindow && event->type() == QEvent::Close)
        closeAll();
    return QObject::eventFilter(watched, event);
}

} // namespace vimbrel
