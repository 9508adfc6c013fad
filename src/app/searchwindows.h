#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include "search/searchwindow.h"

class QWidget;

namespace vimbrel {

// The open search windows of the program: a new, independent one for every request, all of
// them closed when the main window closes.
//   SearchWindows windows(services, &mainWindow);
//   connect(&mainWindow, &MainWindow::searchWindowRequested, &windows, &SearchWindows::open);
class SearchWindows : public QObject
{
    Q_OBJECT
public:
    SearchWindows(SearchServices services, QWidget *mainWindow, QObject *parent = nullptr);
    ~SearchWindows() override;

    // Makes, loads and shows a new search window.
    SearchWindow *open();
    void closeAll();
    [[nodiscard]] QList<SearchWindow *> windows() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SearchServices m_services;
    QPointer<QWidget> m_mainWindow;
    QList<QPointer<SearchWindow>> m_windows;
};

} // namespace vimbrel
