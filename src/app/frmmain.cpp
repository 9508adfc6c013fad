#include "app/frmmain.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSaveFile>
#include <QToolButton>
#include <QTreeView>

#include "app/drivelist.h"
#include "app/mainactions.h"
#include "app/startup.h"
#include "app/toolcommands.h"
#include "app/toolicons.h"
#include "capture/modulescreen.h"
#include "gallery/folderlisting.h"
#include "gallery/gallery.h"
#include "gallery/gallerylabels.h"
#include "gallery/treesearch.h"
#include "platform/dialogs.h"
#include "platform/pagefiles.h"
#include "platform/shell.h"
#include "shell/shellverb.h"
#include "view/browserview.h"
#include "view/focussink.h"
#include "view/viewcontrols.h"
#include "view/wheelfilter.h"

namespace vimbrel {

namespace {

void place(QWidget *widget, const TwipRect &r, double dpi)
{
    widget->setGeometry(twipsToPixels(r.left, dpi), twipsToPixels(r.top, dpi),
                        twipsToPixels(r.width, dpi), twipsToPixels(r.height, dpi));
}

} // namespace

Frmmain::Frmmain(MainServices services, QWidget *parent)
    : QWidget(parent), m_services(std::move(services)),
      m_gallery(new Gallery(m_services.pageFile, m_services.widthOf, this)),
      m_search(std::make_unique<TreeSearchJob>())
{
    setObjectName(QStringLiteral("Frmmain"));
    setWindowTitle(QStringLiteral("Vimbrel"));
    setWindowIcon(programIcon());

    m_web = m_services.makeView(this);
    m_web->widget()->setObjectName(QStringLiteral("Web"));
    connect(m_web, &BrowserView::newWindowRequested, this, &Frmmain::openThumbnail);
    connect(m_gallery, &Gallery::pageBuilt, this, &Frmmain::showBuiltPage);

    m_controls = new ViewControls(WindowKind::Main, this);
    m_controls->setView(m_web);
    m_controls->watchDownloads(m_web);
    m_cmb = new FocusSink(m_controls, this);
    m_cmb->setObjectName(QStringLiteral("Cmb"));
    m_controls->setFocusSink(m_cmb);

    m_actions = new MainActions(this);
    wireActions();
    buildPane();

    for (int i = 0; i < 7; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Lab%1").arg(i));
        label->setTextFormat(Qt::PlainText);
        m_labels[std::size_t(i)] = label;
    }
    setLabel(0, m_gallery->pathLabel());
    setLabel(2, m_gallery->countLabel());
    setLabel(6, m_gallery->headerLabel());

    auto *wheel = new WheelFilter(this, m_controls, this);
    wheel->letThrough(m_folders);
    wheel->letThrough(m_drive);
    connect(wheel, &WheelFilter::toolsMenuRequested, m_actions->toolsMenu(),
            [this](QPoint at) { m_actions->toolsMenu()->popup(at); });

    connect(m_search.get(), &TreeSearchJob::progress, this, &Frmmain::searchProgress);
    connect(m_search.get(), &TreeSearchJob::finished, this, &Frmmain::searchFinished);

    resize(twipsToPixels(MainLayout::DesignWidth, dpi()),
           twipsToPixels(MainLayout::DesignHeight, dpi()));
    applyLayout();
}

Frmmain::~Frmmain()
{
    m_search->stop();
}

double Frmmain::dpi() const
{
    return logicalDpiX() > 0 ? logicalDpiX() : 96.0;
}

void Frmmain::wireActions()
{
    const MainActions &a = *m_actions;
    using A = MainActions;
    auto on = [this](QAction *action, auto slot) {
        connect(action, &QAction::triggered, this, slot);
    };
    on(a[A::Command1], &Frmmain::openPicture);
    on(a[A::Command5], &Frmmain::searchTree);
    on(a[A::Command6], &Frmmain::searchWindowRequested);
    connect(a[A::CmdPage0], &QAction::triggered, m_gallery, &Gallery::previousPage);
    connect(a[A::CmdPage1], &QAction::triggered, m_gallery, &Gallery::nextPage);
    connect(a[A::BigP0], &QAction::triggered, m_controls, &ViewControls::zoomIn);
    connect(a[A::BigP1], &QAction::triggered, m_controls, &ViewControls::zoomOut);
    m_controls->setScrollActions(a[A::MoveUp0], a[A::MoveUp1]);
    on(a[A::ImgComb], &Frmmain::changeBackground);
    connect(a[A::Command7], &QAction::triggered, m_gallery, &Gallery::cycleMatrixMode);
    connect(a[A::Command10], &QAction::triggered, this, [this] {
        if (m_gallery->cycleDisplayStyle())
            m_web->setFocus();
    });
    connect(a[A::ChkFace], &QAction::toggled, this, &Frmmain::showPane);
    on(a[A::Command8], &Frmmain::openPageFolder);
    connect(a[A::Command4], &QAction::triggered, this,
            [this] { m_actions->toolsMenu()->popup(QCursor::pos()); });
    connect(a[A::Command3], &QAction::triggered, this,
            [this] { m_actions->helpMenu()->popup(QCursor::pos()); });
    connect(a[A::Command2], &QAction::triggered, m_gallery, &Gallery::refresh);
    on(a[A::Command9], &Frmmain::captureScreen);
    on(a[A::ToolSaveList], &Frmmain::exportList);
    on(a[A::ToolJump], &Frmmain::jumpToPage);
    on(a[A::ToolsDraw], &Frmmain::startDrawingProgram);
    on(a[A::ToolPC], &Frmmain::openComputer);
    on(a[A::ToolDefaut], &Frmmain::openInOtherViewer);
    connect(a[A::Folder], &QAction::toggled, this, &Frmmain::toggleFolderVerb);
    on(a[A::ToolSetup], &Frmmain::changePageSize);
    on(a[A::HelpEmail], &Frmmain::mailAuthor);
    on(a[A::HelpHome], &Frmmain::openHomePage);
    on(a[A::HelpAbout], &Frmmain::showAbout);
}

void Frmmain::buildPane()
{
    m_drive = new DriveList(this);
    m_drive->setObjectName(QStringLiteral("Drive1"));
    m_drive->setFocusPolicy(Qt::ClickFocus);
    connect(m_drive, &QComboBox::activated, this, &Frmmain::chooseDrive);

    // The tree gets its model when the pane is first shown: a hidden pane reads nothing.
    m_folders = new QTreeView(this);
    m_folders->setObjectName(QStringLiteral("Dir1"));
    m_folders->setHeaderHidden(true);
    m_folders->setUniformRowHeights(true);
    m_folders->setFocusPolicy(Qt::ClickFocus);

    m_bar = new QFrame(this);
    m_bar->setObjectName(QStringLiteral("law"));
    m_bar->setCursor(Qt::SplitHCursor);
    m_bar->setAutoFillBackground(true);
    m_bar->installEventFilter(this);

    m_drive->hide();
    m_folders->hide();
    m_bar->hide();

    // The folder list starts on the process's current folder, as a folder list control does.
    m_folderPath = QDir::currentPath();
    m_drive->showVolumeOf(m_folderPath);
}

void Frmmain::createFolderModel()
{
    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folderModel->setReadOnly(true);
    m_folderModel->setRootPath(QDir::rootPath());
    m_folders->setModel(m_folderModel);
    for (int column = 1; column < m_folderModel->columnCount(); ++column)
        m_folders->hideColumn(column);
    auto choose = [this](const QModelIndex &index) {
        if (index.isValid())
            chooseFolder(m_folderModel->filePath(index));
    };
    connect(m_folders, &QTreeView::clicked, this, choose);
    connect(m_folders, &QTreeView::activated, this, choose);
}

void Frmmain::setLabel(int index, const QString &text)
{
    m_labels[std::size_t(index)]->setText(text);
}

void Frmmain::applyLayout()
{
    const double d = dpi();
    const auto &buttons = m_actions->toolRow();
    const int iconSize = std::max(16, twipsToPixels(MainLayout::ToolHeight, d) - 14);
    for (int i = 0; i < MainLayout::ButtonCount; ++i) {
        place(buttons[std::size_t(i)],
              {MainLayout::ButtonLefts[std::size_t(i)], MainLayout::ToolTop, MainLayout::ToolWidth,
               MainLayout::ToolHeight},
              d);
        buttons[std::size_t(i)]->setIconSize(QSize(iconSize, iconSize));
    }
    place(m_drive, m_layout.drive(), d);
    place(m_folders, m_layout.folders(), d);
    place(m_bar, m_layout.bar(), d);
    place(m_web->widget(), m_layout.web(), d);
    for (int i = 0; i < 7; ++i)
        place(m_labels[std::size_t(i)], m_layout.label(i), d);
    place(m_cmb, {-2000, 6480, 1470, 300}, d);
    QPalette palette = m_bar->palette();
    palette.setColor(QPalette::Window, m_layout.dragging()
                                           ? QColor(Qt::black)
                                           : QGuiApplication::palette().color(QPalette::Button));
    m_bar->setPalette(palette);
    // The page is laid out in the view's own pixels, whatever the screen's DPI.
    m_gallery->setViewWidth(m_web->widget()->width());
}

void Frmmain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout.resize(pixelsToTwips(width(), dpi()), pixelsToTwips(height(), dpi()));
    applyLayout();
}

