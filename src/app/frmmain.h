#pragma once

#include "app/mainlayout.h"
#include "gallery/thumbnailpage.h"
#include "view/busycursor.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QFileSystemModel;
class QFrame;
class QLabel;
class QTreeView;

namespace vimbrel {

class BrowserView;
class Dialogs;
class DriveList;
class FocusSink;
class Gallery;
class MainActions;
class Registry;
class ScreenGrabber;
class Settings;
class Shell;
class TreeSearchJob;
class ViewControls;

// What the main window needs from outside; main() passes the real ones, tests the fakes.
struct MainServices
{
    Settings *settings = nullptr;
    Dialogs *dialogs = nullptr;
    Shell *shell = nullptr;
    std::function<BrowserView *(QWidget *parent)> makeView;
    Registry *registry = nullptr;         // the folder verb's store
    ScreenGrabber *grabber = nullptr;     // the screen capture's source
    QString pageFile;                     // where the thumbnail page is written; empty when
                                          // the cache folder was refused
    ThumbnailPage::WidthFunction widthOf; // empty: read widths from the picture files
};

// The main window: tool row, folder pane with splitter, the browser view with the thumbnail
// pages, and the status line. Wiring only: the commands are MainActions, the pages Gallery's,
// the view's controls ViewControls', the launches and prompts the seams'.
class Frmmain : public QWidget
{
    Q_OBJECT
public:
    explicit Frmmain(MainServices services, QWidget *parent = nullptr);
    ~Frmmain() override;

    // Start-up with the command line, its quotes already removed (StartUp::commandLineFolder).
    void formLoad(const QString &commandLine);
    // Lists the folder, shows its first page and points the folder pane at it; false (and
    // nothing changes) when the path is no folder.
    bool showFolder(const QString &path);

Q_SIGNALS:
    void treeSearchFinished();
    // "圖片成批下載": the program opens a new search window.
    void searchWindowRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void showBuiltPage();
    void openPicture();
    void searchTree();
    void searchProgress(const QString &folder, int count);
    void searchFinished();
    void changeBackground();
    void showPane(bool shown);
    void chooseFolder(const QString &path);
    void chooseDrive(int index);
    void openThumbnail(const QUrl &address);
    void openPageFolder();
    void exportList();
    void captureScreen();
    void jumpToPage();
    void startDrawingProgram();
    void openComputer();
    void openInOtherViewer();
    void mailAuthor();
    void openHomePage();
    void showAbout();
    void toggleFolderVerb(bool checked);
    void changePageSize();

private:
    void wireActions();
    void buildPane();
    void createFolderModel();
    void applyLayout();
    void launch(const QString &target);
    void setLabel(int index, const QString &text);
    [[nodiscard]] double dpi() const;

    MainServices m_services;
    Gallery *m_gallery = nullptr;
    MainActions *m_actions = nullptr;
    MainLayout m_layout;
    BrowserView *m_web = nullptr;
    std::array<QLabel *, 7> m_labels{};
    DriveList *m_drive = nullptr;
    QTreeView *m_folders = nullptr;
    QFileSystemModel *m_folderModel = nullptr; // made when the pane is first shown
    QFrame *m_bar = nullptr;
    ViewControls *m_controls = nullptr;
    FocusSink *m_cmb = nullptr;
    std::unique_ptr<TreeSearchJob> m_search;
    std::optional<BusyCursor> m_busy;
    QString m_folderPath;
    bool m_closing = false;
    bool m_toldPageNotWritten = false;
};

} // namespace vimbrel
