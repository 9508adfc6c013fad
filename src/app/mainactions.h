#pragma once

#include "app/mainlayout.h"

#include <QObject>

#include <array>

class QAction;
class QMenu;
class QToolButton;
class QWidget;

namespace vimbrel {

// The main window's commands, one QAction each, named after the control that offers it (the
// object name, e.g. "Command8"). The tool row's buttons show these actions, and the menus hold
// the same action where a command appears twice (OpenPageFolder is also "查看圖片路徑",
// CaptureScreen "全屏幕拍照", Refresh "頁面刷新"), so text, tooltip, icon and enabled state are
// set in one place. The window only connects them.
class MainActions : public QObject
{
    Q_OBJECT
public:
    // The tool row's commands first, in the row's order (MainLayout::ButtonLefts), then the
    // commands only the menus offer.
    enum Id {
        OpenPicture,
        SearchTree,
        OpenSearchWindow,
        PreviousPage,
        NextPage,
        ZoomIn,
        ZoomOut,
        ScrollUp,
        ScrollDown,
        NextBackground,
        NextMatrixMode,
        NextFit,
        ToggleFolderPane,
        OpenPageFolder,
        ToolsMenu,
        HelpMenu,
        Refresh,
        CaptureScreen,
        ExportList,
        JumpToPage,
        DrawingProgram,
        OpenComputer,
        OtherViewer,
        FolderVerb,
        PageSize,
        MailAuthor,
        HomePage,
        About,
        Count
    };

    explicit MainActions(QWidget *window);

    [[nodiscard]] QAction *operator[](Id id) const { return m_actions[std::size_t(id)]; }
    // One button per tool-row action, children of the window, in the row's order.
    [[nodiscard]] const std::array<QToolButton *, MainLayout::ButtonCount> &toolRow() const
    {
        return m_buttons;
    }
    [[nodiscard]] QMenu *toolsMenu() const { return m_toolsMenu; }
    [[nodiscard]] QMenu *helpMenu() const { return m_helpMenu; }

private:
    void buildToolRow(QWidget *window);
    void buildMenus(QWidget *window);
    void setKeys(QWidget *window);

    std::array<QAction *, Count> m_actions{};
    std::array<QToolButton *, MainLayout::ButtonCount> m_buttons{};
    QMenu *m_toolsMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
};

} // namespace vimbrel