void Frmmain::formLoad(const QString &commandLine)
{
    m_web->navigate(QStringLiteral("about:blank"));
    m_gallery->readPageSize(*m_services.settings);
    setLabel(4, m_gallery->perPageLabel());
    if (m_services.registry)
        ShellVerb::registerProgram(*m_services.registry, true);
    m_cmb->setFocus();
    if (m_services.pageFile.isEmpty()) {
        m_toldPageNotWritten = true;
        const QString why = GalleryLabels::pageNotWritten(QString());
        setLabel(0, why);
        m_services.dialogs->messageBox(why, QStringLiteral("Vimbrel"), MessageIcon::Warning);
    }

    const StartUp::Start start = StartUp::read(commandLine);
    if (start.kind == StartUp::StartKind::Folder)
        showFolder(start.path);
    else if (start.kind != StartUp::StartKind::Bare)
        setLabel(0, GalleryLabels::folderNotFound(start.path));
}

bool Frmmain::showFolder(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return false;
    m_folderPath = QDir::cleanPath(info.absoluteFilePath());
    m_drive->showVolumeOf(m_folderPath);
    if (m_folderModel) {
        const QModelIndex index = m_folderModel->index(m_folderPath);
        m_folders->setCurrentIndex(index);
        m_folders->scrollTo(index);
    }
    m_gallery->openFolder(m_folderPath);
    return true;
}

