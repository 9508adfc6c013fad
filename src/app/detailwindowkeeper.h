#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "detail/detailwindow.h"

class QWidget;

namespace vimbrel {

class SearchState;

// The one detail window of the program, shared by all search windows: made on the first
// picture clicked on a results page and again after it was closed; a click while it is open
// shows the picture in the same window. Owned by the search windows' shared state.
//   new DetailWindowKeeper(services, &searchState, &mainWindow);
class DetailWindowKeeper : public QObject
{
    Q_OBJECT
public:
    // state: answers its picture requests, and is the parent. closeWith: the window whose
    // closing closes this one too (the main window); may be null.
    DetailWindowKeeper(DetailServices services, SearchState *state, QWidget *closeWith = nullptr);
    ~DetailWindowKeeper() override;

    // Shows the picture in the detail window, made first when there is none; from is the
    // search window it was clicked in.
    void open(const QString &address, QWidget *from);
    [[nodiscard]] DetailWindow *window() const { return m_window; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DetailServices m_services;
    QPointer<QWidget> m_closeWith;
    QPointer<DetailWindow> m_window;
    QString m_saveFolder; // of the last save, kept from one window to the next
};

} // namespace vimbrel
