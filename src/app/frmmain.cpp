#include "app/frmmain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>
#include <QTreeView>

#include "view/browserview.h"
#include "app/drivelist.h"
#include "view/focussink.h"
#include "capture/modulescreen.h"
#include "shell/folderverb.h"
#include "view/viewcontrols.h"
#include "view/wheelfilter.h"
#include "platform/dialogs.h"
#include "gallery/folderlisting.h"
#include "platform/numberanswer.h"
#include "platform/pagefiles.h"
#include "platform/settings.h"
#include "platform/shell.h"
#include "app/startup.h"
#include "app/toolcommands.h"
#include "app/toolicons.h"
#include "gallery/treesearch.h"

using namespace vimbrel;

namespace {

struct ToolButtonSpec
{
    const char *name;
    const char *tooltip;
    const char *theme;
    const char *glyph;
};

// In the order of Frmmain::ButtonId.
const ToolButtonSpec toolButtons[MainLayout::ButtonCount] = {
    {"Command1", "開啟圖片", "document-open", "開"},
    {"Command5", "搜尋圖片資料夾", "system-search", "搜"},
    {"Command6", "圖片成批下載", "download", "下"},
    {"CmdPage0", "往前翻頁", "go-previous", "◀"},
    {"CmdPage1", "往後翻頁", "go-next", "▶"},
    {"BigP0", "圖像放大", "zoom-in", "+"},
    {"BigP1", "圖像縮小", "zoom-out", "−"},
    {"MoveUp0", "至頁面頂部", "go-top", "▲"},
    {"MoveUp1", "至頁面底部", "go-bottom", "▼"},
    {"ImgComb", "切換圖像背景", "color-fill", "色"},
    {"Command7", "切換圖像方陣 X4", "view-grid", "田"},
    {"Command10", "居中 / 拉伸 / 平鋪", "zoom-fit-best", "↔"},
    {"ChkFace", "顯示 / 隱藏資料夾列表", "view-sidebar", "夾"},
    {"Command8", "查看文件路徑", "folder-open", "路"},
    {"Command4", "系統工具", "preferences-system", "工"},
    {"Command3", "聯繫軟件作者", "help-contents", "?"},
    {"Command2", "刷新圖像", "view-refresh", "⟳"},
    {"Command9", "截圖另存為", "camera-photo", "攝"},
};

const QString pathUnknown = QStringLiteral("當前路徑：未知");
const QString countZero = QStringLiteral("圖片總數：0");
const QString headerStart = QStringLiteral("Tarnell");

void place(QWidget *widget, const TwipRect &r, double dpi)
{
    widget->setGeometry(twipsToPixels(r.left, dpi), twipsToPixels(r.top, dpi),
                        twipsToPixels(r.width, dpi), twipsToPixels(r.height, dpi));
}

} // namespace

Frmmain::Frmmain(MainServices services, QWidget *parent)
    : QWidget(parent), m_services(std::move(services)),
      m_gallery(m_services.pageFile, m_services.widthOf),
      m_search(std::make_unique<TreeSearchJob>())
{
    setObjectName(QStringLiteral("Frmmain"));
    setWindowTitle(QStringLiteral("Vimbrel"));
    setWindowIcon(programIcon());

    m_web = m_services.makeView(this);
    m_web->widget()->setObjectName(QStringLiteral("Web"));
    connect(m_web, &BrowserView::newWindowRequested, this, &Frmmain::openThumbnail);

    m_controls = new ViewControls(WindowKind::Main, this);
    m_controls->setView(m_web);
    m_controls->watchDownloads(m_web);
    m_cmb = new FocusSink(m_controls, this);
    m_cmb->setObjectName(QStringLiteral("Cmb"));
    m_controls->setFocusSink(m_cmb);

    buildToolRow();
    buildPane();
    buildMenus();

    for (int i = 0; i < 7; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Lab%1").arg(i));
        label->setTextFormat(Qt::PlainText);
        m_labels[std::size_t(i)] = label;
    }
    setLabel(0, pathUnknown);
    setLabel(2, countZero);
    setLabel(6, headerStart);

    m_controls->setScrollButtons(button(MoveUp0), button(MoveUp1));
    m_wheel = new WheelFilter(this, m_controls, this);
    m_wheel->letThrough(m_folders);
    m_wheel->letThrough(m_drive);
    connect(m_wheel, &WheelFilter::toolsMenuRequested, this,
            [this](QPoint at) { m_toolsMenu->popup(at); });

    connect(m_search.get(), &TreeSearchJob::progress, this, &Frmmain::searchProgress);
    connect(m_search.get(), &TreeSearchJob::finished, this, &Frmmain::searchFinished);

    const QSize design(twipsToPixels(MainLayout::DesignWidth, dpi()),
                       twipsToPixels(MainLayout::DesignHeight, dpi()));
    resize(design);
    applyLayout();
}

