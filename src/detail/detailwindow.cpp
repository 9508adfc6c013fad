#include "detail/detailwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QUrl>

#include "detail/detailactions.h"
#include "detail/detailpage.h"
#include "detail/imagewalk.h"
#include "detail/picturedownload.h"
#include "platform/dialogs.h"
#include "platform/pagefiles.h"
#include "platform/shell.h"
#include "platform/windowfit.h"
#include "search/searchstate.h"
#include "windowkit/focussink.h"
#include "windowkit/picturemenu.h"
#include "windowkit/twips.h"
#include "windowkit/viewcontrols.h"

namespace vimbrel {

namespace {

const QString Caption = QStringLiteral("圖片詳情");

// Only web addresses go to the browser: a file: or other address taken from a page could
// make the desktop run a program.
bool isWebAddress(const QString &address)
{
    const QString scheme = QUrl(address).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ftp");
}

} // namespace

DetailWindow::DetailWindow(DetailServices services, QWidget *parent)
    : QWidget(parent), m_services(std::move(services)), m_walk(ImageWalk::start)
{
    setObjectName(QStringLiteral("FormImage"));
    setWindowTitle(Caption);
    // Its prompts come up over this window, not over the main window.
    m_sharedDialogs = m_services.dialogs;
    if (m_sharedDialogs) {
        m_ownDialogs = m_sharedDialogs->ownedBy(this);
        m_services.dialogs = m_ownDialogs.get();
    }

    m_web = m_services.makeView(this);
    m_web->widget()->setObjectName(QStringLiteral("Web"));

    m_controls =
        new ViewControls({.focusAfterZoom = ViewControlOptions::ZoomFocus::FocusSink}, this);
    m_controls->setView(m_web);
    m_controls->watchDownloads(m_web); // zoom back to 100 before the caption is set
    m_cmb = new FocusSink(m_controls, this);
    m_cmb->setItemText(0, QStringLiteral("cmb"));
    m_controls->setFocusSink(m_cmb);

    m_actions = makeDetailActions(this);
    using A = DetailCommand;
    const DetailActions &a = *m_actions;
    connect(a[A::Save], &QAction::triggered, this, &DetailWindow::savePicture);
    connect(a[A::Previous], &QAction::triggered, this, &DetailWindow::showPrevious);
    connect(a[A::Next], &QAction::triggered, this, &DetailWindow::showNext);
    connect(a[A::OpenAddress], &QAction::triggered, this, &DetailWindow::openAddress);
    connect(a[A::ZoomIn], &QAction::triggered, m_controls, &ViewControls::zoomIn);
    connect(a[A::ZoomOut], &QAction::triggered, m_controls, &ViewControls::zoomOut);
    connect(a[A::CloseWindow], &QAction::triggered, this, &QWidget::close);
    // The page holds the one picture shown: the menu acts as the buttons do.
    auto *pictureMenu = new PictureMenu(
        this, [this](const QString &) { openAddress(); },
        [this](const QString &) { savePicture(); });
    connect(
        m_web, &BrowserView::pictureMenuRequested, this,
        [this, pictureMenu](const QUrl &, const QPoint &at) { pictureMenu->popup(m_current, at); });

    if (m_services.makeDownload)
        m_download = m_services.makeDownload(m_web, this);

    connect(m_web, &BrowserView::downloadComplete, this, &DetailWindow::webDownloadComplete);

    resize(toPixels(DetailGeometry::DesignWidth), toPixels(DetailGeometry::DesignHeight));
    WindowFit::fitOnScreen(*this); // a small screen gets a smaller window, not one beyond it
    applyLayout();
}

DetailWindow::~DetailWindow() = default;

QAction *DetailWindow::command(DetailCommand id) const
{
    return (*m_actions)[id];
}

double DetailWindow::dpi() const
{
    return logicalDpiX() > 0 ? logicalDpiX() : 96.0;
}

int DetailWindow::toPixels(int twips) const
{
    return twipsToPixels(twips, dpi());
}

int DetailWindow::toTwips(int pixels) const
{
    return pixelsToTwips(pixels, dpi());
}

QRect DetailWindow::toPixels(const QRect &twips) const
{
    return twipsToPixels(twips, dpi());
}

void DetailWindow::setOpener(QWidget *searchWindow)
{
    m_opener = searchWindow;
}

void DetailWindow::loadImg(const QString &address)
{
    m_current = address;
    if (PageFiles::writeLines(m_services.pageFile, DetailPage::lines(address))) {
        m_web->navigate(m_services.pageFile);
    } else {
        // The last page would still be on show under the new picture's caption.
        m_web->navigate(QStringLiteral("about:") +
                        PageFiles::notWrittenMessage(m_services.pageFile));
    }
}

void DetailWindow::webDownloadComplete()
{
    setWindowTitle(DetailPage::caption(m_current));
    m_cmb->setFocus();
}

void DetailWindow::sinkFocus()
{
    m_cmb->setFocus();
}

void DetailWindow::savePicture()
{
    if (m_current.isEmpty() || !m_download) {
        sinkFocus();
        return;
    }
    const QString address = m_current;
    // The dialog opens where the last picture went.
    const QString name = DetailPage::suggestedFileName(address);
    const std::optional<QString> file = m_services.dialogs->saveFile(
        QStringLiteral("保存圖片"), QStringLiteral("所有文件 (*)"),
        m_saveFolder.isEmpty() ? name : QDir(m_saveFolder).filePath(name));
    if (file && !file->isEmpty()) {
        m_saveFolder = QFileInfo(*file).absolutePath();
        // The save may end after this window has closed; the user still hears of a failure.
        QPointer<DetailWindow> self(this);
        Dialogs *shared = m_sharedDialogs;
        m_download->save(address, *file, [self, shared](const QString &error) {
            if (!error.isEmpty())
                (self ? self->m_services.dialogs : shared)
                    ->messageBox(QStringLiteral("圖片沒有保存：") + error, Caption,
                                 MessageIcon::Warning);
        });
    }
    sinkFocus();
}

void DetailWindow::walkTo(int load)
{
    if (load >= 0)
        loadImg(m_services.state->results().at(load));
    sinkFocus();
}

void DetailWindow::showPrevious()
{
    const ImageWalk::Step step = ImageWalk::previous(m_walk, m_services.state->results().count());
    m_walk = step.position;
    walkTo(step.load);
}

void DetailWindow::showNext()
{
    const ImageWalk::Step step = ImageWalk::next(m_walk, m_services.state->results().count());
    m_walk = step.position;
    walkTo(step.load);
}

void DetailWindow::openAddress()
{
    if (!m_current.isEmpty()) {
        if (!isWebAddress(m_current) || !m_services.shell->open(m_current))
            m_services.dialogs->messageBox(QStringLiteral("這個地址不能在瀏覽器裡打開：") +
                                               m_current,
                                           Caption, MessageIcon::Warning);
    }
    sinkFocus();
}

void DetailWindow::applyLayout()
{
    m_web->widget()->setGeometry(toPixels(m_geometry.web));
    for (int i = 0; i < DetailGeometry::ButtonCount; ++i)
        m_actions->button(DetailCommand(i))->setGeometry(toPixels(m_geometry.cmd[i]));
    m_cmb->setGeometry(toPixels(m_geometry.cmb));
}

void DetailWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_geometry = resized(m_geometry, toTwips(width()), toTwips(height()));
    applyLayout();
}

void DetailWindow::closeEvent(QCloseEvent *event)
{
    PageFiles::remove(m_services.pageFile);
    if (m_opener) {
        if (auto *sink = m_opener->findChild<FocusSink *>(QStringLiteral("Cmb"))) {
            m_opener->activateWindow();
            sink->setFocus();
        }
    }
    event->accept();
    Q_EMIT closed();
}

} // namespace vimbrel
