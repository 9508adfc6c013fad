#include "app/frmmain.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include "fakebrowserview.h"
#include "fakedialogs.h"
#include "fakeshell.h"
#include "view/focussink.h"
#include "platform/inisettings.h"
#include "capture/screengrabber.h"
#include "view/viewcontrols.h"
#include "shell/xdgfolderverb.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <QWheelEvent>
#include "app/toolcommands.h"

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

class MainWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_settings = std::make_unique<IniSettings>(m_dir.filePath(QStringLiteral("ulvo.ini")));
        m_pageFile = m_dir.filePath(QStringLiteral("Tpc.htm"));
    }

    Frmmain &window(const QString &pageFile = QString())
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
        services.pageFile = pageFile.isEmpty() ? m_pageFile : pageFile;
        services.folderVerb = m_folderVerb.get();
        services.grabber = &m_grabber;
        services.widthOf = [](const QString &) { return 640; };
        m_window = std::make_unique<Frmmain>(services);
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

    QString text(int label) const { return m_window->lab(label)->text(); }

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
    std::unique_ptr<Frmmain> m_window;
};

} // namespace

TEST_F(MainWindow, StartsBlankWithoutAFolder)
{
    Frmmain &w = window();
    w.formLoad(QString());
    EXPECT_EQ(m_view->navigations, QStringList{QStringLiteral("about:blank")});
    EXPECT_EQ(text(0), QStringLiteral("當前路徑：未知"));
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：0"));
    EXPECT_EQ(text(4), QStringLiteral("每頁顯示：30"));
    EXPECT_EQ(text(6), QStringLiteral("Tarnell"));
    EXPECT_FALSE(w.button(Frmmain::CmdPage0)->isEnabled());
    EXPECT_FALSE(w.button(Frmmain::CmdPage1)->isEnabled());
    EXPECT_FALSE(QFile::exists(m_pageFile));
}

TEST_F(MainWindow, ListsAQuotedCommandLineFolder)
{
    const QString folder = folderWith(QStringLiteral("My Photos"), 31);
    m_settings->setValue(QStringLiteral("Main"), QStringLiteral("PageFileCount"),
                         QStringLiteral("250"));
    Frmmain &w = window();
    w.formLoad(QLatin1Char('"') + folder + QLatin1Char('"'));
    EXPECT_EQ(m_view->navigations.last(), m_pageFile);
    EXPECT_TRUE(QFile::exists(m_pageFile));
    EXPECT_EQ(text(0), QStringLiteral("當前路徑：") + folder + QLatin1Char('/'));
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：31"));
    EXPECT_EQ(text(4), QStringLiteral("每頁顯示：30"));
    EXPECT_EQ(text(6), QStringLiteral("Tarnell     第 1 頁  ， 共 2 頁"));
    EXPECT_FALSE(w.button(Frmmain::CmdPage0)->isEnabled());
    EXPECT_TRUE(w.button(Frmmain::CmdPage1)->isEnabled());
    // the stored value stays as it was
    EXPECT_EQ(m_settings->value(QStringLiteral("Main"), QStringLiteral("PageFileCount")),
              QStringLiteral("250"));
}

TEST_F(MainWindow, PagesThroughAHundredPictures)
{
    const QString folder = folderWith(QStringLiteral("hundred"), 100);
    Frmmain &w = window();
    w.formLoad(folder);
    for (int i = 0; i < 3; ++i)
        w.cmdPageClick(1);
    EXPECT_EQ(w.gallery().currentPage(), 4);
    EXPECT_FALSE(w.button(Frmmain::CmdPage1)->isEnabled());
    EXPECT_TRUE(w.button(Frmmain::CmdPage0)->isEnabled());
    EXPECT_EQ(text(6), QStringLiteral("Tarnell     第 4 頁  ， 共 4 頁"));
    w.cmdPageClick(0);
    w.cmdPageClick(0);
    w.cmdPageClick(0);
    EXPECT_EQ(w.gallery().currentPage(), 1);
    EXPECT_FALSE(w.button(Frmmain::CmdPage0)->isEnabled());
    EXPECT_TRUE(w.button(Frmmain::CmdPage1)->isEnabled());
}

