#include "app/detailwindowkeeper.h"

#include <QAction>
#include <QEvent>
#include <QWidget>

#include "detail/detailactions.h"
#include "detail/picturedownload.h"
#include "search/searchstate.h"

namespace vimbrel {

DetailWindowKeeper::DetailWindowKeeper(DetailServices services, SearchState *state,
                                       QWidget *closeWith)
    : QObject(state), m_services(std::move(services)), m_closeWith(closeWith)
{
    m_services.state = state;
    connect(state, &SearchState::pictureRequested, this, &DetailWindowKeeper::open);
    connect(state, &SearchState::pictureSaveRequested, this,
            [this](const QString &address, QWidget *from) {
                open(address, from);
                m_window->command(DetailCommand::Save)->trigger();
            });
    if (closeWith)
        closeWith->installEventFilter(this);
}

DetailWindowKeeper::~DetailWindowKeeper()
{
    // Its view must go before the browser profile does at exit.
    delete m_window.data();
}

void DetailWindowKeeper::open(const QString &address, QWidget *from)
{
    if (!m_window) {
        m_window = new DetailWindow(m_services);
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->setSaveFolder(m_saveFolder);
        // A closed window is on its way out; the next picture gets a new one.
        connect(m_window, &DetailWindow::closed, this, [this] {
            m_saveFolder = m_window->saveFolder();
            // Saves still running finish after the window has gone, under this object.
            PictureDownload *download = m_window->download();
            if (download && download->busy()) {
                download->setParent(this);
                connect(download, &PictureDownload::idle, download, &QObject::deleteLater);
            }
            m_window.clear();
        });
    }
    m_window->setOpener(from);
    m_window->raise();
    m_window->loadImg(address);
    m_window->show();
    m_window->activateWindow();
}

bool DetailWindowKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_closeWith && event->type() == QEvent::Close && m_window)
        m_window->close();
    return QObject::eventFilter(watched, event);
}

} // namespace vimbrel
