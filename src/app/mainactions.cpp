#include "app/mainactions.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QWidget>

#include "app/toolicons.h"
#include "windowkit/actionkeys.h"

namespace vimbrel {

namespace {

struct ActionSpec
{
    const char *name;
    const char *text;    // the menu caption, or the tooltip of a tool-row-only command
    const char *tooltip; // nullptr: the text
    const char *theme;   // nullptr: no icon
    const char *glyph;
};

// In the order of MainActions::Id.
const ActionSpec specs[MainActions::Count] = {
    {"Command1", "開啟圖片", nullptr, "document-open", "開"},
    {"Command5", "搜尋圖片資料夾", nullptr, "system-search", "搜"},
    {"Command6", "圖片成批下載", nullptr, "download", "下"},
    {"CmdPage0", "往前翻頁", nullptr, "go-previous", "◀"},
    {"CmdPage1", "往後翻頁", nullptr, "go-next", "▶"},
    {"BigP0", "圖像放大", nullptr, "zoom-in", "+"},
    {"BigP1", "圖像縮小", nullptr, "zoom-out", "−"},
    {"MoveUp0", "至頁面頂部", nullptr, "go-top", "▲"},
    {"MoveUp1", "至頁面底部", nullptr, "go-bottom", "▼"},
    {"ImgComb", "切換圖像背景", nullptr, "color-fill", "色"},
    {"Command7", "切換圖像方陣 X4", nullptr, "view-grid", "田"},
    {"Command10", "居中 / 拉伸 / 平鋪", nullptr, "zoom-fit-best", "↔"},
    {"ChkFace", "顯示 / 隱藏資料夾列表", nullptr, "view-sidebar", "夾"},
    {"Command8", "查看圖片路徑", "查看文件路徑", "folder-open", "路"},
    {"Command4", "系統工具", nullptr, "preferences-system", "工"},
    {"Command3", "聯繫軟件作者", nullptr, "help-contents", "?"},
    {"Command2", "頁面刷新", "刷新圖像", "view-refresh", "⟳"},
    {"Command9", "全屏幕拍照", "截圖另存為", "camera-photo", "攝"},
    {"ToolSaveList", "導出文件列表", nullptr, nullptr, nullptr},
    {"ToolJump", "跳轉頁面至…", nullptr, nullptr, nullptr},
    {"ToolsDraw", "畫圖工具", nullptr, nullptr, nullptr},
    {"ToolPC", "我的電腦", nullptr, nullptr, nullptr},
    {"ToolDefaut", "其它看圖軟件", nullptr, nullptr, nullptr},
    {"Folder", "駐在文件夾菜單上", nullptr, nullptr, nullptr},
    {"ToolSetup", "系統設置(&S)", nullptr, nullptr, nullptr},
    {"HelpEmail", "聯繫作者", nullptr, nullptr, nullptr},
    {"HelpHome", "官方網站", nullptr, nullptr, nullptr},
    {"HelpAbout", "關於", nullptr, nullptr, nullptr},
};

} // namespace

MainActions::MainActions(QWidget *window) : QObject(window)
{
    for (int i = 0; i < Count; ++i) {
        const ActionSpec &row = specs[i];
        auto *action = new QAction(QString::fromUtf8(row.text), window);
        action->setObjectName(QString::fromLatin1(row.name));
        if (row.tooltip)
            action->setToolTip(QString::fromUtf8(row.tooltip));
        if (row.theme) {
            action->setIcon(
                toolIcon(QString::fromLatin1(row.theme), QString::fromUtf8(row.glyph)));
            // The menus have always been plain text.
            action->setIconVisibleInMenu(false);
        }
        m_actions[std::size_t(i)] = action;
    }
    for (Id checkable : {ToggleFolderPane, ScrollUp, ScrollDown, FolderVerb})
        (*this)[checkable]->setCheckable(true);
    (*this)[FolderVerb]->setChecked(true);
    (*this)[PreviousPage]->setEnabled(false);
    (*this)[NextPage]->setEnabled(false);

    buildToolRow(window);
    buildMenus(window);
    setKeys(window);
}

void MainActions::setKeys(QWidget *window)
{
    setActionKeys((*this)[PreviousPage], window, {QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    setActionKeys((*this)[NextPage], window, {QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
    setActionKeys((*this)[Refresh], window, {QKeySequence(Qt::Key_F5)});
    // Ctrl+= too: on most layouts "+" needs Shift.
    setActionKeys((*this)[ZoomIn], window,
                  {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    setActionKeys((*this)[ZoomOut], window, {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
}

void MainActions::buildToolRow(QWidget *window)
{
    for (int i = 0; i < MainLayout::ButtonCount; ++i) {
        auto *button = new QToolButton(window);
        QAction *action = m_actions[std::size_t(i)];
        button->setObjectName(action->objectName());
        button->setDefaultAction(action);
        button->setAutoRaise(false);
        button->setFocusPolicy(Qt::NoFocus);
        m_buttons[std::size_t(i)] = button;
    }
    // A running timed scroll shows on its button as a yellow face.
    for (Id id : {ScrollUp, ScrollDown})
        m_buttons[std::size_t(id)]->setStyleSheet(
            QStringLiteral("QToolButton:checked { background-color: rgb(255, 255, 0); }"));
}

void MainActions::buildMenus(QWidget *window)
{
    auto inert = [](QMenu *menu, const char *name, const QString &caption) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setEnabled(false);
    };
    auto separator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    m_helpMenu = new QMenu(QStringLiteral("幫助(&H)"), window);
    m_helpMenu->setObjectName(QStringLiteral("HelpM"));
    inert(m_helpMenu, "HelpMe", QStringLiteral("使用幫助"));
    separator(m_helpMenu, "HelpBar1");
    m_helpMenu->addAction((*this)[MailAuthor]);
    m_helpMenu->addAction((*this)[HomePage]);
    separator(m_helpMenu, "HelpBar2");
    m_helpMenu->addAction((*this)[About]);

    m_toolsMenu = new QMenu(QStringLiteral("實用工具(&T)"), window);
    m_toolsMenu->setObjectName(QStringLiteral("MyTools"));
    m_toolsMenu->addAction((*this)[OpenPageFolder]);
    m_toolsMenu->addAction((*this)[ExportList]);
    m_toolsMenu->addAction((*this)[CaptureScreen]);
    separator(m_toolsMenu, "Toolbar3");
    m_toolsMenu->addAction((*this)[JumpToPage]);
    m_toolsMenu->addAction((*this)[Refresh]);
    m_toolsMenu->addAction((*this)[DrawingProgram]);
    separator(m_toolsMenu, "ToolBar1");
    m_toolsMenu->addAction((*this)[OpenComputer]);
    // Kept in its place in the menu, but there is no such browser here: it stays inert.
    inert(m_toolsMenu, "ToolIE", QStringLiteral("IE瀏覽器"));
    m_toolsMenu->addAction((*this)[OtherViewer]);
    separator(m_toolsMenu, "ToolBar2");
    m_toolsMenu->addAction((*this)[FolderVerb]);
    m_toolsMenu->addAction((*this)[PageSize]);
}

} // namespace vimbrel