Frmmain::~Frmmain()
{
    m_search->stop();
    if (m_busyCursor)
        QApplication::restoreOverrideCursor();
}

double Frmmain::dpi() const
{
    return logicalDpiX() > 0 ? logicalDpiX() : 96.0;
}

void Frmmain::buildToolRow()
{
    for (int i = 0; i < MainLayout::ButtonCount; ++i) {
        auto *button = new QToolButton(this);
        const ToolButtonSpec &info = toolButtons[i];
        button->setObjectName(QString::fromLatin1(info.name));
        button->setToolTip(QString::fromUtf8(info.tooltip));
        button->setIcon(toolIcon(QString::fromLatin1(info.theme), QString::fromUtf8(info.glyph)));
        button->setAutoRaise(false);
        button->setFocusPolicy(Qt::NoFocus);
        m_buttons[std::size_t(i)] = button;
    }
    button(ChkFace)->setCheckable(true);
    button(CmdPage0)->setEnabled(false);
    button(CmdPage1)->setEnabled(false);

    connect(button(Command1), &QToolButton::clicked, this, &Frmmain::command1Click);
    connect(button(Command5), &QToolButton::clicked, this, &Frmmain::command5Click);
    connect(button(Command6), &QToolButton::clicked, this, &Frmmain::searchWindowRequested);
    connect(button(Command8), &QToolButton::clicked, this, &Frmmain::toolSeePathClick);
    connect(button(CmdPage0), &QToolButton::clicked, this, [this] { cmdPageClick(0); });
    connect(button(CmdPage1), &QToolButton::clicked, this, [this] { cmdPageClick(1); });
    connect(button(BigP0), &QToolButton::clicked, this, [this] { m_controls->bigPClick(0); });
    connect(button(BigP1), &QToolButton::clicked, this, [this] { m_controls->bigPClick(1); });
    connect(button(MoveUp0), &QToolButton::clicked, this, [this] { m_controls->moveUpClick(0); });
    connect(button(MoveUp1), &QToolButton::clicked, this, [this] { m_controls->moveUpClick(1); });
    connect(button(ImgComb), &QToolButton::clicked, this, &Frmmain::imgCombClick);
    connect(button(Command9), &QToolButton::clicked, this, &Frmmain::command9Click);
    connect(button(Command7), &QToolButton::clicked, this, &Frmmain::command7Click);
    connect(button(Command10), &QToolButton::clicked, this, &Frmmain::command10Click);
    connect(button(ChkFace), &QToolButton::toggled, this, &Frmmain::chkFaceClick);
    connect(button(Command2), &QToolButton::clicked, this, &Frmmain::command2Click);
    connect(button(Command4), &QToolButton::clicked, this,
            [this] { m_toolsMenu->popup(QCursor::pos()); });
    connect(button(Command3), &QToolButton::clicked, this,
            [this] { m_helpMenu->popup(QCursor::pos()); });
}

