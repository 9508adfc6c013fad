#include "app/mainactions.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "app/mainlayout.h"
#include "app/toolicons.h"

namespace vimbrel {

namespace {

using C = MainCommand;
constexpr auto Ctrl = Qt::CTRL;

// clang-format off
constexpr ActionRow Rows[] = {
    {int(C::OpenPicture),      "Command1",  "開啟圖片",       nullptr, "document-open", "開"},
    {int(C::SearchTree),       "Command5",  "搜尋圖片資料夾", nullptr, "system-search", "搜"},
    {int(C::OpenSearchWindow), "Command6",  "圖片成批下載",   nullptr, "download",      "下"},
    {int(C::PreviousPage),     "CmdPage0",  "往前翻頁",       nullptr, "go-previous",   "◀",
     {Ctrl | Qt::Key_PageUp}, Disabled},
    {int(C::NextPage),         "CmdPage1",  "往後翻頁",       nullptr, "go-next",       "▶",
     {Ctrl | Qt::Key_PageDown}, Disabled},
    // Ctrl+= too: on most layouts "+" needs Shift.
    {int(C::ZoomIn),           "BigP0",     "圖像放大",       nullptr, "zoom-in",       "+",
     {Ctrl | Qt::Key_Plus, Ctrl | Qt::Key_Equal}},
    {int(C::ZoomOut),          "BigP1",     "圖像縮小",       nullptr, "zoom-out",      "−",
     {Ctrl | Qt::Key_Minus}},
    {int(C::ScrollUp),         "MoveUp0",   "至頁面頂部",     nullptr, "go-top",        "▲",
     {}, Checkable | LitWhenChecked},
    {int(C::ScrollDown),       "MoveUp1",   "至頁面底部",     nullptr, "go-bottom",     "▼",
     {}, Checkable | LitWhenChecked},
    {int(C::NextBackground),   "ImgComb",   "切換圖像背景",   nullptr, "color-fill",    "色"},
    {int(C::NextMatrixMode),   "Command7",  "切換圖像方陣 X4", nullptr, "view-grid",    "田"},
    {int(C::NextFit),          "Command10", "居中 / 拉伸 / 平鋪", nullptr, "zoom-fit-best", "↔"},
    {int(C::ToggleFolderPane), "ChkFace",   "顯示 / 隱藏資料夾列表", nullptr, "view-sidebar", "夾",
     {}, Checkable},
    {int(C::OpenPageFolder),   "Command8",  "查看圖片路徑", "查看文件路徑", "folder-open",  "路"},
    {int(C::ToolsMenu),        "Command4",  "系統工具",       nullptr, "preferences-system", "工"},
    {int(C::HelpMenu),         "Command3",  "聯繫軟件作者",   nullptr, "help-contents", "?"},
    {int(C::Refresh),          "Command2",  "頁面刷新",     "刷新圖像", "view-refresh",  "⟳",
     {Qt::Key_F5}},
    {int(C::CaptureScreen),    "Command9",  "全屏幕拍照",   "截圖另存為", "camera-photo", "攝"},
    // Offered by the menus only.
    {int(C::ExportList),     "ToolSaveList", "導出文件列表",     nullptr, nullptr, nullptr, {}, NoButton},
    {int(C::JumpToPage),     "ToolJump",     "跳轉頁面至…",      nullptr, nullptr, nullptr, {}, NoButton},
    {int(C::DrawingProgram), "ToolsDraw",    "畫圖工具",         nullptr, nullptr, nullptr, {}, NoButton},
    {int(C::OpenComputer),   "ToolPC",       "我的電腦",         nullptr, nullptr, nullptr, {}, NoButton},
    {int(C::OtherViewer),    "ToolDefaut",   "其它看圖軟件",     nullptr, nullptr, nullptr, {}, NoButton},
    {int(C::FolderVerb),     "Folder",       "駐在文件夾菜單上", nullptr, nullptr, nullptr, {},
     NoButton | Checkable | Checked},
    {int(C::PageSize),       "ToolSetup",    "系統設置(&S)",     nullptr, nullptr, nullptr, {}, NoButton},
    {int(C::MailAuthor),     "HelpEmail",    "聯繫作者",         nullptr, nullptr, nullptr, {}, NoButton},
    {int(C::HomePage),       "HelpHome",     "官方網站",         nullptr, nullptr, nullptr, {}, NoButton},
    {int(C::About),          "HelpAbout",    "關於",             nullptr, nullptr, nullptr, {}, NoButton},
};
// clang-format on
static_assert(std::size(Rows) == std::size_t(C::Count) && inIdOrder(Rows));
static_assert(int(C::CaptureScreen) + 1 == MainLayout::ButtonCount,
              "the tool row's buttons are the table's first rows");

} // namespace

MainActions *makeMainActions(QWidget *window)
{
    return new MainActions(window, Rows, {.icon = toolIcon});
}

MainMenus makeMainMenus(const MainActions &actions, QWidget *window)
{
    auto inert = [](QMenu *menu, const char *name, const QString &caption) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setEnabled(false);
    };
    auto separator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    MainMenus menus;
    menus.help = new QMenu(QStringLiteral("幫助(&H)"), window);
    menus.help->setObjectName(QStringLiteral("HelpM"));
    inert(menus.help, "HelpMe", QStringLiteral("使用幫助"));
    separator(menus.help, "HelpBar1");
    menus.help->addAction(actions[C::MailAuthor]);
    menus.help->addAction(actions[C::HomePage]);
    separator(menus.help, "HelpBar2");
    menus.help->addAction(actions[C::About]);

    menus.tools = new QMenu(QStringLiteral("實用工具(&T)"), window);
    menus.tools->setObjectName(QStringLiteral("MyTools"));
    menus.tools->addAction(actions[C::OpenPageFolder]);
    menus.tools->addAction(actions[C::ExportList]);
    menus.tools->addAction(actions[C::CaptureScreen]);
    separator(menus.tools, "Toolbar3");
    menus.tools->addAction(actions[C::JumpToPage]);
    menus.tools->addAction(actions[C::Refresh]);
    menus.tools->addAction(actions[C::DrawingProgram]);
    separator(menus.tools, "ToolBar1");
    menus.tools->addAction(actions[C::OpenComputer]);
    // Kept in its place in the menu, but there is no such browser here: it stays inert.
    inert(menus.tools, "ToolIE", QStringLiteral("IE瀏覽器"));
    menus.tools->addAction(actions[C::OtherViewer]);
    separator(menus.tools, "ToolBar2");
    menus.tools->addAction(actions[C::FolderVerb]);
    menus.tools->addAction(actions[C::PageSize]);
    return menus;
}

} // namespace vimbrel
