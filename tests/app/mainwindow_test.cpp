#include "app/mainwindow.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/foldertreemodel.h"
#include "app/startup.h"
#include "app/toolcommands.h"
#include "capture/screengrabber.h"
#include "fakebrowserview.h"
#include "fakedialogs.h"
#include "fakeshell.h"
#include "filesizelimit.h"
#include "gallery/gallery.h"
#include "platform/filenames.h"
#include "platform/inisettings.h"
#include "shell/xdgfolderverb.h"
#include "windowkit/focussink.h"
#include "windowkit/twips.h"
#include "windowkit/viewcontrols.h"

using namespace vimbrel;

namespace {

void touch(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

void writeSized(const QString &path, qint64 size)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(size));
}

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_settings = std::make_unique<IniSettings>(m_dir.filePath(QStringLiteral("ulvo.ini")));
        m_pageFile = m_dir.filePath(QStringLiteral("Tpc.htm"));
    }

    // pageFile: where the page goes; nullopt for the usual one, empty for a refused cache.
    MainWindow &window(const std::optional<QString> &pageFile = std::nullopt)
    {
        m_folderVerb = std::make_unique<XdgFolderVerb>(m_dir.filePath(QStringLiteral("data")));
        MainServices services;
        services.settings = m_settings.get();
        services.dialogs = &m_dialogs;
        services.shell = &m_shell;
        services.makeView = [this](QWidget *parent) {
            m_view = new FakeBrowserView(parent);
            return m_view;
        };
        services.pageFile = pageFile.value_or(m_pageFile);
        services.folderVerb = m_folderVerb.get();
        services.grabber = &m_grabber;
        services.widthOf = [](const QString &) { return 640; };
        m_window = std::make_unique<MainWindow>(services);
        m_window->resize(1000, 700);
        return *m_window;
    }

    QString folderWith(const QString &name, int pictures)
    {
        const QString folder = m_dir.filePath(name);
        QDir().mkpath(folder);
        for (int i = 1; i <= pictures; ++i)
            touch(folder + QStringLiteral("/p%1.jpg").arg(i));
        return folder;
    }

    QString text(int label) const
    {
        return m_window->findChild<QLabel *>(QStringLiteral("Lab%1").arg(label))->text();
    }
    QAction *action(const char *name) const
    {
        auto *found = m_window->findChild<QAction *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QToolButton *button(const char *name) const
    {
        return m_window->findChild<QToolButton *>(QString::fromLatin1(name));
    }
    void trigger(const char *name) const { action(name)->trigger(); }
    const Gallery &gallery() const { return *m_window->findChild<Gallery *>(); }
    ViewControls *controls() const { return m_window->findChild<ViewControls *>(); }
    QWidget *sink() const { return m_window->findChild<QWidget *>(QStringLiteral("Cmb")); }
    QMenu *toolsMenu() const { return m_window->findChild<QMenu *>(QStringLiteral("MyTools")); }

    struct Grabber : ScreenGrabber
    {
        QImage grabScreen() override
        {
            QImage screen(64, 48, QImage::Format_RGB32);
            screen.fill(QColor(10, 120, 200));
            return screen;
        }
    };

    QTemporaryDir m_dir;
    std::unique_ptr<IniSettings> m_settings;
    std::unique_ptr<XdgFolderVerb> m_folderVerb;
    Grabber m_grabber;
    FakeDialogs m_dialogs;
    FakeShell m_shell;
    FakeBrowserView *m_view = nullptr;
    QString m_pageFile;
    std::unique_ptr<MainWindow> m_window;
};

} // namespace

TEST_F(MainWindowTest, StartsBlankWithoutAFolder)
{
    MainWindow &w = window();
    w.formLoad(QString());
    EXPECT_EQ(m_view->navigations, QStringList{QStringLiteral("about:blank")});
    EXPECT_EQ(text(0), QStringLiteral("當前路徑：未知"));
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：0"));
    EXPECT_EQ(text(4), QStringLiteral("每頁顯示：30"));
    EXPECT_EQ(text(6), QStringLiteral("Tarnell"));
    EXPECT_FALSE(action("CmdPage0")->isEnabled());
    EXPECT_FALSE(action("CmdPage1")->isEnabled());
    EXPECT_FALSE(QFile::exists(m_pageFile));
}

