// The main window with the real browser view: the page it writes loads, every picture shows
// whatever its name, and a click on one reaches the shell as "open this file".
#include "app/frmmain.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include "fakedialogs.h"
#include "fakeshell.h"
#include "platform/inisettings.h"
#include "view/webenginebrowserview.h"
#include "webenginewait.h"

using namespace vimbrel;

using WebEngineWait::evaluate;
using WebEngineWait::timeout;

TEST(MainWindowInABrowser, ShowsEveryPictureAndOpensTheClickedOne)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("my pics#1"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QStringList names = {QStringLiteral("x onerror=alert(1) .jpg"),
                               QStringLiteral("a\"><img src=x onerror=document.title='owned'>.png"),
                               QStringLiteral("100% ?sure.png"), QStringLiteral("山水 風景.jpg"),
                               QStringLiteral("plain.bmp")};
    int width = 200;
    for (const QString &name : names) {
        QImage image(width++, 80, QImage::Format_RGB32);
        image.fill(QColor(30, 140, 90));
        ASSERT_TRUE(image.save(folder + QLatin1Char('/') + name)) << name.toStdString();
    }

    IniSettings settings(dir.filePath(QStringLiteral("ulvo.ini")));
    FakeDialogs dialogs;
    FakeShell shell;
    WebEngineBrowserView *view = nullptr;
    MainServices services;
    services.settings = &settings;
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.makeView = [&view](QWidget *parent) {
        view = new WebEngineBrowserView(parent);
        return view;
    };
    services.pageFile = dir.filePath(QStringLiteral("Tpc.htm"));
    Frmmain window(services);
    window.resize(1000, 700);
    window.show();

    QSignalSpy loaded(view, &BrowserView::downloadComplete);
    window.formLoad(folder);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return view->url() == QUrl::fromLocalFile(services.pageFile) && !loaded.isEmpty(); },
        timeout));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return evaluate(*view, QStringLiteral("Array.from(document.images).every("
                                                  "i => i.complete)"))
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
    const QVariantList centre =
        evaluate(*view, QStringLiteral("(r => [r.left + r.width / 2, r.top + r.height / 2])"
                                       "(document.images[0].getBoundingClientRect())"))
            .toList();
    ASSERT_EQ(centre.size(), 2);
    const QString firstSrc =
        evaluate(*view,
                 QStringLiteral("decodeURIComponent(new URL(document.images[0].src).pathname)"))
            .toString();
    const int windowsBefore = int(QApplication::topLevelWidgets().size());
    QWidget *input = view->view()->focusProxy() ? view->view()->focusProxy() : view->widget();
    QTest::mouseClick(input, Qt::LeftButton, Qt::NoModifier,
                      QPoint(qRound(centre[0].toDouble()), qRound(centre[1].toDouble())));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.calls.isEmpty(); }, timeout));
    EXPECT_EQ(shell.calls.first(), QStringLiteral("open|") + firstSrc);
    EXPECT_TRUE(QFile::exists(firstSrc));
    EXPECT_EQ(int(QApplication::topLevelWidgets().size()), windowsBefore);
}
