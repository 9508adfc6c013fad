#include "app/mainwindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeView>

#include "app/drivelist.h"
#include "app/folderpane.h"
#include "app/mainactions.h"
#include "app/maintitle.h"
#include "app/maintools.h"
#include "app/startup.h"
#include "app/toolcommands.h"
#include "app/toolicons.h"
#include "folders/folderlisting.h"
#include "folders/treesearch/treesearchjob.h"
#include "gallery/gallery.h"
#include "gallery/gallerylabels.h"
#include "platform/dialogs.h"
#include "platform/filenames.h"
#include "platform/pagefiles.h"
#include "preview/previewschemehandler.h"
#include "shell/folderverb.h"
#include "view/browserview.h"
#include "windowkit/elidinglabel.h"
#include "windowkit/focussink.h"
#include "windowkit/twips.h"
#include "windowkit/viewcontrols.h"
#include "windowkit/wheelfilter.h"

namespace vimbrel {

namespace {

void place(QWidget *widget, const TwipRect &r, double dpi)
{
    widget->setGeometry(twipsToPixels(r.left, dpi), twipsToPixels(r.top, dpi),
                        twipsToPixels(r.width, dpi), twipsToPixels(r.height, dpi));
}

} // namespace

MainWindow::MainWindow(MainServices services, QWidget *parent)
    : QWidget(parent), m_services(std::move(services)),
      m_gallery(new Gallery(m_services.pageFile, m_services.widthOf, this)),
      m_tools(new MainTools(m_services, *m_gallery, this)),
      m_search(std::make_unique<TreeSearchJob>())
{
    setObjectName(QStringLiteral("Frmmain"));
    setWindowTitle(QStringLiteral("Vimbrel"));
    setWindowIcon(programIcon());

    m_web = m_services.makeView(this);
    m_web->widget()->setObjectName(QStringLiteral("Web"));
    connect(m_web, &BrowserView::newWindowRequested, m_tools, &MainTools::openThumbnail);
    connect(m_gallery, &Gallery::pageBuilt, this, &MainWindow::showBuiltPage);

    m_controls = new ViewControls({.raiseToZoomFloor = true,
                                   .focusAfterZoom = ViewControlOptions::ZoomFocus::View,
                                   .focusViewWhenScrollStops = true},
                                  this);
    m_controls->setView(m_web);
    m_controls->watchDownloads(m_web);
    m_cmb = new FocusSink(m_controls, this);
    m_cmb->setObjectName(QStringLiteral("Cmb"));
    m_controls->setFocusSink(m_cmb);

    m_actions = makeMainActions(this);
    m_menus = makeMainMenus(*m_actions, this);
    wireActions();
    m_pane = new FolderPane(this);
    connect(m_pane, &FolderPane::folderChosen, this, &MainWindow::chooseFolder);
    m_pane->bar()->installEventFilter(this);
    // The folder list starts on the process's current folder, as a folder list control does.
    m_folderPath = QDir::currentPath();
    m_pane->select(m_folderPath);

    for (int i = 0; i < 7; ++i) {
        // The path is the one text that can outgrow its place.
        auto *label = i == 0 ? new ElidingLabel(this) : new QLabel(this);
        label->setObjectName(QStringLiteral("Lab%1").arg(i));
        label->setTextFormat(Qt::PlainText);
        m_labels[std::size_t(i)] = label;
    }
    setLabel(0, m_gallery->pathLabel());
    setLabel(2, m_gallery->countLabel());
    setLabel(6, m_gallery->headerLabel());

    auto *wheel = new WheelFilter(this, m_controls, {.toolsMenu = true}, this);
    wheel->letThrough(m_pane->folders());
    wheel->letThrough(m_pane->drive());
    connect(wheel, &WheelFilter::toolsMenuRequested, m_menus.tools,
            [this](QPoint at) { m_menus.tools->popup(at); });

    connect(m_search.get(), &TreeSearchJob::progress, this, &MainWindow::searchProgress);
    connect(m_search.get(), &TreeSearchJob::finished, this, &MainWindow::searchFinished);

    resize(twipsToPixels(MainLayout::DesignWidth, dpi()),
           twipsToPixels(MainLayout::DesignHeight, dpi()));
    applyLayout();
}

MainWindow::~MainWindow()
{
    m_search->stop();
}

double MainWindow::dpi() const
{
    return logicalDpiX() > 0 ? logicalDpiX() : 96.0;
}

void MainWindow::wireActions()
{
    const MainActions &a = *m_actions;
    using A = MainCommand;
    const auto on = [](QAction *action, auto *receiver, auto slot) {
        connect(action, &QAction::triggered, receiver, slot);
    };
    on(a[A::OpenPicture], this, &MainWindow::openPicture);
    on(a[A::SearchTree], this, &MainWindow::searchTree);
    on(a[A::OpenSearchWindow], this, &MainWindow::searchWindowRequested);
    on(a[A::PreviousPage], m_gallery, &Gallery::previousPage);
    on(a[A::NextPage], m_gallery, &Gallery::nextPage);
    on(a[A::ZoomIn], m_controls, &ViewControls::zoomIn);
    on(a[A::ZoomOut], m_controls, &ViewControls::zoomOut);
    m_controls->setScrollActions(a[A::ScrollUp], a[A::ScrollDown]);
    on(a[A::NextBackground], this, &MainWindow::changeBackground);
    on(a[A::NextMatrixMode], m_gallery, &Gallery::cycleMatrixMode);
    on(a[A::NextFit], this, [this] {
        if (m_gallery->cycleDisplayStyle())
            m_web->setFocus();
    });
    connect(a[A::ToggleFolderPane], &QAction::toggled, this, &MainWindow::showPane);
    on(a[A::OpenPageFolder], m_tools, &MainTools::openPageFolder);
    on(a[A::ToolsMenu], this, [this] { m_menus.tools->popup(QCursor::pos()); });
    on(a[A::HelpMenu], this, [this] { m_menus.help->popup(QCursor::pos()); });
    on(a[A::Refresh], m_gallery, &Gallery::refresh);
    on(a[A::CaptureScreen], m_tools, &MainTools::captureScreen);
    on(a[A::ExportList], m_tools, &MainTools::exportList);
    on(a[A::JumpToPage], this, [this] { m_gallery->askJump(*m_services.dialogs); });
    on(a[A::DrawingProgram], m_tools, &MainTools::startDrawingProgram);
    on(a[A::OpenComputer], m_tools, &MainTools::openComputer);
    on(a[A::OtherViewer], m_tools, &MainTools::openInOtherViewer);
    connect(a[A::FolderVerb], &QAction::toggled, m_tools, &MainTools::toggleFolderVerb);
    on(a[A::PageSize], this, &MainWindow::changePageSize);
    on(a[A::MailAuthor], m_tools, &MainTools::mailAuthor);
    on(a[A::HomePage], m_tools, &MainTools::openHomePage);
    on(a[A::About], m_tools, &MainTools::showAbout);
}

void MainWindow::setLabel(int index, const QString &text)
{
    m_labels[std::size_t(index)]->setText(text);
}

void MainWindow::applyLayout()
{
    const double d = dpi();
    const int iconSize = std::max(16, twipsToPixels(MainLayout::ToolHeight, d) - 14);
    for (int i = 0; i < MainLayout::ButtonCount; ++i) {
        QAbstractButton *button = m_actions->button(MainCommand(i));
        place(button,
              {MainLayout::ButtonLefts[std::size_t(i)], MainLayout::ToolTop, MainLayout::ToolWidth,
               MainLayout::ToolHeight},
              d);
        button->setIconSize(QSize(iconSize, iconSize));
    }
    place(m_pane->drive(), m_layout.drive(), d);
    place(m_pane->folders(), m_layout.folders(), d);
    place(m_pane->bar(), m_layout.bar(), d);
    place(m_web->widget(), m_layout.web(), d);
    for (int i = 0; i < 7; ++i)
        place(m_labels[std::size_t(i)], m_layout.label(i), d);
    place(m_cmb, {-2000, 6480, 1470, 300}, d);
    QPalette palette = m_pane->bar()->palette();
    palette.setColor(QPalette::Window, m_layout.dragging()
                                           ? QColor(Qt::black)
                                           : QGuiApplication::palette().color(QPalette::Button));
    m_pane->bar()->setPalette(palette);
    // The page is laid out in the view's own pixels, whatever the screen's DPI.
    m_gallery->setViewWidth(m_web->widget()->width());
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout.resize(pixelsToTwips(width(), dpi()), pixelsToTwips(height(), dpi()));
    applyLayout();
}

void MainWindow::formLoad(const QString &commandLine)
{
    m_web->navigate(QStringLiteral("about:blank"));
    m_gallery->readPageSize(*m_services.settings);
    setLabel(4, m_gallery->perPageLabel());
    if (m_services.folderVerb)
        m_services.folderVerb->installThisProgram();
    m_cmb->setFocus();
    if (m_services.pageFile.isEmpty())
        tellPageNotWritten();

    const StartUp::Start start = StartUp::read(commandLine);
    if (start.kind == StartUp::StartKind::Folder)
        showFolder(start.path);
    else if (start.kind != StartUp::StartKind::Bare)
        setLabel(0, GalleryLabels::folderNotFound(start.path));
}

bool MainWindow::showFolder(const QString &path)
{
    // By the path's own bytes: a folder whose name is not UTF-8 is listed too.
    if (!FileNames::status(path).folder)
        return false;
    m_folderPath = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    m_pane->select(m_folderPath);
    m_gallery->openFolder(m_folderPath);
    return true;
}

void MainWindow::chooseFolder(const QString &path)
{
    // The folder list runs the listing only when its path changes.
    if (QDir::cleanPath(path) != m_folderPath)
        showFolder(path);
}

void MainWindow::showBuiltPage()
{
    if (m_services.previews) {
        // The same page file, loaded through the preview scheme, which must know the page's
        // pictures and their widths before the view asks for them.
        QHash<QString, int> widths;
        for (const ThumbnailPage::ShownPicture &picture : m_gallery->pagePictures())
            widths.insert(picture.path, picture.width);
        const QUrl address =
            m_services.previews->setPage(m_gallery->pageFile(), widths, devicePixelRatioF());
        m_web->navigate(address.toString(QUrl::FullyEncoded));
    } else {
        m_web->navigate(m_gallery->pageFile());
    }
    setLabel(0, m_gallery->pathLabel());
    setLabel(2, m_gallery->countLabel());
    setLabel(6, m_gallery->headerLabel());
    setWindowTitle(MainTitle::forFolder(m_gallery->pageFolder()));
    (*m_actions)[MainCommand::PreviousPage]->setEnabled(m_gallery->previousEnabled());
    (*m_actions)[MainCommand::NextPage]->setEnabled(m_gallery->nextEnabled());
    if (!m_gallery->pageWritten())
        tellPageNotWritten();
}

void MainWindow::tellPageNotWritten()
{
    // The status line says it after every build; the message comes once.
    const QString why = GalleryLabels::pageNotWritten(m_gallery->pageFile());
    setLabel(0, why);
    if (!std::exchange(m_toldPageNotWritten, true))
        m_services.dialogs->messageBox(why, QStringLiteral("Vimbrel"), MessageIcon::Warning);
}

void MainWindow::searchTree()
{
    if (m_search->isRunning())
        return;
    const auto folder = m_services.dialogs->browseFolder(
        QStringLiteral("請選擇一個含有圖片的文件夾或者硬盤路徑"), m_folderPath);
    if (!folder || folder->isEmpty())
        return;
    (*m_actions)[MainCommand::SearchTree]->setEnabled(false);
    m_gallery->clear();
    m_busy.emplace();
    m_web->navigate(QStringLiteral("about:正在搜索之中，請等待……"));
    setLabel(6, GalleryLabels::HeaderSearching);
    searchProgress(*folder, 0);
    m_search->start(*folder);
}

void MainWindow::searchProgress(const QString &folder, int count)
{
    setLabel(0, GalleryLabels::searching(folder));
    setLabel(2, GalleryLabels::count(count));
}

void MainWindow::searchFinished()
{
    // A window that is going keeps no page from the stopped search.
    if (!m_closing) {
        m_gallery->showImages(m_search->takeResult());
        (*m_actions)[MainCommand::SearchTree]->setEnabled(true);
    }
    m_busy.reset();
    Q_EMIT treeSearchFinished();
}

void MainWindow::showPane(bool shown)
{
    m_layout.setPaneShown(shown);
    m_pane->setShown(shown);
    applyLayout();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_pane->bar())
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseMove) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const int buttons = mouse->buttons() == Qt::LeftButton ? 1 : int(mouse->buttons()) ? 2 : 0;
        if (m_layout.dragMove(buttons, pixelsToTwips(int(mouse->position().x()), dpi())))
            applyLayout();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        m_layout.drop();
        applyLayout();
        m_cmb->setFocus();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    m_closing = true;
    m_search->stop();
    PageFiles::remove(m_gallery->pageFile());
    event->accept();
}

void MainWindow::openPicture()
{
    const auto file = m_services.dialogs->openFile(
        ToolCommands::OpenPictureTitle, m_gallery->pageFolder(), ToolCommands::OpenPictureFilter);
    if (!file || file->isEmpty())
        return;
    m_web->navigate(QStringLiteral("about:圖像載入……"));
    // Listed even when the folder list is already on that folder.
    showFolder(folderOf(QFileInfo(*file).absoluteFilePath()));
}

void MainWindow::changeBackground()
{
    if (m_gallery->images().isEmpty())
        return;
    m_gallery->changeBackground(m_controls->advanceColour());
    m_cmb->setFocus();
}

void MainWindow::changePageSize()
{
    if (!m_gallery->askPageSize(*m_services.dialogs, *m_services.settings))
        return;
    setLabel(4, m_gallery->perPageLabel());
    // The page may now be the last one: its buttons say so before the next build.
    (*m_actions)[MainCommand::PreviousPage]->setEnabled(m_gallery->previousEnabled());
    (*m_actions)[MainCommand::NextPage]->setEnabled(m_gallery->nextEnabled());
}

} // namespace vimbrel
