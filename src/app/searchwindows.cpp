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
    for (const QPointer<FormSearch> &window : std::as_const(m_windows))
        delete window.data();
}

FormSearch *SearchWindows::open()
{
    auto *window = new FormSearch(m_services);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_windows.removeAll(nullptr);
    m_windows.append(window);
    window->show();
    return window;
}

void SearchWindows::closeAll()
{
    const QList<QPointer<FormSearch>> open = m_windows;
    for (const QPointer<FormSearch> &window : open) {
        if (window)
            window->close();
    }
    m_windows.removeAll(nullptr);
}

QList<FormSearch *> SearchWindows::windows() const
{
    QList<FormSearch *> out;
    for (const QPointer<FormSearch> &window : m_windows) {
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