TEST_F(MainWindowTest, ListsAQuotedCommandLineFolder)
{
    const QString folder = folderWith(QStringLiteral("My Photos"), 31);
    m_settings->setValue(QStringLiteral("Main"), QStringLiteral("PageFileCount"),
                         QStringLiteral("250"));
    MainWindow &w = window();
    w.formLoad(StartUp::commandLineFolder({QLatin1Char('"') + folder + QLatin1Char('"')}));
    EXPECT_EQ(m_view->navigations.last(), m_pageFile);
    EXPECT_TRUE(QFile::exists(m_pageFile));
    EXPECT_EQ(text(0), QStringLiteral("當前路徑：") + folder + QLatin1Char('/'));
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：31"));
    EXPECT_EQ(text(4), QStringLiteral("每頁顯示：30"));
    EXPECT_EQ(text(6), QStringLiteral("Tarnell     第 1 頁  ， 共 2 頁"));
    EXPECT_FALSE(action("CmdPage0")->isEnabled());
    EXPECT_TRUE(action("CmdPage1")->isEnabled());
    // the stored value stays as it was
    EXPECT_EQ(m_settings->value(QStringLiteral("Main"), QStringLiteral("PageFileCount")),
              QStringLiteral("250"));
}

TEST_F(MainWindowTest, PagesThroughAHundredPictures)
{
    const QString folder = folderWith(QStringLiteral("hundred"), 100);
    MainWindow &w = window();
    w.formLoad(folder);
    for (int i = 0; i < 3; ++i)
        trigger("CmdPage1");
    EXPECT_EQ(gallery().currentPage(), 4);
    EXPECT_FALSE(action("CmdPage1")->isEnabled());
    EXPECT_TRUE(action("CmdPage0")->isEnabled());
    EXPECT_EQ(text(6), QStringLiteral("Tarnell     第 4 頁  ， 共 4 頁"));
    trigger("CmdPage0");
    trigger("CmdPage0");
    trigger("CmdPage0");
    EXPECT_EQ(gallery().currentPage(), 1);
    EXPECT_FALSE(action("CmdPage0")->isEnabled());
    EXPECT_TRUE(action("CmdPage1")->isEnabled());
}

TEST_F(MainWindowTest, JumpAsksAgainUntilThePageIsInRange)
{
    const QString folder = folderWith(QStringLiteral("jump"), 100);
    MainWindow &w = window();
    w.formLoad(folder);
    m_dialogs.inputAnswers = {QStringLiteral("5"), QStringLiteral("3.5")};
    trigger("ToolJump");
    ASSERT_EQ(m_dialogs.calls.size(), 3);
    EXPECT_EQ(m_dialogs.calls[0], QStringLiteral("input|跳轉頁面至|請輸入即將跳轉的頁面序號……|1"));
    EXPECT_EQ(m_dialogs.calls[1], QStringLiteral("message|Vimbrel|總共只有 4 頁，您超出範圍了！|%1")
                                      .arg(int(MessageIcon::Information)));
    EXPECT_EQ(m_dialogs.calls[2], QStringLiteral("input|跳轉頁面至|請輸入即將跳轉的頁面序號……|1"));
    EXPECT_EQ(gallery().currentPage(), 4);
    EXPECT_TRUE(action("CmdPage0")->isEnabled());
    EXPECT_EQ(m_view->navigations.last(), m_pageFile);
}

TEST_F(MainWindowTest, SettingsBoxChangesThePageSizeForTheNextBuild)
{
    MainWindow &w = window();
    w.formLoad(QString());
    const auto stored = [this] {
        return m_settings->value(QStringLiteral("Main"), QStringLiteral("PageFileCount"));
    };
    m_dialogs.inputAnswers = {QStringLiteral("45.5")};
    trigger("ToolSetup");
    EXPECT_EQ(
        m_dialogs.calls.last(),
        QStringLiteral(
            "input|系統設置|設置圖片瀏覽器每頁顯示的圖片數目：\r\n\r\n範圍（30 < m > 200）|30"));
    EXPECT_EQ(stored(), QStringLiteral("46"));
    EXPECT_EQ(text(4), QStringLiteral("每頁顯示：46"));
    for (const char *ignored : {"29", "201", "letters", "", "99999999999", "-40"}) {
        m_dialogs.inputAnswers = {QString::fromUtf8(ignored)};
        trigger("ToolSetup");
        EXPECT_EQ(stored(), QStringLiteral("46")) << ignored;
    }
    m_dialogs.inputAnswers = {std::nullopt};
    trigger("ToolSetup");
    m_dialogs.inputAnswers = {QStringLiteral("44.5")};
    trigger("ToolSetup");
    EXPECT_EQ(stored(), QStringLiteral("44"));
    EXPECT_EQ(gallery().pageSize(), 44);
}