void Frmmain::buildPane()
{
    m_drive = new DriveList(this);
    m_drive->setObjectName(QStringLiteral("Drive1"));
    m_drive->setFocusPolicy(Qt::ClickFocus);
    connect(m_drive, &QComboBox::activated, this, &Frmmain::drive1Change);

    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folderModel->setReadOnly(true);
    m_folderModel->setRootPath(QDir::rootPath());
    m_folders = new QTreeView(this);
    m_folders->setObjectName(QStringLiteral("Dir1"));
    m_folders->setModel(m_folderModel);
    for (int column = 1; column < m_folderModel->columnCount(); ++column)
        m_folders->hideColumn(column);
    m_folders->setHeaderHidden(true);
    m_folders->setUniformRowHeights(true);
    m_folders->setFocusPolicy(Qt::ClickFocus);
    auto choose = [this](const QModelIndex &index) {
        if (index.isValid())
            setFolderPath(m_folderModel->filePath(index));
    };
    connect(m_folders, &QTreeView::clicked, this, choose);
    connect(m_folders, &QTreeView::activated, this, choose);

    m_bar = new QFrame(this);
    m_bar->setObjectName(QStringLiteral("law"));
    m_bar->setCursor(Qt::SplitHCursor);
    m_bar->setAutoFillBackground(true);
    m_bar->installEventFilter(this);

    m_drive->hide();
    m_folders->hide();
    m_bar->hide();

    // The folder list starts on the process's current folder, as a folder list control does.
    const QString start = QDir::currentPath();
    m_folderPath = start;
    m_drive->showVolumeOf(start);
    m_folders->setCurrentIndex(m_folderModel->index(start));
}

void Frmmain::buildMenus()
{
    m_helpMenu = new QMenu(QStringLiteral("幫助(&H)"), this);
    m_helpMenu->setObjectName(QStringLiteral("HelpM"));
    auto add = [](QMenu *menu, const char *name, const QString &caption) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    add(m_helpMenu, "HelpMe", QStringLiteral("使用幫助"))->setEnabled(false);
    m_helpMenu->addSeparator()->setObjectName(QStringLiteral("HelpBar1"));
    connect(add(m_helpMenu, "HelpEmail", QStringLiteral("聯繫作者")), &QAction::triggered, this,
            &Frmmain::helpEmailClick);
    connect(add(m_helpMenu, "HelpHome", QStringLiteral("官方網站")), &QAction::triggered, this,
            &Frmmain::helpHomeClick);
    m_helpMenu->addSeparator()->setObjectName(QStringLiteral("HelpBar2"));
    connect(add(m_helpMenu, "HelpAbout", QStringLiteral("關於")), &QAction::triggered, this,
            &Frmmain::helpAboutClick);

    m_toolsMenu = new QMenu(QStringLiteral("實用工具(&T)"), this);
    m_toolsMenu->setObjectName(QStringLiteral("MyTools"));
    connect(add(m_toolsMenu, "ToolSeePath", QStringLiteral("查看圖片路徑")), &QAction::triggered,
            this, &Frmmain::toolSeePathClick);
    connect(add(m_toolsMenu, "ToolSaveList", QStringLiteral("導出文件列表")), &QAction::triggered,
            this, &Frmmain::toolSaveListClick);
    connect(add(m_toolsMenu, "ToolScreen", QStringLiteral("全屏幕拍照")), &QAction::triggered, this,
            &Frmmain::command9Click);
    m_toolsMenu->addSeparator()->setObjectName(QStringLiteral("Toolbar3"));
    QAction *jump = add(m_toolsMenu, "ToolJump", QStringLiteral("跳轉頁面至…"));
    QAction *reload = add(m_toolsMenu, "ToolReload", QStringLiteral("頁面刷新"));
    connect(add(m_toolsMenu, "ToolsDraw", QStringLiteral("畫圖工具")), &QAction::triggered, this,
            &Frmmain::toolsDrawClick);
    m_toolsMenu->addSeparator()->setObjectName(QStringLiteral("ToolBar1"));
    connect(add(m_toolsMenu, "ToolPC", QStringLiteral("我的電腦")), &QAction::triggered, this,
            &Frmmain::toolPcClick);
    // Kept in its place in the menu, but there is no such browser here: it stays inert.
    add(m_toolsMenu, "ToolIE", QStringLiteral("IE瀏覽器"))->setEnabled(false);
    connect(add(m_toolsMenu, "ToolDefaut", QStringLiteral("其它看圖軟件")), &QAction::triggered,
            this, &Frmmain::toolDefautClick);
    m_toolsMenu->addSeparator()->setObjectName(QStringLiteral("ToolBar2"));
    m_folderVerb = add(m_toolsMenu, "Folder", QStringLiteral("駐在文件夾菜單上"));
    m_folderVerb->setCheckable(true);
    m_folderVerb->setChecked(true);
    connect(m_folderVerb, &QAction::toggled, this, &Frmmain::folderClick);
    QAction *setup = add(m_toolsMenu, "ToolSetup", QStringLiteral("系統設置(&S)"));

    connect(jump, &QAction::triggered, this, &Frmmain::toolJumpClick);
    connect(reload, &QAction::triggered, this, &Frmmain::command2Click);
    connect(setup, &QAction::triggered, this, &Frmmain::toolSetupClick);
}

