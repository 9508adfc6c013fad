// Vimbrel: every picture of a folder at once.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWebEngineProfile>

#include <cstdio>
#include <memory>

#include "app/detailwindowkeeper.h"
#include "app/mainwindow.h"
#include "app/searchwindows.h"
#include "app/startup.h"
#include "app/toolicons.h"
#include "capture/qtscreengrabber.h"
#include "detail/webenginepicturedownload.h"
#include "platform/desktopshell.h"
#include "platform/enginesandbox.h"
#include "platform/filenames.h"
#include "platform/inisettings.h"
#include "platform/largeblocks.h"
#include "platform/pagefiles.h"
#include "platform/qtdialogs.h"
#include "platform/qttranslation.h"
#include "platform/quietstart.h"
#include "platform/quitsignals.h"
#include "platform/windowfit.h"
#include "preview/previewschemehandler.h"
#include "search/searchstate.h"
#include "shell/folderverb.h"
#include "view/interfacelanguage.h"
#include "view/webenginebrowserview.h"
#include "view/webenginecookies.h"

using namespace vimbrel;

int main(int argc, char *argv[])
{
    // The arguments by their bytes: a folder named in Big5 is found (QApplication's own list
    // decodes them as UTF-8 and loses such names). QApplication takes its own options out.
    const auto commandLine = [&argc, argv] {
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments << FileNames::fromArgument(argv[i]);
        return StartUp::commandLineFolder(arguments);
    };
    if (const auto answer = StartUp::terminalAnswer(commandLine())) {
        std::fputs(answer->toLocal8Bit().constData(), stdout);
        return 0;
    }
    returnLargeBlocksToTheSystem();
    allowBrowserEngineAsRoot();
    QuietStart::apply();
    PreviewSchemeHandler::registerScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vimbrel"));
    QApplication::setOrganizationName(QStringLiteral("ulvo"));
    // The installed menu entry's id: Wayland links the windows to it (name, icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vimbrel.Vimbrel"));
    QApplication::setWindowIcon(programIcon());
    installQtTranslation(app);
    // Before the first view: the engine reads its language once, at its start.
    InterfaceLanguage::apply();
    InterfaceLanguage::applyTo(QWebEngineProfile::defaultProfile());
    // Ended from outside (kill, Ctrl+C, logout): close as the window's close button does.
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &app, [] {
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });

    IniSettings settings;
    QtDialogs dialogs;
    DesktopShell shell;
    QtScreenGrabber grabber;
    const std::unique_ptr<FolderVerb> folderVerb = FolderVerb::forThisDesktop();
    MainServices services;
    services.folderVerb = folderVerb.get();
    services.grabber = &grabber;
    services.settings = &settings;
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.makeView = [](QWidget *parent) {
        // The page of a folder's pictures shows them as files when previews are off.
        auto *view = new WebEngineBrowserView(parent);
        view->showLocalPictures();
        return view;
    };
    services.pageFile = PageFiles::path(QStringLiteral("Tpc.htm"));
    // VIMBREL_PREVIEWS=0 lets the view read the originals, as a baseline to measure against.
    std::unique_ptr<PreviewSchemeHandler> previews;
    if (PreviewSchemeHandler::enabledByEnvironment()) {
        previews = std::make_unique<PreviewSchemeHandler>();
        previews->install();
        services.previews = previews.get();
    }

    MainWindow window(services);
    dialogs.setParent(&window);
    shell.setParent(&window);

    // Search windows: any number, sharing one result list and preset rotation.
    SearchState searchState;
    SearchServices search;
    search.settings = &settings;
    search.dialogs = &dialogs;
    search.shell = &shell;
    search.grabber = &grabber;
    search.makeView = [](QWidget *parent) { return new WebEngineBrowserView(parent); };
    search.makeResultsView = [](QWidget *parent) {
        auto *view = new WebEngineBrowserView(parent);
        view->showOnlyPictures();
        return view;
    };
    search.icon = toolIcon;
    search.resultsPageFile = PageFiles::path(QStringLiteral("Baidu.htm"));
    search.state = &searchState;
    // The saving run asks for a page's pictures with the views' own cookies and user agent.
    WebEngineCookies cookies(QWebEngineProfile::defaultProfile());
    search.cookiesFor = [&cookies](const QUrl &url) { return cookies.cookiesFor(url); };
    search.userAgent = [&cookies] { return cookies.userAgent(); };
    SearchWindows searchWindows(search, &window);
    QObject::connect(&window, &MainWindow::searchWindowRequested, &searchWindows,
                     &SearchWindows::open);
    // "查看" after a saving run: the main window lists the folder and comes to the front, the
    // keys going to its focus box.
    QObject::connect(&searchState, &SearchState::folderToShow, &window,
                     [&window](const QString &path) {
                         window.showFolder(path);
                         if (window.isMinimized())
                             window.showNormal();
                         window.raise();
                         window.activateWindow();
                         if (auto *cmb = window.findChild<QWidget *>(QStringLiteral("Cmb")))
                             cmb->setFocus();
                     });

    // The one detail window of the search windows' pictures; owned by their shared state.
    DetailServices detail;
    detail.dialogs = &dialogs;
    detail.shell = &shell;
    detail.makeView = [](QWidget *parent) {
        auto *view = new WebEngineBrowserView(parent);
        view->showOnlyPictures();
        return view;
    };
    detail.makeDownload = [](BrowserView *view, QObject *parent) {
        return new WebEnginePictureDownload(view, parent);
    };
    detail.pageFile = PageFiles::path(QStringLiteral("img.htm"));
    new DetailWindowKeeper(detail, &searchState, &window);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window.resize(std::min(area.width(), std::max(window.width(), area.width() * 5 / 6)),
                      std::min(area.height(), std::max(window.height(), area.height() * 5 / 6)));
        // A second instance steps aside rather than opening exactly over the first.
        window.move(StartUp::windowPlace(area, window.size(), PageFiles::instanceNumber()));
    }
    WindowFit::fitOnScreen(window); // its frame as well
    window.show();
    window.formLoad(commandLine());
    return app.exec();
}