TEST_F(MainWindowTest, ALargerPageSizeOnTheLastPagesTurnsTheNextButtonOff)
{
    MainWindow &w = window();
    w.formLoad(folderWith(QStringLiteral("hundred"), 100));
    trigger("CmdPage1");
    ASSERT_TRUE(action("CmdPage1")->isEnabled()); // page 2 of 4
    m_dialogs.inputAnswers = {QStringLiteral("50")};
    trigger("ToolSetup");
    EXPECT_FALSE(action("CmdPage1")->isEnabled()); // page 2 of 2
    EXPECT_TRUE(action("CmdPage0")->isEnabled());
}

TEST_F(MainWindowTest, AFolderThatIsNotThereIsSaidAndNothingIsListed)
{
    const QString here = folderWith(QStringLiteral("here"), 2);
    const QString saved = QDir::currentPath();
    QDir::setCurrent(here);
    window();
    const QString gone = m_dir.filePath(QStringLiteral("gone"));
    m_window->formLoad(gone);
    QDir::setCurrent(saved);
    EXPECT_EQ(text(0), QStringLiteral("找不到資料夾：") + gone);
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：0"));
    EXPECT_EQ(m_view->navigations, QStringList{QStringLiteral("about:blank")});
    EXPECT_FALSE(QFile::exists(m_pageFile));
}

TEST_F(MainWindowTest, APictureOnTheCommandLineOpensItsFolder)
{
    const QString folder = folderWith(QStringLiteral("given"), 3);
    window().formLoad(folder + QStringLiteral("/p2.jpg"));
    EXPECT_EQ(text(0), QStringLiteral("當前路徑：") + folder + u'/');
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：3"));
    EXPECT_EQ(m_view->navigations.last(), m_pageFile);
}

TEST_F(MainWindowTest, ChoosingAnotherFolderListsIt)
{
    const QString first = folderWith(QStringLiteral("first"), 3);
    const QString second = folderWith(QStringLiteral("second"), 5);
    MainWindow &w = window();
    w.formLoad(first);
    EXPECT_TRUE(w.showFolder(second));
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：5"));
    EXPECT_FALSE(w.showFolder(m_dir.filePath(QStringLiteral("nothing here"))));
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：5"));
}

TEST_F(MainWindowTest, AThumbnailClickOpensThePictureNotAWindow)
{
    MainWindow &w = window();
    w.formLoad(QString());
    m_view->requestNewWindow(QUrl::fromLocalFile(QStringLiteral("/pics/a b#1.jpg")));
    EXPECT_EQ(m_shell.calls, QStringList{QStringLiteral("open|/pics/a b#1.jpg")});
}

TEST_F(MainWindowTest, ClosingDeletesThePageFile)
{
    const QString folder = folderWith(QStringLiteral("close"), 1);
    MainWindow &w = window();
    w.formLoad(folder);
    ASSERT_TRUE(QFile::exists(m_pageFile));
    w.close();
    EXPECT_FALSE(QFile::exists(m_pageFile));
}

TEST_F(MainWindowTest, AnUnwritablePageFileStillNavigates)
{
    const QString folder = folderWith(QStringLiteral("unwritable"), 3);
    MainWindow &w = window(m_dir.filePath(QStringLiteral("no/such/folder/Tpc.htm")));
    w.formLoad(folder);
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：3"));
    EXPECT_TRUE(m_view->navigations.last().endsWith(QStringLiteral("Tpc.htm")));
}

