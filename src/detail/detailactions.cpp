#include "detail/detailactions.h"

#include "detail/detaillayout.h"

namespace vimbrel {

namespace {

using C = DetailCommand;

// A push button shows the access key; a tooltip reads the caption without it.
// clang-format off
constexpr ActionRow Rows[] = {
    {int(C::Save),        "Cmd0", "保存(&S)",   "保存",   nullptr, nullptr, {Qt::CTRL | Qt::Key_S}},
    {int(C::Previous),    "Cmd1", "上一幅(&U)", "上一幅", nullptr, nullptr, {Qt::Key_Left}},
    {int(C::Next),        "Cmd2", "下一幅(&N)", "下一幅", nullptr, nullptr, {Qt::Key_Right}},
    {int(C::OpenAddress), "Cmd3", "網址(&H)"},
    {int(C::ZoomIn),      "Cmd4", "放大(&B)"},
    {int(C::ZoomOut),     "Cmd5", "縮小(&M)"},
    {int(C::CloseWindow), "CloseWindow", "Close", nullptr, nullptr, nullptr, {Qt::Key_Escape},
     NoButton},
};
// clang-format on
static_assert(std::size(Rows) == std::size_t(C::Count) && inIdOrder(Rows));
static_assert(int(C::CloseWindow) == DetailGeometry::ButtonCount, "a button for each place");

} // namespace

DetailActions *makeDetailActions(QWidget *window)
{
    return new DetailActions(
        window, Rows,
        {.buttons = ActionTableOptions::Buttons::Push, .buttonSuffix = QStringLiteral("Button")});
}

} // namespace vimbrel