TEST_F(MainWindow, JumpAsksAgainUntilThePageIsInRange)
{
    const QString folder = folderWith(QStringLiteral("jump"), 100);
    Frmmain &w = window();
    w.formLoad(folder);
    m_dialogs.inputAnswers = {QStringLiteral("5"), QStringLiteral("3.5")};
    w.toolJumpClick();
    ASSERT_EQ(m_dialogs.calls.size(), 3);
    EXPECT_EQ(m_dialogs.calls[0], QStringLiteral("input|跳轉頁面至|請輸入即將跳轉的頁面序號……|1"));
    EXPECT_EQ(m_dialogs.calls[1], QStringLiteral("message|Vimbrel|總共只有 4 頁，您超出範圍了！|%1")
                                      .arg(int(MessageIcon::Information)));
    EXPECT_EQ(m_dialogs.calls[2], QStringLiteral("input|跳轉頁面至|請輸入即將跳轉的頁面序號……|1"));
    EXPECT_EQ(w.gallery().currentPage(), 4);
    EXPECT_TRUE(w.button(Frmmain::CmdPage0)->isEnabled());
    EXPECT_EQ(m_view->navigations.last(), m_pageFile);
}

TEST_F(MainWindow, SettingsBoxChangesThePageSizeForTheNextBuild)
{
    Frmmain &w = window();
    w.formLoad(QString());
    const auto stored = [this] {
        return m_settings->value(QStringLiteral("Main"), QStringLiteral("PageFileCount"));
    };
    m_dialogs.inputAnswers = {QStringLiteral("45.5")};
    w.toolSetupClick();
    EXPECT_EQ(
        m_dialogs.calls.last(),
        QStringLiteral(
            "input|系統設置|設置圖片瀏覽器每頁顯示的圖片數目：\r\n\r\n範圍（30 < m > 200）|30"));
    EXPECT_EQ(stored(), QStringLiteral("46"));
    EXPECT_EQ(text(4), QStringLiteral("每頁顯示：46"));
    for (const char *ignored : {"29", "201", "letters", "", "99999999999", "-40"}) {
        m_dialogs.inputAnswers = {QString::fromUtf8(ignored)};
        w.toolSetupClick();
        EXPECT_EQ(stored(), QStringLiteral("46")) << ignored;
    }
    m_dialogs.inputAnswers = {std::nullopt};
    w.toolSetupClick();
    m_dialogs.inputAnswers = {QStringLiteral("44.5")};
    w.toolSetupClick();
    EXPECT_EQ(stored(), QStringLiteral("44"));
    EXPECT_EQ(w.gallery().pageSize(), 44);
}

TEST_F(MainWindow, AFolderThatIsNotThereListsTheCurrentFolder)
{
    const QString here = folderWith(QStringLiteral("here"), 2);
    const QString saved = QDir::currentPath();
    QDir::setCurrent(here);
    Frmmain &w = window();
    w.formLoad(m_dir.filePath(QStringLiteral("gone")));
    QDir::setCurrent(saved);
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：2"));
    EXPECT_EQ(w.folderPath(), QDir(here).canonicalPath());
}

TEST_F(MainWindow, ChoosingAnotherFolderListsIt)
{
    const QString first = folderWith(QStringLiteral("first"), 3);
    const QString second = folderWith(QStringLiteral("second"), 5);
    Frmmain &w = window();
    w.formLoad(first);
    EXPECT_TRUE(w.setFolderPath(second));
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：5"));
    EXPECT_FALSE(w.setFolderPath(m_dir.filePath(QStringLiteral("nothing here"))));
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：5"));
}

TEST_F(MainWindow, AThumbnailClickOpensThePictureNotAWindow)
{
    Frmmain &w = window();
    w.formLoad(QString());
    m_view->requestNewWindow(QUrl::fromLocalFile(QStringLiteral("/pics/a b#1.jpg")));
    EXPECT_EQ(m_shell.calls, QStringList{QStringLiteral("open|/pics/a b#1.jpg||1")});
}

TEST_F(MainWindow, ClosingDeletesThePageFile)
{
    const QString folder = folderWith(QStringLiteral("close"), 1);
    Frmmain &w = window();
    w.formLoad(folder);
    ASSERT_TRUE(QFile::exists(m_pageFile));
    w.close();
    EXPECT_FALSE(QFile::exists(m_pageFile));
}

TEST_F(MainWindow, AnUnwritablePageFileStillNavigates)
{
    const QString folder = folderWith(QStringLiteral("unwritable"), 3);
    Frmmain &w = window(m_dir.filePath(QStringLiteral("no/such/folder/Tpc.htm")));
    w.formLoad(folder);
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：3"));
    EXPECT_TRUE(m_view->navigations.last().endsWith(QStringLiteral("Tpc.htm")));
}