TEST_F(MainWindowTest, TreeSearchRunsThroughTheFolderDialog)
{
    const QString root = m_dir.filePath(QStringLiteral("tree"));
    QDir().mkpath(root + QStringLiteral("/a/b"));
    QDir().mkpath(root + QStringLiteral("/.hidden"));
    writeSized(root + QStringLiteral("/big.jpg"), 30001);
    writeSized(root + QStringLiteral("/small.jpg"), 30000);
    writeSized(root + QStringLiteral("/a/b/deep.png"), 40000);
    writeSized(root + QStringLiteral("/.hidden/no.jpg"), 40000);

    MainWindow &w = window();
    w.formLoad(QString());
    m_dialogs.fileAnswers = {root};
    QSignalSpy done(&w, &MainWindow::treeSearchFinished);
    trigger("Command5");
    EXPECT_EQ(m_dialogs.calls.last(),
              QStringLiteral("folder|請選擇一個含有圖片的文件夾或者硬盤路徑"));
    EXPECT_FALSE(action("Command5")->isEnabled());
    EXPECT_EQ(m_view->navigations.last(), QStringLiteral("about:正在搜索之中，請等待……"));
    ASSERT_TRUE(done.count() > 0 || done.wait(20000));
    EXPECT_TRUE(action("Command5")->isEnabled());
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：2"));
    EXPECT_EQ(gallery().images().at(0), root + QStringLiteral("/a/b/deep.png"));
    EXPECT_EQ(gallery().images().at(1), root + QStringLiteral("/big.jpg"));
    EXPECT_EQ(text(0), QStringLiteral("當前路徑：") + root + QStringLiteral("/a/b/"));

    // a cancelled dialog changes nothing
    m_dialogs.fileAnswers = {std::nullopt};
    trigger("Command5");
    EXPECT_TRUE(action("Command5")->isEnabled());
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：2"));

    // The dialog opens at the folder on view.
    w.formLoad(root + QStringLiteral("/a"));
    m_dialogs.fileAnswers = {std::nullopt};
    trigger("Command5");
    EXPECT_EQ(m_dialogs.folderStarts.last(), root + QStringLiteral("/a"));
}

TEST_F(MainWindowTest, ClosingDuringATreeSearchStopsIt)
{
    const QString root = m_dir.filePath(QStringLiteral("wide"));
    for (int i = 0; i < 200; ++i)
        QDir().mkpath(root + QStringLiteral("/d%1/e").arg(i));
    MainWindow &w = window();
    w.formLoad(QString());
    m_dialogs.fileAnswers = {root};
    QSignalSpy done(&w, &MainWindow::treeSearchFinished);
    trigger("Command5");
    w.close();
    EXPECT_TRUE(done.count() > 0 || done.wait(20000));
    EXPECT_FALSE(QFile::exists(m_pageFile));
}

TEST_F(MainWindowTest, PaneToggleAndSplitter)
{
    MainWindow &w = window();
    w.formLoad(QString());
    w.show();
    auto *drive = w.findChild<QWidget *>(QStringLiteral("Drive1"));
    auto *bar = w.findChild<QWidget *>(QStringLiteral("law"));
    ASSERT_TRUE(drive && bar);
    EXPECT_FALSE(drive->isVisible());
    button("ChkFace")->click();
    EXPECT_TRUE(drive->isVisible());
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(action("ChkFace")->isChecked());
    QWidget *web = m_view->widget();
    const double dpi = w.logicalDpiX();
    const int paneTwips = pixelsToTwips(w.width(), dpi) / 5;
    EXPECT_EQ(drive->width(), twipsToPixels(paneTwips, dpi));
    EXPECT_EQ(web->x(), twipsToPixels(paneTwips + 80, dpi));

    // Dragging the bar 100 pixels moves the pane's edge and the view with it.
    auto drag = [bar](int x) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 5), bar->mapToGlobal(QPointF(x, 5)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(x, 5),
                            bar->mapToGlobal(QPointF(x, 5)), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &release);
    };
    const int before = drive->width();
    drag(100);
    EXPECT_NEAR(drive->width(), before + 100, 3);
    EXPECT_GT(web->x(), drive->x() + drive->width());

    drag(100000); // far outside: kept inside the window
    EXPECT_GE(web->width(), 0);
    EXPECT_LE(web->x(), w.width());

    button("ChkFace")->click();
    EXPECT_FALSE(drive->isVisible());
    EXPECT_EQ(web->x(), twipsToPixels(40, dpi));
}

TEST_F(MainWindowTest, LayoutButtonsRebuildOnlyWithPictures)
{
    MainWindow &w = window();
    w.formLoad(QString());
    trigger("Command7");
    trigger("Command10");
    trigger("Command2");
    EXPECT_EQ(m_view->navigations.size(), 1);
    const QString folder = folderWith(QStringLiteral("layouts"), 4);
    w.showFolder(folder);
    const int before = m_view->navigations.size();
    trigger("Command7");
    EXPECT_EQ(gallery().matrixMode(), 1);
    trigger("Command10");
    EXPECT_EQ(gallery().displayStyle(), DisplayStyle::Stretch);
    trigger("Command2");
    EXPECT_EQ(gallery().displayStyle(), DisplayStyle::Centre);
    EXPECT_EQ(m_view->navigations.size(), before + 3);
}

