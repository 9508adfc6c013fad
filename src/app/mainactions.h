#pragma once

#include "windowkit/actiontable.h"

class QMenu;
class QWidget;

namespace vimbrel {

// The main window's commands: the tool row's first, in the row's order
// (MainLayout::ButtonLefts), then those only the menus offer.
enum class MainCommand {
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

using MainActions = Actions<MainCommand>;

// The tool row shows the actions as buttons; the menus hold the same action where a command
// appears twice (OpenPageFolder is also "查看圖片路徑", CaptureScreen "全屏幕拍照", Refresh
// "頁面刷新"), so text, tooltip, icon and enabled state are set in one place.
[[nodiscard]] MainActions *makeMainActions(QWidget *window);

struct MainMenus
{
    QMenu *tools = nullptr;
    QMenu *help = nullptr;
};

[[nodiscard]] MainMenus makeMainMenus(const MainActions &actions, QWidget *window);

} // namespace vimbrel
