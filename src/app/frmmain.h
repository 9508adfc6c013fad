#pragma once

#include "gallery/gallery.h"
#include "app/mainlayout.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QAbstractButton;
class QFileSystemModel;
class QFrame;
class QLabel;
class QMenu;
class QAction;
class QToolButton;
class QTreeView;

namespace vimbrel {

class BrowserView;
class Dialogs;
class FocusSink;
class FolderVerb;
class ScreenGrabber;
class ViewControls;
class WheelFilter;
class Settings;
class Shell;
class TreeSearchJob;
class DriveList;

// What the main window needs from outside; main() passes the real ones, tests the fakes.
struct MainServices
{
    Settings *settings = nullptr;
    Dialogs *dialogs = nullptr;
    Shell *shell = nullptr;
    std::function<BrowserView *(QWidget *parent)> makeView;
    FolderVerb *folderVerb = nullptr;     // the entry in the file manager's folder menu
    ScreenGrabber *grabber = nullptr;     // the screen capture's source
    QString pageFile;                     // where the thumbnail page is written
    ThumbnailPage::WidthFunction widthOf; // empty: read widths from the picture files
};

// The main window: tool row, folder pane with splitter, the browser view with the thumbnail
// pages, and the status line. Handlers carry the names of their controls.
class Frmmain : public QWidget
{
    Q_OBJECT
public:
    enum ButtonId {
        Command1,
        Command5,
        Command6,
        CmdPage0,
        CmdPage1,
        BigP0,
        BigP1,
        MoveUp0,
        MoveUp1,
        ImgComb,
        Command7,
        Command10,
        ChkFace,
        Command8,
        Command4,
        Command3,
        Command2,
        Command9
    };

    explicit Frmmain(MainServices services, QWidget *parent = nullptr);
    ~Frmmain() override;

    // Start-up with the whole command-line text.
    void formLoad(const QString &commandLine);

    // The folder list's path; a change runs the listing. false when the path is no folder.
    bool setFolderPath(const QString &path);
    [[nodiscard]] const QString &folderPath() const { return m_folderPath; }
    void dir1Change();
    void drive1Change(int index);
    void command5Click();
    void cmdPageClick(int index);
    void toolJumpClick();
    void command2Click();
    void command7Click();
    void command10Click();
    void chkFaceClick(bool shown);
    void toolSetupClick();
    void lawMouseMove(int buttons, int xTwips);
    void lawMouseUp();
    void openThumbnail(const QUrl &address);

    // Browser view controls.
    void imgCombClick();
    void command9Click();
    void folderClick(bool checked);

    // Tools and help commands.
    void command1Click();
    void toolSeePathClick();
    void toolSaveListClick();
    void toolsDrawClick();
    void toolPcClick();
    void toolDefautClick();
    void helpEmailClick();
    void helpHomeClick();
    void helpAboutClick();

    [[nodiscard]] Gallery &gallery() { return m_gallery; }
    [[nodiscard]] BrowserView *web() const { return m_web; }
    [[nodiscard]] QLabel *lab(int index) const { return m_labels[std::size_t(index)]; }
    [[nodiscard]] QToolButton *button(ButtonId id) const { return m_buttons[std::size_t(id)]; }
    [[nodiscard]] const MainLayout &layoutTwips() const { return m_layout; }
    [[nodiscard]] QMenu *toolsMenu() const { return m_toolsMenu; }
    [[nodiscard]] QMenu *helpMenu() const { return m_helpMenu; }
    [[nodiscard]] ViewControls *controls() const { return m_controls; }
    [[nodiscard]] FocusSink *focusSink() const { return m_cmb; }
    [[nodiscard]] WheelFilter *wheelFilter() const { return m_wheel; }
    [[nodiscard]] bool treeSearchRunning() const;
    [[nodiscard]] int viewWidthTwips() const;

Q_SIGNALS:
    void treeSearchFinished();
    // Command6: the user wants a new search window.
    void searchWindowRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolRow();
    void buildPane();
    void buildMenus();
    void applyLayout();
    void showBuiltPage();
    void searchProgress(const QString &folder, int count);
    void searchFinished();
    void setLabel(int index, const QString &text);
    [[nodiscard]] double dpi() const;

    MainServices m_services;
    Gallery m_gallery;
    MainLayout m_layout;
    BrowserView *m_web = nullptr;
    std::array<QToolButton *, MainLayout::ButtonCount> m_buttons{};
    std::array<QLabel *, 7> m_labels{};
    DriveList *m_drive = nullptr;
    QTreeView *m_folders = nullptr;
    QFileSystemModel *m_folderModel = nullptr;
    QFrame *m_bar = nullptr;
    QMenu *m_toolsMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_folderVerb = nullptr;
    ViewControls *m_controls = nullptr;
    FocusSink *m_cmb = nullptr;
    WheelFilter *m_wheel = nullptr;
    std::unique_ptr<TreeSearchJob> m_search;
    QString m_folderPath;
    bool m_listingRan = false;
    bool m_busyCursor = false;
    bool m_closing = false;
};

} // namespace vimbrel