TEST_F(MainWindowTest, OpenPictureListsItsFolderEvenWhenAlreadyShown)
{
    const QString folder = folderWith(QStringLiteral("open"), 3);
    MainWindow &w = window();
    w.formLoad(QString());
    m_dialogs.fileAnswers = {std::nullopt};
    trigger("Command1"); // cancelled: nothing changes
    EXPECT_EQ(m_view->navigations.size(), 1);

    for (int round = 0; round < 2; ++round) {
        m_dialogs.fileAnswers = {folder + QStringLiteral("/p2.jpg")};
        const int before = m_view->navigations.size();
        trigger("Command1");
        ASSERT_EQ(m_view->navigations.size(), before + 2) << round;
        EXPECT_EQ(m_view->navigations[before], QStringLiteral("about:圖像載入……"));
        EXPECT_EQ(m_view->navigations[before + 1], m_pageFile);
        EXPECT_EQ(gallery().pageFolder(), folder + QLatin1Char('/'));
        EXPECT_EQ(text(2), QStringLiteral("圖片總數：3"));
    }
    EXPECT_TRUE(m_dialogs.calls.last().startsWith(
        QStringLiteral("open|打開圖像文件|") + folder +
        QStringLiteral("/|圖片(BMP,JPG,GIF,PNG,TIF,WEBP,AVIF) (")));
}

TEST_F(MainWindowTest, ExportWritesEveryPathAndOneMoreLineEnd)
{
    const QString folder = folderWith(QStringLiteral("export"), 3);
    MainWindow &w = window();
    w.formLoad(folder);
    const QString target = m_dir.filePath(QStringLiteral("list.txt"));

    m_dialogs.fileAnswers = {std::nullopt};
    trigger("ToolSaveList");
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(m_dialogs.calls.last(),
              QStringLiteral("save|保存文件|文本文件(TXT) (*.txt)|文件列表"));

    m_dialogs.fileAnswers = {target};
    trigger("ToolSaveList");
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString f = folder + QLatin1Char('/');
    EXPECT_EQ(file.readAll(), (f + QStringLiteral("p1.jpg\r\n") + f + QStringLiteral("p2.jpg\r\n") +
                               f + QStringLiteral("p3.jpg\r\n\r\n"))
                                  .toUtf8());
    EXPECT_EQ(m_shell.calls.last(), QStringLiteral("open|") + target);

    // a place that cannot be written: the user is told, nothing is opened
    const int launches = m_shell.calls.size();
    m_dialogs.fileAnswers = {m_dir.filePath(QStringLiteral("missing/list.txt"))};
    trigger("ToolSaveList");
    EXPECT_TRUE(
        m_dialogs.calls.last().startsWith(QStringLiteral("message|Vimbrel|無法保存文件：")));
    EXPECT_EQ(m_shell.calls.size(), launches);
}

TEST_F(MainWindowTest, ExportOfAnEmptyListIsOneLineEnd)
{
    MainWindow &w = window();
    w.formLoad(QString());
    const QString target = m_dir.filePath(QStringLiteral("empty.txt"));
    m_dialogs.fileAnswers = {target};
    trigger("ToolSaveList");
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\r\n"));
}

TEST_F(MainWindowTest, LaunchersPassTheirExactArguments)
{
    const QString folder = folderWith(QStringLiteral("launch"), 2);
    MainWindow &w = window();
    w.formLoad(QString());
    w.formLoad(folder);
    m_shell.calls.clear();
    trigger("Command8");
    trigger("ToolPC");
    trigger("ToolDefaut");
    trigger("HelpEmail");
    trigger("HelpHome");
    trigger("HelpAbout");
    const QString f = folder + QLatin1Char('/');
    EXPECT_EQ(m_shell.calls,
              (QStringList{QStringLiteral("open|") + f, QStringLiteral("open|/"),
                           QStringLiteral("open|") + f + QStringLiteral("p1.jpg"),
                           QStringLiteral("open|mailto:author@vimbrel.org?subject=聯繫軟件作者"),
                           QStringLiteral("open|http://www.vimbrel.org/ulvo/tw/"),
                           QStringLiteral("about|《Vimbrel》(v 4.6)|") + ToolCommands::AboutCredit +
                               QStringLiteral("|1")}));
}

