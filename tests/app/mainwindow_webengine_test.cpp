// The main window with the real browser view: the page it writes loads, every picture shows
// whatever its name, and a click on one reaches the shell as "open this file"; the same with the
// pictures served as previews, where the page file stays as it is and TIFF shows too.
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QMap>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <optional>
#include <tuple>
#include <unistd.h>

#include "app/mainwindow.h"
#include "fakedialogs.h"
#include "fakeshell.h"
#include "filecontents.h"
#include "installedpreviews.h"
#include "livemainwindow.h"
#include "platform/filenames.h"
#include "platform/inisettings.h"
#include "webenginewait.h"

using namespace vimbrel;

using WebEngineWait::evaluate;
using WebEngineWait::timeout;

namespace {

// The main window over the real view, with fake dialogs and shell, and its settings, page file
// and (when asked for) preview caches in the folder given.
struct LiveInFolder
{
    LiveInFolder(const QTemporaryDir &dir, bool withPreviews)
        : settings(dir.filePath(QStringLiteral("ulvo.ini"))),
          pageFile(dir.filePath(QStringLiteral("Tpc.htm")))
    {
        if (withPreviews)
            previews.emplace(dir.filePath(QStringLiteral("thumbnails")));
        live.emplace(settings, dialogs, shell, pageFile, previews ? &*previews : nullptr);
    }

    IniSettings settings;
    FakeDialogs dialogs;
    FakeShell shell;
    const QString pageFile;
    std::optional<InstalledPreviews> previews;
    std::optional<LiveMainWindow> live;
};

} // namespace

class MainWindowInABrowser : public ::testing::TestWithParam<bool>
{
};

INSTANTIATE_TEST_SUITE_P(FilesAndPreviews, MainWindowInABrowser, ::testing::Bool(),
                         [](const auto &info) { return info.param ? "Previews" : "Files"; });

TEST_P(MainWindowInABrowser, ShowsEveryPictureAndOpensTheClickedOne)
{
    ASSERT_TRUE(previewSchemeRegistered);
    const bool withPreviews = GetParam();
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("my pics#1"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QStringList names = {QStringLiteral("x onerror=alert(1) .jpg"),
                         QStringLiteral("a\"><img src=x onerror=document.title='owned'>.png"),
                         QStringLiteral("100% ?sure.png"), QStringLiteral("山水 風景.jpg"),
                         QStringLiteral("plain.bmp")};
    if (withPreviews)
        names << QStringLiteral("scan #2.tif"); // the browser alone cannot show TIFF
    int width = 200;
    for (const QString &name : names) {
        QImage image(width++, 80, QImage::Format_RGB32);
        image.fill(QColor(30, 140, 90));
        ASSERT_TRUE(image.save(folder + QLatin1Char('/') + name)) << name.toStdString();
    }

    LiveInFolder setup(dir, withPreviews);
    LiveMainWindow &live = *setup.live;
    FakeShell &shell = setup.shell;
    const QString &pageFile = setup.pageFile;
    const std::optional<InstalledPreviews> &previews = setup.previews;
    MainWindow &window = live.window();
    WebEngineBrowserView *view = live.view();

    QSignalSpy loaded(view, &BrowserView::downloadComplete);
    window.formLoad(folder);
    // Asked each time: every page shown gets an address of its own.
    const auto pageAddress = [&] {
        return previews ? previews->page().address(pageFile) : QUrl::fromLocalFile(pageFile);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->url() == pageAddress() && !loaded.isEmpty(); },
                                timeout));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            // Shown, not only settled: a rebuild on resize may have started the page again.
            return evaluate(*view, QStringLiteral("Array.from(document.images).every("
                                                  "i => i.complete && i.naturalWidth > 0)"))
                .toBool();
        },
        timeout));

    // Every picture decoded at its own width; no name became markup or script.
    const QVariantList widths =
        evaluate(*view, QStringLiteral("Array.from(document.images).map(i => i.naturalWidth)"))
            .toList();
    ASSERT_EQ(widths.size(), names.size());
    for (const QVariant &w : widths)
        EXPECT_GE(w.toInt(), 200);
    EXPECT_EQ(
        evaluate(*view, QStringLiteral("document.getElementsByTagName('script').length")).toInt(),
        0);
    EXPECT_EQ(
        evaluate(*view, QStringLiteral("document.querySelectorAll('[onerror]').length")).toInt(),
        0);
    EXPECT_NE(view->title(), QStringLiteral("owned"));
    const QVariantList titles =
        evaluate(*view, QStringLiteral("Array.from(document.images).map(i => i.title)")).toList();
    QStringList shownTitles;
    for (const QVariant &t : titles)
        shownTitles << t.toString();
    for (const QString &name : names)
        EXPECT_TRUE(shownTitles.contains(name)) << name.toStdString();

    // A click on a picture opens that file, and no browser window.
    const QString firstSrc =
        evaluate(*view,
                 QStringLiteral("decodeURIComponent(new URL(document.images[0].src).pathname)"))
            .toString();
    const int windowsBefore = int(QApplication::topLevelWidgets().size());
    ASSERT_TRUE(WebEngineWait::click(*view, QStringLiteral("document.images[0]")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.calls.isEmpty(); }, timeout));
    EXPECT_EQ(shell.calls.first(), QStringLiteral("open|") + firstSrc);
    EXPECT_TRUE(QFile::exists(firstSrc));
    EXPECT_EQ(int(QApplication::topLevelWidgets().size()), windowsBefore);
}