void Frmmain::setLabel(int index, const QString &text)
{
    m_labels[std::size_t(index)]->setText(text);
}

int Frmmain::viewWidthTwips() const
{
    // The page is laid out in the view's own pixels, 15 twips each, whatever the screen's DPI.
    return m_web->widget()->width() * 15;
}

void Frmmain::applyLayout()
{
    const double d = dpi();
    for (int i = 0; i < MainLayout::ButtonCount; ++i)
        place(m_buttons[std::size_t(i)],
              {MainLayout::ButtonLefts[std::size_t(i)], MainLayout::ToolTop, MainLayout::ToolWidth,
               MainLayout::ToolHeight},
              d);
    const int iconSize = std::max(16, twipsToPixels(MainLayout::ToolHeight, d) - 14);
    for (QToolButton *b : m_buttons)
        b->setIconSize(QSize(iconSize, iconSize));
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
                                           : QApplication::palette().color(QPalette::Button));
    m_bar->setPalette(palette);
}

void Frmmain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout.resize(pixelsToTwips(width(), dpi()), pixelsToTwips(height(), dpi()));
    applyLayout();
}

void Frmmain::formLoad(const QString &commandLine)
{
    m_gallery.setBackground(QStringLiteral("#FFFFFF"));
    m_web->navigate(QStringLiteral("about:blank"));
    m_gallery.setPageFolder(QDir::homePath() + QLatin1Char('/'));
    m_gallery.setPageSize(StartUp::pageSizeFrom(
        m_services.settings->value(QStringLiteral("Main"), QStringLiteral("PageFileCount"))));
    setLabel(4, StartUp::perPageLabel(m_gallery.pageSize()));
    if (m_services.folderVerb)
        m_services.folderVerb->installThisProgram();
    m_cmb->setFocus();

    QString folder = commandLine;
    folder.remove(QLatin1Char('"'));
    if (folder.isEmpty())
        return;
    if (QDir::isRelativePath(folder))
        folder = QDir::current().absoluteFilePath(folder);
    // A path the folder list refuses leaves it on its current folder, which is then listed.
    setFolderPath(folder);
    if (m_gallery.images().isEmpty())
        dir1Change();
}

bool Frmmain::setFolderPath(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return false;
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    m_drive->showVolumeOf(clean);
    const QModelIndex index = m_folderModel->index(clean);
    if (index.isValid()) {
        m_folders->setCurrentIndex(index);
        m_folders->expand(index);
        m_folders->scrollTo(index);
    }
    if (clean == m_folderPath)
        return true;
    m_folderPath = clean;
    dir1Change();
    return true;
}

void Frmmain::dir1Change()
{
    m_listingRan = true;
    const QString folder = folderWithSlash(m_folderPath);
    m_gallery.setPageFolder(folder);
    listFolder(folder, m_gallery.images());
    m_gallery.firstPage(viewWidthTwips());
    showBuiltPage();
}

void Frmmain::drive1Change(int index)
{
    const QString root = m_drive->rootAt(index);
    if (!root.isEmpty())
        setFolderPath(root);
}

void Frmmain::showBuiltPage()
{
    m_web->navigate(m_gallery.pageFile());
    setLabel(0, m_gallery.pathLabel());
    setLabel(2, m_gallery.countLabel());
    setLabel(6, m_gallery.headerLabel());
    button(CmdPage0)->setEnabled(m_gallery.previousEnabled());
    button(CmdPage1)->setEnabled(m_gallery.nextEnabled());
}