TEST_F(MainWindow, TreeSearchRunsThroughTheFolderDialog)
{
    const QString root = m_dir.filePath(QStringLiteral("tree"));
    QDir().mkpath(root + QStringLiteral("/a/b"));
    QDir().mkpath(root + QStringLiteral("/.hidden"));
    writeSized(root + QStringLiteral("/big.jpg"), 30001);
    writeSized(root + QStringLiteral("/small.jpg"), 30000);
    writeSized(root + QStringLiteral("/a/b/deep.png"), 40000);
    writeSized(root + QStringLiteral("/.hidden/no.jpg"), 40000);

    Frmmain &w = window();
    w.formLoad(QString());
    m_dialogs.fileAnswers = {root};
    QSignalSpy done(&w, &Frmmain::treeSearchFinished);
    w.command5Click();
    EXPECT_EQ(m_dialogs.calls.last(),
              QStringLiteral("folder|請選擇一個含有圖片的文件夾或者硬盤路徑"));
    EXPECT_FALSE(w.button(Frmmain::Command5)->isEnabled());
    EXPECT_EQ(m_view->navigations.last(), QStringLiteral("about:正在搜索之中，請等待……"));
    ASSERT_TRUE(done.count() > 0 || done.wait(20000));
    EXPECT_TRUE(w.button(Frmmain::Command5)->isEnabled());
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：2"));
    EXPECT_EQ(w.gallery().images().at(0), root + QStringLiteral("/a/b/deep.png"));
    EXPECT_EQ(w.gallery().images().at(1), root + QStringLiteral("/big.jpg"));
    EXPECT_EQ(text(0), QStringLiteral("當前路徑：") + root + QStringLiteral("/a/b/"));

    // a cancelled dialog changes nothing
    m_dialogs.fileAnswers = {std::nullopt};
    w.command5Click();
    EXPECT_FALSE(w.treeSearchRunning());
    EXPECT_EQ(text(2), QStringLiteral("圖片總數：2"));
}

TEST_F(MainWindow, ClosingDuringATreeSearchStopsIt)
{
    const QString root = m_dir.filePath(QStringLiteral("wide"));
    for (int i = 0; i < 200; ++i)
        QDir().mkpath(root + QStringLiteral("/d%1/e").arg(i));
    Frmmain &w = window();
    w.formLoad(QString());
    m_dialogs.fileAnswers = {root};
    w.command5Click();
    w.close();
    QSignalSpy done(&w, &Frmmain::treeSearchFinished);
    EXPECT_TRUE(done.count() > 0 || !w.treeSearchRunning() || done.wait(20000));
    EXPECT_FALSE(QFile::exists(m_pageFile));
}

TEST_F(MainWindow, PaneToggleAndSplitter)
{
    Frmmain &w = window();
    w.formLoad(QString());
    w.show();
    auto *drive = w.findChild<QWidget *>(QStringLiteral("Drive1"));
    auto *bar = w.findChild<QWidget *>(QStringLiteral("law"));
    ASSERT_TRUE(drive && bar);
    EXPECT_FALSE(drive->isVisible());
    w.button(Frmmain::ChkFace)->click();
    EXPECT_TRUE(drive->isVisible());
    EXPECT_TRUE(bar->isVisible());
    const int paneWidth = w.layoutTwips().drive().width;
    EXPECT_EQ(paneWidth, w.layoutTwips().clientWidth() / 5);
    EXPECT_EQ(w.layoutTwips().web().left, paneWidth + 80);

    w.lawMouseMove(1, 1525);
    w.lawMouseUp();
    EXPECT_EQ(w.layoutTwips().drive().width, paneWidth + 1500);
    EXPECT_EQ(w.web()->widget()->x(), twipsToPixels(w.layoutTwips().web().left, w.logicalDpiX()));

    w.lawMouseMove(1, 1000000); // far outside: kept inside the window
    w.lawMouseUp();
    EXPECT_GE(w.layoutTwips().web().width, 0);

    w.button(Frmmain::ChkFace)->click();
    EXPECT_FALSE(drive->isVisible());
    EXPECT_EQ(w.layoutTwips().web().left, 40);
}

TEST_F(MainWindow, LayoutButtonsRebuildOnlyWithPictures)
{
    Frmmain &w = window();
    w.formLoad(QString());
    w.command7Click();
    w.command10Click();
    w.command2Click();
    EXPECT_EQ(m_view->navigations.size(), 1);
    const QString folder = folderWith(QStringLiteral("layouts"), 4);
    w.setFolderPath(folder);
    const int before = m_view->navigations.size();
    w.command7Click();
    EXPECT_EQ(w.gallery().matrixMode(), 1);
    w.command10Click();
    EXPECT_EQ(w.gallery().displayStyle(), DisplayStyle::Stretch);
    w.command2Click();
    EXPECT_EQ(w.gallery().displayStyle(), DisplayStyle::Centre);
    EXPECT_EQ(m_view->navigations.size(), before + 3);
}