// Names that are not UTF-8, two of which Qt alone would read as the same name, and the file
// really named as Qt would read them: each shows its own picture and a click opens that file.
TEST_P(MainWindowInABrowser, NamesThatAreNotUtf8ShowAndOpenTheirOwnFile)
{
    ASSERT_TRUE(previewSchemeRegistered);
    const bool withPreviews = GetParam();
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.filePath(QStringLiteral("old"))) + '/';
    ASSERT_TRUE(QDir().mkpath(QFile::decodeName(folder)));
    // Each picture's width tells which file the view shows.
    const QMap<int, QByteArray> names = {
        {201, "\xB9\xCF\xA4\xF9.jpg"},                 // Big5
        {202, "\xB9\xCF\xA4\xFA.jpg"},                 // Big5, alike for Qt
        {203, "\xEF\xBF\xBD\xCF\xA4\xEF\xBF\xBD.jpg"}, // what Qt makes of both
        {204, "caf\xE9.png"},                          // Latin-1
        {205, "\xD5\xD5\xC6\xAC.jpg"}};                // GBK
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        QImage image(it.key(), 60, QImage::Format_RGB32);
        image.fill(QColor(30, 140, 90));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        ASSERT_TRUE(image.save(&buffer, it.value().endsWith("png") ? "PNG" : "JPEG"));
        const int fd =
            ::open(QByteArray(folder + it.value()).constData(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(fd);
    }
    const auto remove = qScopeGuard([&] {
        for (const QByteArray &name : names)
            ::unlink(QByteArray(folder + name).constData());
    });

    LiveInFolder setup(dir, withPreviews);
    LiveMainWindow &live = *setup.live;
    FakeShell &shell = setup.shell;
    WebEngineBrowserView *view = live.view();
    live.window().formLoad(QFile::decodeName(folder));
    const QString allShown =
        QStringLiteral("document.images.length == 5 && Array.from(document.images).every("
                       "i => i.complete && i.naturalWidth > 0)");
    ASSERT_TRUE(QTest::qWaitFor([&] { return evaluate(*view, allShown).toBool(); }, timeout));

    const QVariantList widths =
        evaluate(*view, QStringLiteral("Array.from(document.images).map(i => i.naturalWidth)"))
            .toList();
    QList<int> shown;
    for (const QVariant &w : widths)
        shown << w.toInt();
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, names.keys());
    const QStringList titles =
        evaluate(*view, QStringLiteral("Array.from(document.images).map(i => i.title)"))
            .toStringList();
    for (const QString &title : {QStringLiteral("圖片.jpg"), QStringLiteral("caf\\xE9.png"),
                                 QStringLiteral("\uFFFDϤ\uFFFD.jpg"), QStringLiteral("照片.jpg")})
        EXPECT_TRUE(titles.contains(title)) << title.toStdString();

    for (int i = 0; i < int(widths.size()); ++i) {
        shell.calls.clear();
        ASSERT_TRUE(WebEngineWait::click(*view, QStringLiteral("document.images[%1]").arg(i)));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.calls.isEmpty(); }, timeout));
        EXPECT_EQ(FileNames::toBytes(shell.calls.first()),
                  "open|" + folder + names.value(widths[i].toInt()))
            << widths[i].toInt();
    }
}

