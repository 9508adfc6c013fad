#pragma once

#include <QWidget>

#include <array>
#include <memory>
#include <optional>

#include "app/mainactions.h"
#include "app/mainlayout.h"
#include "app/mainservices.h"
#include "windowkit/busycursor.h"

class QLabel;

namespace vimbrel {

class FocusSink;
class FolderPane;
class Gallery;
class MainTools;
class TreeSearchJob;
class ViewControls;

// The main window: tool row, folder pane with splitter, the browser view with the thumbnail
// pages, and the status line. Wiring only: the commands are its action table's, the pages
// Gallery's, the tools MainTools', the view's controls ViewControls', the pane FolderPane's.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(MainServices services, QWidget *parent = nullptr);
    ~MainWindow() override;

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
    void changePageSize();

private:
    void wireActions();
    void applyLayout();
    void tellPageNotWritten();
    void setLabel(int index, const QString &text);
    [[nodiscard]] double dpi() const;

    MainServices m_services;
    Gallery *m_gallery = nullptr;
    MainActions *m_actions = nullptr;
    MainMenus m_menus;
    MainTools *m_tools = nullptr;
    FolderPane *m_pane = nullptr;
    MainLayout m_layout;
    BrowserView *m_web = nullptr;
    std::array<QLabel *, 7> m_labels{};
    ViewControls *m_controls = nullptr;
    FocusSink *m_cmb = nullptr;
    std::unique_ptr<TreeSearchJob> m_search;
    std::optional<BusyCursor> m_busy;
    QString m_folderPath;
    bool m_closing = false;
    bool m_toldPageNotWritten = false;
};

} // namespace vimbrel