TEST_F(MainWindowTest, OtherViewerAfterAnEmptyFolderOpensNothing)
{
    const QString full = folderWith(QStringLiteral("full"), 2);
    const QString empty = folderWith(QStringLiteral("empty"), 0);
    MainWindow &w = window();
    w.formLoad(QString());
    trigger("ToolDefaut"); // nothing listed yet
    w.showFolder(full);
    w.showFolder(empty);
    trigger("ToolDefaut"); // the first folder's picture must not come back
    EXPECT_TRUE(m_shell.calls.isEmpty()) << m_shell.calls.join(u',').toStdString();
}

TEST_F(MainWindowTest, AFailedLaunchNamesTheAddress)
{
    window().formLoad(QString());
    m_shell.openSucceeds = false;
    trigger("HelpHome");
    m_view->requestNewWindow(QUrl::fromLocalFile(QStringLiteral("/pics/a.jpg")));
    EXPECT_EQ(
        m_dialogs.calls,
        (QStringList{QStringLiteral("message|Vimbrel|無法開啟：http://www.vimbrel.org/ulvo/tw/|1"),
                     QStringLiteral("message|Vimbrel|無法開啟：/pics/a.jpg|1")}));
}

TEST_F(MainWindowTest, ARefusedCacheFolderSaysWhyNothingShows)
{
    const QString folder = folderWith(QStringLiteral("refused"), 2);
    window(QString()).formLoad(folder);
    EXPECT_TRUE(text(0).startsWith(QStringLiteral("無法顯示圖片：快取資料夾無法使用")))
        << text(0).toStdString();
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：2"));
    ASSERT_EQ(m_dialogs.calls.size(), 1); // told once, not at every page
    EXPECT_TRUE(m_dialogs.calls[0].startsWith(QStringLiteral("message|Vimbrel|無法顯示圖片：")));
    trigger("Command2");
    EXPECT_EQ(m_dialogs.calls.size(), 1);
}

TEST_F(MainWindowTest, AFailedExportKeepsTheOldFileWhole)
{
    QString longName(120, u'x');
    const QString folder = m_dir.filePath(QStringLiteral("many"));
    QDir().mkpath(folder);
    for (int i = 0; i < 60; ++i)
        touch(folder + QStringLiteral("/%1%2.jpg").arg(longName).arg(i));
    MainWindow &w = window();
    w.formLoad(folder);
    const QString target = m_dir.filePath(QStringLiteral("list.txt"));
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old list\r\n");
    }
    m_dialogs.fileAnswers = {target};
    {
        // A disk that fills after 4 KiB: writes past that fail.
        const FileSizeLimit full(4096);
        if (!full.active())
            GTEST_SKIP() << "no file size limit on this system";
        trigger("ToolSaveList");
    }

    EXPECT_TRUE(
        m_dialogs.calls.last().startsWith(QStringLiteral("message|Vimbrel|無法保存文件：")));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("the old list\r\n"));
    EXPECT_EQ(QDir(m_dir.path()).entryList({QStringLiteral("list.txt*")}, QDir::Files),
              QStringList{QStringLiteral("list.txt")}); // no half-written file beside it
}

TEST_F(MainWindowTest, TheHiddenFolderPaneReadsNothingAndShownFollowsTheFolder)
{
    const QString folder = folderWith(QStringLiteral("pane"), 3);
    QDir().mkpath(folder + QStringLiteral("/inner"));
    MainWindow &w = window();
    w.formLoad(folder);
    auto *tree = w.findChild<QTreeView *>(QStringLiteral("Dir1"));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->model(), nullptr);
    EXPECT_EQ(w.findChild<FolderTreeModel *>(), nullptr);

    trigger("ChkFace");
    auto *model = w.findChild<FolderTreeModel *>();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(tree->model(), model);
    const QString canonical = QDir(folder).canonicalPath();
    EXPECT_EQ(model->filePath(tree->currentIndex()), canonical);

    // A click in the tree lists that folder.
    const QModelIndex inner = model->index(canonical + QStringLiteral("/inner"));
    ASSERT_TRUE(inner.isValid());
    Q_EMIT tree->clicked(inner);
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：0"));
    EXPECT_EQ(text(0), QStringLiteral("當前路徑：") + canonical + QStringLiteral("/inner/"));
}

