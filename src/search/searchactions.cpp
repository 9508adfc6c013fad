#include "search/searchactions.h"

#include <QAction>
#include <QActionGroup>
#include <QWidget>

namespace vimbrel {

namespace {

using C = SearchCommand;
using P = SearchControl;

// clang-format off
constexpr ActionRow Rows[] = {
    {int(C::ShowPage),         "Opt0",      "圖片網頁",     nullptr, "text-html",       "網",
     {}, Checkable | Checked | LitWhenChecked},
    {int(C::ShowResults),      "Opt1",      "提取網頁圖片", nullptr, "image-x-generic", "圖",
     {Qt::CTRL | Qt::Key_E}, Checkable | LitWhenChecked},
    // Back and forward wait for the page's history.
    {int(C::Back),             "CmdPage0",  "後退",         nullptr, "go-previous",     "◀",
     {Qt::ALT | Qt::Key_Left}, Disabled},
    {int(C::Forward),          "CmdPage1",  "前進",         nullptr, "go-next",         "▶",
     {Qt::ALT | Qt::Key_Right}, Disabled},
    {int(C::SavePagePictures), "Command1",  "下載保存圖片", nullptr, "document-save",   "存"},
    {int(C::Refresh),          "Command2",  "頁面刷新",     nullptr, "view-refresh",    "⟳",
     {Qt::Key_F5}},
    {int(C::Home),             "Command5",  "百度首頁",     nullptr, "go-home",         "首"},
    {int(C::ZoomIn),           "BigP0",     "圖像放大",     nullptr, "zoom-in",         "+"},
    {int(C::ZoomOut),          "BigP1",     "圖像縮小",     nullptr, "zoom-out",        "−"},
    {int(C::ScrollUp),         "MoveUp0",   "至頁面頂部",   nullptr, "go-top",          "▲",
     {}, LitWhenChecked},
    {int(C::ScrollDown),       "MoveUp1",   "至頁面底部",   nullptr, "go-bottom",       "▼",
     {}, LitWhenChecked},
    {int(C::NextBackground),   "ImgComb",   "圖像背景顏色", nullptr, "color-fill",      "色"},
    {int(C::NextMatrixMode),   "Command7",  "圖像矩形方陣 X4", nullptr, "view-grid",    "田"},
    {int(C::ToggleWidth),      "Command10", "屏幕拉伸 / 寬度相等 / 原始大小", nullptr,
     "zoom-fit-best", "↔"},
    {int(C::CaptureScreen),    "Command9",  "截圖另存為",   nullptr, "camera-photo",    "攝"},
    {int(C::GoToAddress),      "CmdGo",     "轉到",         nullptr, "go-jump",         "→"},
    {int(C::SearchKeywords),   "CmdSearch", "搜索(&S)",     "百度搜索", nullptr,        nullptr,
     {Qt::ALT | Qt::Key_S}, KeyNotInTooltip},
    {int(C::ToAddress),        "ToTextUrl", "TextUrl",      nullptr, nullptr,           nullptr,
     {Qt::CTRL | Qt::Key_L}, NoButton},
};
// clang-format on
static_assert(std::size(Rows) == std::size_t(C::Count) && inIdOrder(Rows));

// In the order of the commands.
constexpr SearchControl Places[] = {
    P::Opt0,     P::Opt1,      P::CmdPage0, P::CmdPage1, P::Command1,  P::Command2,
    P::Command5, P::BigP0,     P::BigP1,    P::MoveUp0,  P::MoveUp1,   P::ImgComb,
    P::Command7, P::Command10, P::Command9, P::CmdGo,    P::CmdSearch,
};
static_assert(std::size(Places) == std::size_t(C::ToAddress), "every button has its place");

} // namespace

SearchControl placeOf(SearchCommand command)
{
    return Places[std::size_t(command)];
}

SearchActions *makeSearchActions(QWidget *window, const ActionTableOptions &options)
{
    auto *actions = new SearchActions(window, Rows, options);
    auto *pair = new QActionGroup(actions);
    pair->setExclusive(true);
    pair->addAction((*actions)[C::ShowPage]);
    pair->addAction((*actions)[C::ShowResults]);
    return actions;
}

} // namespace vimbrel