void Frmmain::chooseFolder(const QString &path)
{
    // The folder list runs the listing only when its path changes.
    if (QDir::cleanPath(path) != m_folderPath)
        showFolder(path);
}

void Frmmain::chooseDrive(int index)
{
    const QString root = m_drive->rootAt(index);
    if (!root.isEmpty())
        chooseFolder(root);
}

void Frmmain::showBuiltPage()
{
    m_web->navigate(m_gallery->pageFile());
    const bool written = m_gallery->pageWritten();
    setLabel(0, written ? m_gallery->pathLabel()
                        : GalleryLabels::pageNotWritten(m_gallery->pageFile()));
    setLabel(2, m_gallery->countLabel());
    setLabel(6, m_gallery->headerLabel());
    (*m_actions)[MainActions::CmdPage0]->setEnabled(m_gallery->previousEnabled());
    (*m_actions)[MainActions::CmdPage1]->setEnabled(m_gallery->nextEnabled());
    if (!written && !m_toldPageNotWritten) {
        m_toldPageNotWritten = true;
        m_services.dialogs->messageBox(GalleryLabels::pageNotWritten(m_gallery->pageFile()),
                                       QStringLiteral("Vimbrel"), MessageIcon::Warning);
    }
}

void Frmmain::searchTree()
{
    if (m_search->isRunning())
        return;
    const auto folder =
        m_services.dialogs->browseFolder(QStringLiteral("請選擇一個含有圖片的文件夾或者硬盤路徑"));
    if (!folder || folder->isEmpty())
        return;
    (*m_actions)[MainActions::Command5]->setEnabled(false);
    m_gallery->clear();
    m_busy.emplace();
    m_web->navigate(QStringLiteral("about:正在搜索之中，請等待……"));
    setLabel(6, GalleryLabels::HeaderSearching);
    searchProgress(*folder, 0);
    m_search->start(*folder);
}

void Frmmain::searchProgress(const QString &folder, int count)
{
    setLabel(0, GalleryLabels::searching(folder));
    setLabel(2, GalleryLabels::count(count));
}

void Frmmain::searchFinished()
{
    // A window that is going keeps no page from the stopped search.
    if (!m_closing) {
        m_gallery->showImages(m_search->takeResult());
        (*m_actions)[MainActions::Command5]->setEnabled(true);
    }
    m_busy.reset();
    Q_EMIT treeSearchFinished();
}