void Frmmain::command5Click()
{
    if (m_search->isRunning())
        return;
    const auto folder =
        m_services.dialogs->browseFolder(QStringLiteral("請選擇一個含有圖片的文件夾或者硬盤路徑"));
    if (!folder || folder->isEmpty())
        return;
    button(Command5)->setEnabled(false);
    m_gallery.images().reset();
    if (!m_busyCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_busyCursor = true;
    }
    m_web->navigate(QStringLiteral("about:正在搜索之中，請等待……"));
    setLabel(2, countZero);
    setLabel(6, QStringLiteral("Tarnell "));
    searchProgress(*folder, 0);
    m_search->start(*folder);
}

void Frmmain::searchProgress(const QString &folder, int count)
{
    setLabel(0, QStringLiteral("正在搜索目錄： ") + folder + QStringLiteral(" ……"));
    setLabel(2, QStringLiteral("圖片總數：") + QString::number(count));
}

void Frmmain::searchFinished()
{
    if (m_closing) {
        // The window is going: the stopped search leaves no page behind.
        if (m_busyCursor) {
            QApplication::restoreOverrideCursor();
            m_busyCursor = false;
        }
        Q_EMIT treeSearchFinished();
        return;
    }
    const ImageList found = m_search->takeResult();
    ImageList &images = m_gallery.images();
    images.reset();
    for (int i = 0; i < found.count(); ++i)
        images.append(found.at(i));
    m_gallery.firstPage(viewWidthTwips());
    showBuiltPage();
    button(Command5)->setEnabled(true);
    if (m_busyCursor) {
        QApplication::restoreOverrideCursor();
        m_busyCursor = false;
    }
    Q_EMIT treeSearchFinished();
}

bool Frmmain::treeSearchRunning() const
{
    return m_search->isRunning();
}

void Frmmain::cmdPageClick(int index)
{
    const bool built = index == 1 ? m_gallery.nextPage(viewWidthTwips())
                                  : m_gallery.previousPage(viewWidthTwips());
    if (built)
        showBuiltPage();
}

void Frmmain::toolJumpClick()
{
    if (m_gallery.askJump(*m_services.dialogs, viewWidthTwips()))
        showBuiltPage();
}

void Frmmain::command2Click()
{
    if (m_gallery.refresh(viewWidthTwips()))
        showBuiltPage();
}

void Frmmain::command7Click()
{
    if (m_gallery.cycleMatrixMode(viewWidthTwips()))
        showBuiltPage();
}

void Frmmain::command10Click()
{
    if (m_gallery.cycleDisplayStyle(viewWidthTwips())) {
        showBuiltPage();
        m_web->setFocus();
    }
}

void Frmmain::chkFaceClick(bool shown)
{
    if (button(ChkFace)->isChecked() != shown) {
        const QSignalBlocker block(button(ChkFace));
        button(ChkFace)->setChecked(shown);
    }
    m_layout.setPaneShown(shown);
    m_drive->setVisible(shown);
    m_folders->setVisible(shown);
    m_bar->setVisible(shown);
    applyLayout();
}

void Frmmain::toolSetupClick()
{
    const auto answer = m_services.dialogs->inputBox(
        QStringLiteral("設置圖片瀏覽器每頁顯示的圖片數目：\r\n\r\n範圍（30 < m > 200）"),
        QStringLiteral("系統設置"), QString::number(m_gallery.pageSize()));
    const NumberAnswer::Answer n = NumberAnswer::read(answer);
    if (!n.inRange || n.value < StartUp::MinPageSize || n.value > StartUp::MaxPageSize)
        return;
    m_services.settings->setValue(QStringLiteral("Main"), QStringLiteral("PageFileCount"),
                                  QString::number(n.value));
    m_gallery.setPageSize(n.value);
    setLabel(4, StartUp::perPageLabel(n.value));
}

void Frmmain::lawMouseMove(int buttons, int xTwips)
{
    if (m_layout.dragMove(buttons, xTwips))
        applyLayout();
}

void Frmmain::lawMouseUp()
{
    m_layout.drop();
    applyLayout();
    m_cmb->setFocus();
}

