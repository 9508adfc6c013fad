#include "search/searchactions.h"

#include <QAction>
#include <QActionGroup>
#include <QToolButton>
#include <QWidget>

#include "windowkit/actionkeys.h"

namespace vimbrel {

namespace {

struct CommandSpec
{
    const char *name;
    const char *tooltip;
    const char *theme; // null: a button with text only
    const char *glyph;
    SearchControl place;
};

using C = SearchControl;

// In the order of SearchActions::Id.
const CommandSpec Commands[SearchActions::Count] = {
    {"Opt0", "圖片網頁", "text-html", "網", C::Opt0},
    {"Opt1", "提取網頁圖片", "image-x-generic", "圖", C::Opt1},
    {"CmdPage0", "後退", "go-previous", "◀", C::CmdPage0},
    {"CmdPage1", "前進", "go-next", "▶", C::CmdPage1},
    {"Command1", "下載保存圖片", "document-save", "存", C::Command1},
    {"Command2", "頁面刷新", "view-refresh", "⟳", C::Command2},
    {"Command5", "百度首頁", "go-home", "首", C::Command5},
    {"BigP0", "圖像放大", "zoom-in", "+", C::BigP0},
    {"BigP1", "圖像縮小", "zoom-out", "−", C::BigP1},
    {"MoveUp0", "至頁面頂部", "go-top", "▲", C::MoveUp0},
    {"MoveUp1", "至頁面底部", "go-bottom", "▼", C::MoveUp1},
    {"ImgComb", "圖像背景顏色", "color-fill", "色", C::ImgComb},
    {"Command7", "圖像矩形方陣 X4", "view-grid", "田", C::Command7},
    {"Command10", "屏幕拉伸 / 寬度相等 / 原始大小", "zoom-fit-best", "↔", C::Command10},
    {"Command9", "截圖另存為", "camera-photo", "攝", C::Command9},
    {"CmdGo", "轉到", "go-jump", "→", C::CmdGo},
    {"CmdSearch", "百度搜索", nullptr, "", C::CmdSearch},
};

const QString LitWhenChecked =
    QStringLiteral("QToolButton:checked { background-color: rgb(255, 255, 0); }");

} // namespace

SearchControl SearchActions::place(Id id)
{
    return Commands[id].place;
}

SearchActions::SearchActions(QWidget *window, const IconFunction &icon) : QObject(window)
{
    for (int i = 0; i < Count; ++i) {
        const CommandSpec &row = Commands[i];
        auto *action = new QAction(window);
        action->setObjectName(QString::fromLatin1(row.name));
        action->setText(QString::fromUtf8(row.tooltip));
        action->setToolTip(QString::fromUtf8(row.tooltip));
        if (row.theme && icon)
            action->setIcon(icon(QString::fromLatin1(row.theme), QString::fromUtf8(row.glyph)));
        auto *button = new QToolButton(window);
        button->setObjectName(QString::fromLatin1(row.name) + QStringLiteral("Button"));
        button->setDefaultAction(action);
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolButtonStyle(action->icon().isNull() ? Qt::ToolButtonTextOnly
                                                           : Qt::ToolButtonIconOnly);
        m_actions[std::size_t(i)] = action;
        m_buttons[std::size_t(i)] = button;
    }

    auto *options = new QActionGroup(this);
    options->setExclusive(true);
    // The timed scroll's pair is made checkable by the view controls, which keep its state.
    for (Id id : {ShowPage, ShowResults, ScrollUp, ScrollDown})
        button(id)->setStyleSheet(LitWhenChecked);
    (*this)[ShowPage]->setCheckable(true);
    (*this)[ShowResults]->setCheckable(true);
    options->addAction((*this)[ShowPage]);
    options->addAction((*this)[ShowResults]);
    (*this)[ShowPage]->setChecked(true);

    // Back and forward wait for the page's history.
    (*this)[Back]->setEnabled(false);
    (*this)[Forward]->setEnabled(false);

    QAction *search = (*this)[SearchKeywords];
    search->setText(QStringLiteral("搜索(&S)"));
    search->setShortcut(QKeySequence(Qt::ALT | Qt::Key_S));
    search->setShortcutContext(Qt::WindowShortcut);
    window->addAction(search);

    setActionKeys((*this)[Back], window, {QKeySequence(Qt::ALT | Qt::Key_Left)});
    setActionKeys((*this)[Forward], window, {QKeySequence(Qt::ALT | Qt::Key_Right)});
    setActionKeys((*this)[Refresh], window, {QKeySequence(Qt::Key_F5)});
    setActionKeys((*this)[ShowResults], window, {QKeySequence(Qt::CTRL | Qt::Key_E)});
    // The address box has no button of its own to carry a key.
    m_toAddress = new QAction(QStringLiteral("TextUrl"), window);
    m_toAddress->setObjectName(QStringLiteral("ToTextUrl"));
    setActionKeys(m_toAddress, window, {QKeySequence(Qt::CTRL | Qt::Key_L)});
}

} // namespace vimbrel