TEST_F(MainWindow, OpenPictureListsItsFolderEvenWhenAlreadyShown)
{
    const QString folder = folderWith(QStringLiteral("open"), 3);
    Frmmain &w = window();
    w.formLoad(QString());
    m_dialogs.fileAnswers = {std::nullopt};
    w.command1Click(); // cancelled: nothing changes
    EXPECT_EQ(m_view->navigations.size(), 1);

    for (int round = 0; round < 2; ++round) {
        m_dialogs.fileAnswers = {folder + QStringLiteral("/p2.jpg")};
        const int before = m_view->navigations.size();
        w.command1Click();
        ASSERT_EQ(m_view->navigations.size(), before + 2) << round;
        EXPECT_EQ(m_view->navigations[before], QStringLiteral("about:圖像載入……"));
        EXPECT_EQ(m_view->navigations[before + 1], m_pageFile);
        EXPECT_EQ(w.gallery().pageFolder(), folder + QLatin1Char('/'));
        EXPECT_EQ(text(2), QStringLiteral("圖片總數：3"));
    }
    EXPECT_TRUE(m_dialogs.calls.last().startsWith(QStringLiteral("open|打開圖像文件|") + folder +
                                                  QStringLiteral("/|圖片(BMP,JPG,GIF,PNG,TIF) (")));
}

TEST_F(MainWindow, ExportWritesEveryPathAndOneMoreLineEnd)
{
    const QString folder = folderWith(QStringLiteral("export"), 3);
    Frmmain &w = window();
    w.formLoad(folder);
    const QString target = m_dir.filePath(QStringLiteral("list.txt"));

    m_dialogs.fileAnswers = {std::nullopt};
    w.toolSaveListClick();
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(m_dialogs.calls.last(),
              QStringLiteral("save|保存文件|文本文件(TXT) (*.txt)|文件列表"));

    m_dialogs.fileAnswers = {target};
    w.toolSaveListClick();
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString f = folder + QLatin1Char('/');
    EXPECT_EQ(file.readAll(), (f + QStringLiteral("p1.jpg\r\n") + f + QStringLiteral("p2.jpg\r\n") +
                               f + QStringLiteral("p3.jpg\r\n\r\n"))
                                  .toUtf8());
    EXPECT_EQ(m_shell.calls.last(), QStringLiteral("Open|") + target + QStringLiteral("||1"));

    // a place that cannot be written: the user is told, nothing is opened
    const int launches = m_shell.calls.size();
    m_dialogs.fileAnswers = {m_dir.filePath(QStringLiteral("missing/list.txt"))};
    w.toolSaveListClick();
    EXPECT_TRUE(
        m_dialogs.calls.last().startsWith(QStringLiteral("message|Vimbrel|無法保存文件：")));
    EXPECT_EQ(m_shell.calls.size(), launches);
}

TEST_F(MainWindow, ExportOfAnEmptyListIsOneLineEnd)
{
    Frmmain &w = window();
    w.formLoad(QString());
    const QString target = m_dir.filePath(QStringLiteral("empty.txt"));
    m_dialogs.fileAnswers = {target};
    w.toolSaveListClick();
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\r\n"));
}

TEST_F(MainWindow, LaunchersPassTheirExactArguments)
{
    const QString folder = folderWith(QStringLiteral("launch"), 2);
    Frmmain &w = window();
    w.formLoad(QString());
    w.toolDefautClick(); // entry 0 before any collection is empty text
    w.formLoad(folder);
    m_shell.calls.clear();
    w.toolSeePathClick();
    w.toolPcClick();
    w.toolDefautClick();
    w.helpEmailClick();
    w.helpHomeClick();
    w.helpAboutClick();
    const QString f = folder + QLatin1Char('/');
    EXPECT_EQ(m_shell.calls,
              (QStringList{QStringLiteral("Open|") + f + QStringLiteral("||1"),
                           QStringLiteral("open|/||1"),
                           QStringLiteral("open|") + f + QStringLiteral("p1.jpg||0"),
                           QStringLiteral("Open|mailto:author@vimbrel.org?subject=聯繫軟件作者||1"),
                           QStringLiteral("open|http://www.vimbrel.org/ulvo/tw/||0"),
                           QStringLiteral("about|《Vimbrel》(v 4.6)|") + ToolCommands::AboutCredit +
                               QStringLiteral("|1")}));
}