TEST(MainWindowWithPreviews, WritesTheSamePageFile)
{
    ASSERT_TRUE(previewSchemeRegistered);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("pics"));
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString &name : {QStringLiteral("wide.jpg"), QStringLiteral("b c.png")}) {
        QImage image(name.startsWith(u'w') ? 3000 : 100, 80, QImage::Format_RGB32);
        image.fill(QColor(30, 140, 90));
        ASSERT_TRUE(image.save(folder + QLatin1Char('/') + name));
    }
    IniSettings settings(dir.filePath(QStringLiteral("ulvo.ini")));
    FakeDialogs dialogs;
    FakeShell shell;
    InstalledPreviews previews(dir.filePath(QStringLiteral("thumbnails")));

    // Two windows alike but for the previews; each writes its page, which must not differ.
    QList<QByteArray> pages;
    for (PreviewSchemeHandler *served :
         std::initializer_list<PreviewSchemeHandler *>{nullptr, &previews}) {
        const QString pageFile =
            dir.filePath(served ? QStringLiteral("b/Tpc.htm") : QStringLiteral("a/Tpc.htm"));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(pageFile).path()));
        LiveMainWindow live(settings, dialogs, shell, pageFile, served);
        MainWindow &window = live.window();
        QSignalSpy loaded(live.view(), &BrowserView::downloadComplete);
        window.formLoad(folder);
        ASSERT_TRUE(loaded.wait(timeout));
        pages << fileContents(pageFile);
        // Every layout: the three matrix modes, then stretched and tiled.
        for (const char *command : {"Command7", "Command7", "Command7", "Command10", "Command10"}) {
            QAction *action = window.findChild<QAction *>(QString::fromLatin1(command));
            ASSERT_NE(action, nullptr) << command;
            action->trigger();
            pages << fileContents(pageFile);
        }
    }
    ASSERT_EQ(pages.size(), 12);
    EXPECT_TRUE(
        pages[0].contains(QByteArray("src=\"" + QFile::encodeName(folder) + "/b%20c.png\"")));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pages[i], pages[i + 6]) << i;
}

// Every page build shows the same file at the same address; whatever built it, the new page
// must open at its top, not where the old one was scrolled to.
class MainWindowPageTop : public ::testing::TestWithParam<std::tuple<const char *, bool>>
{
};

TEST_P(MainWindowPageTop, ANewPageOpensAtItsTop)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("tall"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QImage image(40, 1000, QImage::Format_RGB32);
    image.fill(QColor(90, 60, 160));
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(image.save(folder + QStringLiteral("/p%1.png").arg(i)));

    // With previews the page comes through the program's own scheme, as in the program itself.
    ASSERT_TRUE(previewSchemeRegistered);
    LiveInFolder setup(dir, std::get<1>(GetParam()));
    LiveMainWindow &live = *setup.live;
    const QString &pageFile = setup.pageFile;
    MainWindow &window = live.window();
    WebEngineBrowserView *view = live.view();

    window.formLoad(folder);
    const QString height = QStringLiteral("document.documentElement.scrollHeight");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return view->url().path() == pageFile && evaluate(*view, height).toInt() > 5000; },
        timeout));
    view->scrollBy(0, 3000);
    ASSERT_EQ(evaluate(*view, QStringLiteral("window.scrollY")).toInt(), 3000);

    auto *command = window.findChild<QAction *>(QString::fromLatin1(std::get<0>(GetParam())));
    ASSERT_NE(command, nullptr);
    QSignalSpy loaded(view, &BrowserView::downloadComplete);
    command->trigger();
    ASSERT_TRUE(loaded.wait(timeout));
    EXPECT_EQ(evaluate(*view, QStringLiteral("window.scrollY")).toInt(), 0);
}

// Next page, matrix layout, background colour, refresh.
INSTANTIATE_TEST_SUITE_P(Commands, MainWindowPageTop,
                         ::testing::Combine(::testing::Values("CmdPage1", "Command7", "ImgComb",
                                                              "Command2"),
                                            ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<const char *, bool>> &info) {
                             return std::string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) ? "_Previews" : "_Files");
                         });