TEST_F(MainWindowTest, ACommandOfferedTwiceIsOneAction)
{
    window().formLoad(QString());
    struct Shared
    {
        const char *name;
        const char *tooltip; // on the tool row
        const char *caption; // in the tools menu
    };
    for (const Shared &c : {Shared{"Command2", "刷新圖像 (F5)", "頁面刷新"},
                            Shared{"Command8", "查看文件路徑", "查看圖片路徑"},
                            Shared{"Command9", "截圖另存為", "全屏幕拍照"}}) {
        QAction *shared = action(c.name);
        ASSERT_NE(shared, nullptr);
        EXPECT_EQ(button(c.name)->defaultAction(), shared) << c.name;
        EXPECT_EQ(button(c.name)->toolTip(), QString::fromUtf8(c.tooltip)) << c.name;
        EXPECT_TRUE(toolsMenu()->actions().contains(shared)) << c.name;
        EXPECT_EQ(shared->text(), QString::fromUtf8(c.caption)) << c.name;
    }
    // Disabling the action disables its button: the page buttons follow the gallery.
    EXPECT_FALSE(button("CmdPage1")->isEnabled());
}

TEST_F(MainWindowTest, DrawingProgramIsTheFirstOneFound)
{
    MainWindow &w = window();
    w.formLoad(QString());
    trigger("ToolsDraw");
    EXPECT_TRUE(m_shell.calls.isEmpty());
    m_shell.programsOnPath = {QStringLiteral("gimp"), QStringLiteral("pinta")};
    trigger("ToolsDraw");
    EXPECT_EQ(m_shell.calls, QStringList{QStringLiteral("start|pinta|")});

    // Not found, or found and not started: the message names what could not be opened.
    m_shell.startSucceeds = false;
    trigger("ToolsDraw");
    EXPECT_EQ(m_dialogs.calls,
              QStringList({QStringLiteral("message|Vimbrel|無法開啟：kolourpaint / pinta / "
                                          "drawing / mtpaint / gimp / krita|1"),
                           QStringLiteral("message|Vimbrel|無法開啟：pinta|1")}));
}

TEST_F(MainWindowTest, ColourButtonRebuildsOnlyWithPictures)
{
    MainWindow &w = window();
    w.formLoad(QString());
    trigger("ImgComb");
    EXPECT_EQ(controls()->colourIndex(), 0);
    EXPECT_EQ(m_view->navigations.size(), 1);

    w.formLoad(folderWith(QStringLiteral("colours"), 2));
    const int before = m_view->navigations.size();
    for (int i = 0; i < 10; ++i)
        trigger("ImgComb");
    EXPECT_EQ(m_view->navigations.size(), before + 10);
    EXPECT_EQ(gallery().background(), QStringLiteral("#FF0000"));
    QFile page(m_pageFile);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().startsWith("<body bgcolor=#FF0000>\r\n"));
}

TEST_F(MainWindowTest, ZoomKeysWheelAndTimedScrollActOnTheView)
{
    MainWindow &w = window();
    w.formLoad(QString());
    w.show();
    m_view->finishLoad();
    button("BigP0")->click();
    EXPECT_EQ(m_view->scripts.last(), QStringLiteral("document.body.style.zoom='110%'"));
    m_view->finishLoad(); // a new page starts again at 100
    button("BigP1")->click();
    EXPECT_EQ(m_view->scripts.last(), QStringLiteral("document.body.style.zoom='90%'"));

    QTest::keyClick(sink(), Qt::Key_Down);
    QTest::keyClick(sink(), Qt::Key_Up);
    ASSERT_GE(m_view->scrolls.size(), 2);
    EXPECT_EQ(m_view->scrolls[m_view->scrolls.size() - 2], QPoint(0, 100));
    EXPECT_EQ(m_view->scrolls.last(), QPoint(0, -100));

    QWidget *viewWidget = m_view->widget();
    const QPointF at(10, 10);
    QWheelEvent towardsUser(at, viewWidget->mapToGlobal(at), QPoint(), QPoint(0, -120),
                            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(viewWidget, &towardsUser);
    EXPECT_EQ(m_view->scrolls.last(), QPoint(0, 100));

    button("MoveUp1")->click();
    EXPECT_TRUE(controls()->isRunning());
    EXPECT_EQ(controls()->litButton(), 1);
    button("MoveUp0")->click();
    EXPECT_EQ(controls()->litButton(), 0);
    button("MoveUp0")->click();
    EXPECT_FALSE(controls()->isRunning());
}

TEST_F(MainWindowTest, RightButtonReleaseOverTheViewOpensTheToolsMenu)
{
    MainWindow &w = window();
    w.formLoad(QString());
    w.show();
    QWidget *viewWidget = m_view->widget();
    const QPointF at(20, 20);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewWidget->mapToGlobal(at),
                        Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewWidget, &release);
    EXPECT_TRUE(toolsMenu()->isVisible());
    toolsMenu()->hide();
}