bool Frmmain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_bar) {
        if (event->type() == QEvent::MouseMove) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            const int buttons = mouse->buttons() == Qt::LeftButton ? 1
                                : int(mouse->buttons())            ? 2
                                                                   : 0;
            lawMouseMove(buttons, pixelsToTwips(int(mouse->position().x()), dpi()));
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            lawMouseUp();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Frmmain::openThumbnail(const QUrl &address)
{
    const QString target = address.isLocalFile() ? address.toLocalFile() : address.toString();
    if (!target.isEmpty())
        m_services.shell->execute(QStringLiteral("open"), target, QString(), 1);
}

void Frmmain::closeEvent(QCloseEvent *event)
{
    m_closing = true;
    m_search->stop();
    PageFiles::remove(m_gallery.pageFile());
    event->accept();
}

void Frmmain::command1Click()
{
    const auto file = m_services.dialogs->openFile(
        ToolCommands::OpenPictureTitle, m_gallery.pageFolder(), ToolCommands::OpenPictureFilter);
    if (!file || file->isEmpty())
        return;
    const QString folder = ToolCommands::folderOf(QFileInfo(*file).absoluteFilePath());
    m_gallery.setPageFolder(folder);
    m_web->navigate(QStringLiteral("about:圖像載入……"));
    m_listingRan = false;
    setFolderPath(folder);
    // The folder list was already there: no change ran the listing, so run it here.
    if (!m_listingRan)
        dir1Change();
}

void Frmmain::toolSeePathClick()
{
    m_services.shell->execute(QStringLiteral("Open"), m_gallery.pageFolder(), QString(), 1);
}

void Frmmain::toolSaveListClick()
{
    const auto file = m_services.dialogs->saveFile(
        ToolCommands::SaveTitle, ToolCommands::ListFilter, ToolCommands::ListDefaultName);
    if (!file || file->isEmpty())
        return;
    QFile out(*file);
    const QByteArray bytes = ToolCommands::exportedList(m_gallery.images().listText());
    const bool written = out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         out.write(bytes) == bytes.size() && out.flush();
    out.close();
    if (!written) {
        m_services.dialogs->messageBox(ToolCommands::cannotSaveMessage(*file),
                                       QStringLiteral("Vimbrel"), MessageIcon::Warning);
        return;
    }
    m_services.shell->execute(QStringLiteral("Open"), *file, QString(), 1);
}

void Frmmain::toolsDrawClick()
{
    for (const QString &program : ToolCommands::drawingPrograms()) {
        if (m_services.shell->hasProgram(program)) {
            m_services.shell->startProgram(program, {});
            return;
        }
    }
}

void Frmmain::toolPcClick()
{
    m_services.shell->execute(QStringLiteral("open"), QDir::rootPath(), QString(), 1);
}

void Frmmain::toolDefautClick()
{
    m_services.shell->execute(QStringLiteral("open"), m_gallery.images().at(0), QString(), 0);
}

void Frmmain::helpEmailClick()
{
    m_services.shell->execute(QStringLiteral("Open"), ToolCommands::contactMail(), QString(), 1);
}

void Frmmain::helpHomeClick()
{
    m_services.shell->execute(QStringLiteral("open"), ToolCommands::HomePage, QString(), 0);
}

void Frmmain::helpAboutClick()
{
    m_services.shell->about(ToolCommands::AboutTitle, ToolCommands::AboutCredit, windowIcon());
}

void Frmmain::imgCombClick()
{
    if (m_gallery.images().isEmpty())
        return;
    m_gallery.setBackground(m_controls->advanceColour());
    if (m_gallery.showPage(viewWidthTwips()))
        showBuiltPage();
    m_cmb->setFocus();
}

void Frmmain::command9Click()
{
    if (m_services.grabber)
        ModuleScreen::saveScreenshot(*m_services.grabber, *m_services.dialogs,
                                     QGuiApplication::clipboard());
}

void Frmmain::folderClick(bool checked)
{
    if (m_services.folderVerb && checked)
        m_services.folderVerb->installThisProgram();
    else if (m_services.folderVerb)
        m_services.folderVerb->remove();
}