TEST_F(MainWindow, DrawingProgramIsTheFirstOneFound)
{
    Frmmain &w = window();
    w.formLoad(QString());
    w.toolsDrawClick();
    EXPECT_TRUE(m_shell.calls.isEmpty());
    m_shell.programsOnPath = {QStringLiteral("gimp"), QStringLiteral("pinta")};
    w.toolsDrawClick();
    EXPECT_EQ(m_shell.calls, QStringList{QStringLiteral("start|pinta|")});
}

TEST_F(MainWindow, ColourButtonRebuildsOnlyWithPictures)
{
    Frmmain &w = window();
    w.formLoad(QString());
    w.imgCombClick();
    EXPECT_EQ(w.controls()->colourIndex(), 0);
    EXPECT_EQ(m_view->navigations.size(), 1);

    w.formLoad(folderWith(QStringLiteral("colours"), 2));
    const int before = m_view->navigations.size();
    for (int i = 0; i < 10; ++i)
        w.imgCombClick();
    EXPECT_EQ(m_view->navigations.size(), before + 10);
    EXPECT_EQ(w.gallery().background(), QStringLiteral("#FF0000"));
    QFile page(m_pageFile);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().startsWith("<body bgcolor=#FF0000>\r\n"));
}

TEST_F(MainWindow, ZoomKeysWheelAndTimedScrollActOnTheView)
{
    Frmmain &w = window();
    w.formLoad(QString());
    w.show();
    m_view->finishLoad();
    w.button(Frmmain::BigP0)->click();
    EXPECT_EQ(m_view->scripts.last(), QStringLiteral("document.body.style.zoom='110%'"));
    m_view->finishLoad(); // a new page starts again at 100
    w.button(Frmmain::BigP1)->click();
    EXPECT_EQ(m_view->scripts.last(), QStringLiteral("document.body.style.zoom='90%'"));

    QTest::keyClick(w.focusSink(), Qt::Key_Down);
    QTest::keyClick(w.focusSink(), Qt::Key_Up);
    ASSERT_GE(m_view->scrolls.size(), 2);
    EXPECT_EQ(m_view->scrolls[m_view->scrolls.size() - 2], QPoint(0, 100));
    EXPECT_EQ(m_view->scrolls.last(), QPoint(0, -100));

    QWidget *viewWidget = m_view->widget();
    const QPointF at(10, 10);
    QWheelEvent towardsUser(at, viewWidget->mapToGlobal(at), QPoint(), QPoint(0, -120),
                            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(viewWidget, &towardsUser);
    EXPECT_EQ(m_view->scrolls.last(), QPoint(0, 100));

    w.button(Frmmain::MoveUp1)->click();
    EXPECT_TRUE(w.controls()->isRunning());
    EXPECT_EQ(w.controls()->litButton(), 1);
    w.button(Frmmain::MoveUp0)->click();
    EXPECT_EQ(w.controls()->litButton(), 0);
    w.button(Frmmain::MoveUp0)->click();
    EXPECT_FALSE(w.controls()->isRunning());
}

TEST_F(MainWindow, RightButtonReleaseOverTheViewOpensTheToolsMenu)
{
    Frmmain &w = window();
    w.formLoad(QString());
    w.show();
    QWidget *viewWidget = m_view->widget();
    const QPointF at(20, 20);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewWidget->mapToGlobal(at),
                        Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewWidget, &release);
    EXPECT_TRUE(w.toolsMenu()->isVisible());
    w.toolsMenu()->hide();
}

TEST_F(MainWindow, FolderVerbIsWrittenAtStartAndFollowsTheMenuEntry)
{
    Frmmain &w = window();
    const QString entry = m_dir.filePath(QStringLiteral("data/applications/ulvo.desktop"));
    const QString service = m_dir.filePath(QStringLiteral("data/kio/servicemenus/ulvo.desktop"));
    w.formLoad(QString());
    EXPECT_TRUE(QFile::exists(entry));
    EXPECT_TRUE(QFile::exists(service));
    auto *folder = w.toolsMenu()->findChild<QAction *>(QStringLiteral("Folder"));
    ASSERT_NE(folder, nullptr);
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

TEST_F(MainWindow, ScreenCaptureGoesToTheClipboardAndTheChosenFile)
{
    Frmmain &w = window();
    w.formLoad(QString());
    const QString target = m_dir.filePath(QStringLiteral("shot"));
    m_dialogs.fileAnswers = {target};
    w.button(Frmmain::Command9)->click();
    EXPECT_EQ(m_dialogs.calls.last(),
              QStringLiteral("save|保存文件|圖片文件(BMP) (*.bmp)|Picture"));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(2) == "BM");
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(64, 48));
}