TEST_F(MainWindowTest, FolderVerbIsWrittenAtStartAndFollowsTheMenuEntry)
{
    MainWindow &w = window();
    const QString entry = m_dir.filePath(QStringLiteral("data/applications/ulvo.desktop"));
    const QString service = m_dir.filePath(QStringLiteral("data/kio/servicemenus/ulvo.desktop"));
    w.formLoad(QString());
    EXPECT_TRUE(QFile::exists(entry));
    EXPECT_TRUE(QFile::exists(service));
    QAction *folder = action("Folder");
    ASSERT_NE(folder, nullptr);
    EXPECT_TRUE(toolsMenu()->actions().contains(folder));
    EXPECT_TRUE(folder->isChecked());
    folder->trigger();
    EXPECT_FALSE(folder->isChecked());
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_FALSE(QFile::exists(service));
    folder->trigger();
    EXPECT_TRUE(QFile::exists(entry));
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("Name=Vimbrel"));
}

TEST_F(MainWindowTest, ScreenCaptureGoesToTheClipboardAndTheChosenFile)
{
    MainWindow &w = window();
    w.formLoad(QString());
    const QString target = m_dir.filePath(QStringLiteral("shot"));
    m_dialogs.fileAnswers = {target};
    button("Command9")->click();
    EXPECT_EQ(m_dialogs.calls.last(),
              QStringLiteral("save|保存文件|圖片文件(BMP) (*.bmp)|Picture"));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(2) == "BM");
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(64, 48));
}

// Names that are not UTF-8: the click maps the address the page spells back to the very file,
// and the launch and the export carry its bytes.
TEST_F(MainWindowTest, NamesThatAreNotUtf8KeepTheirBytesFromClickToExport)
{
    const QByteArray folder = QFile::encodeName(m_dir.filePath(QStringLiteral("old"))) + '/';
    ASSERT_TRUE(QDir().mkpath(QFile::decodeName(folder)));
    const QList<QByteArray> names = {"\xB9\xCF\xA4\xF9.jpg", "caf\xE9.jpg",
                                     "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD.jpg"};
    for (const QByteArray &name : names) {
        const int fd = ::open(QByteArray(folder + name).constData(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    const auto remove = qScopeGuard([&] {
        for (const QByteArray &name : names)
            ::unlink(QByteArray(folder + name).constData());
    });
    MainWindow &w = window();
    w.formLoad(QFile::decodeName(folder));
    ASSERT_EQ(gallery().images().count(), names.size());

    for (const QByteArray &name : names) {
        // As the browser asks for the link: the bytes percent-encoded, by file or by preview.
        const QByteArray encoded = QByteArray(folder + name).toPercentEncoding("/");
        for (const QByteArray &address :
             {QByteArray("file://" + encoded), QByteArray("vimbrel://p7" + encoded)}) {
            m_shell.calls.clear();
            m_view->requestNewWindow(QUrl::fromEncoded(address));
            ASSERT_EQ(m_shell.calls.size(), 1) << address.constData();
            EXPECT_EQ(FileNames::toBytes(m_shell.calls.first()), "open|" + folder + name)
                << address.constData();
        }
    }

    const QString target = m_dir.filePath(QStringLiteral("list.txt"));
    m_dialogs.fileAnswers = {target};
    trigger("ToolSaveList");
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray list = file.readAll();
    for (const QByteArray &name : names)
        EXPECT_TRUE(list.contains(QByteArray(folder + name + "\r\n")))
            << name.toHex().toStdString();

    // A folder named in Big5 is listed too, and read as text on the status line.
    const QByteArray big5 = QFile::encodeName(m_dir.path()) + "/\xB9\xCF";
    ASSERT_EQ(::mkdir(big5.constData(), 0700), 0);
    ::close(::open(QByteArray(big5 + "/a.jpg").constData(), O_CREAT | O_WRONLY, 0600));
    const auto removeFolder = qScopeGuard([&] {
        ::unlink(QByteArray(big5 + "/a.jpg").constData());
        ::rmdir(big5.constData());
    });
    w.formLoad(FileNames::fromBytes(big5));
    ASSERT_EQ(gallery().images().count(), 1);
    EXPECT_EQ(FileNames::toBytes(gallery().images().at(0)), big5 + "/a.jpg");
    EXPECT_EQ(text(0), QStringLiteral("當前路徑：") + m_dir.path() + QStringLiteral("/圖/"));
}