void Frmmain::showPane(bool shown)
{
    if (shown && !m_folderModel) {
        createFolderModel();
        m_folders->setCurrentIndex(m_folderModel->index(m_folderPath));
    }
    m_layout.setPaneShown(shown);
    m_drive->setVisible(shown);
    m_folders->setVisible(shown);
    m_bar->setVisible(shown);
    applyLayout();
}

bool Frmmain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_bar)
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

void Frmmain::closeEvent(QCloseEvent *event)
{
    m_closing = true;
    m_search->stop();
    PageFiles::remove(m_gallery->pageFile());
    event->accept();
}

void Frmmain::launch(const QString &target)
{
    if (!m_services.shell->open(target))
        m_services.dialogs->messageBox(ToolCommands::cannotOpenMessage(target),
                                       QStringLiteral("Vimbrel"), MessageIcon::Warning);
}

void Frmmain::openThumbnail(const QUrl &address)
{
    const QString target = address.isLocalFile() ? address.toLocalFile() : address.toString();
    if (!target.isEmpty())
        launch(target);
}

void Frmmain::openPicture()
{
    const auto file = m_services.dialogs->openFile(
        ToolCommands::OpenPictureTitle, m_gallery->pageFolder(), ToolCommands::OpenPictureFilter);
    if (!file || file->isEmpty())
        return;
    m_web->navigate(QStringLiteral("about:圖像載入……"));
    // Listed even when the folder list is already on that folder.
    showFolder(folderOf(QFileInfo(*file).absoluteFilePath()));
}

void Frmmain::openPageFolder()
{
    launch(m_gallery->pageFolder());
}

void Frmmain::exportList()
{
    const auto file = m_services.dialogs->saveFile(
        ToolCommands::SaveTitle, ToolCommands::ListFilter, ToolCommands::ListDefaultName);
    if (!file || file->isEmpty())
        return;
    // A complete new file or nothing: the old one stays until the new one is whole. The size
    // is checked before the commit, since a write cut short by a full disk can pass unreported.
    QSaveFile out(*file);
    const QByteArray bytes = ToolCommands::exportedList(m_gallery->images().listText());
    const bool written = out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() &&
                         out.flush() && out.size() == bytes.size() && out.commit();
    if (!written) {
        m_services.dialogs->messageBox(ToolCommands::cannotSaveMessage(*file),
                                       QStringLiteral("Vimbrel"), MessageIcon::Warning);
        return;
    }
    launch(*file);
}

void Frmmain::captureScreen()
{
    if (m_services.grabber)
        ModuleScreen::saveScreenshot(*m_services.grabber, *m_services.dialogs,
                                     QGuiApplication::clipboard());
}

void Frmmain::jumpToPage()
{
    m_gallery->askJump(*m_services.dialogs);
}

void Frmmain::startDrawingProgram()
{
    for (const QString &program : ToolCommands::drawingPrograms()) {
        if (m_services.shell->hasProgram(program)) {
            m_services.shell->startProgram(program, {});
            return;
        }
    }
}

void Frmmain::openComputer()
{
    launch(QDir::rootPath());
}

void Frmmain::openInOtherViewer()
{
    // An empty folder has no picture 0, whatever an earlier folder left in the slot.
    if (!m_gallery->images().isEmpty())
        launch(m_gallery->images().at(0));
}

void Frmmain::mailAuthor()
{
    launch(ToolCommands::contactMail());
}

void Frmmain::openHomePage()
{
    launch(ToolCommands::HomePage);
}

void Frmmain::showAbout()
{
    m_services.shell->about(ToolCommands::AboutTitle, ToolCommands::AboutCredit, windowIcon());
}

void Frmmain::changeBackground()
{
    if (m_gallery->images().isEmpty())
        return;
    m_gallery->changeBackground(m_controls->advanceColour());
    m_cmb->setFocus();
}

void Frmmain::toggleFolderVerb(bool checked)
{
    if (m_services.registry)
        ShellVerb::toggleFolderVerb(*m_services.registry, checked);
}

void Frmmain::changePageSize()
{
    if (m_gallery->askPageSize(*m_services.dialogs, *m_services.settings))
        setLabel(4, m_gallery->perPageLabel());
}

} // namespace vimbrel
