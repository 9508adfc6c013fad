#include "windowkit/actiontable.h"

#include <QAction>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace vimbrel {

namespace {

enum class Command { Plain, Keyed, Quiet, Lit, MenuOnly, Count };

constexpr ActionRow Rows[] = {
    {int(Command::Plain), "Plain", "平(&P)"},
    {int(Command::Keyed),
     "Keyed",
     "鍵(&K)",
     "鍵",
     nullptr,
     nullptr,
     {Qt::Key_F5, Qt::Key_F6},
     Disabled},
    {int(Command::Quiet),
     "Quiet",
     "靜",
     nullptr,
     nullptr,
     nullptr,
     {Qt::ALT | Qt::Key_Q},
     KeyNotInTooltip},
    {int(Command::Lit),
     "Lit",
     "亮",
     nullptr,
     "go-top",
     "▲",
     {},
     Checkable | Checked | LitWhenChecked},
    {int(Command::MenuOnly), "MenuOnly", "單", nullptr, nullptr, nullptr, {}, NoButton},
};
static_assert(inIdOrder(Rows));
constexpr ActionRow OutOfOrder[] = {{1, "B", "b"}, {0, "A", "a"}};
static_assert(!inIdOrder(OutOfOrder));

} // namespace

// What each column and flag of a row makes of its action and button, for both kinds of button.
TEST(ActionTable, EachRowMakesItsActionAndButton)
{
    QWidget window;
    const QIcon drawn = [] {
        QPixmap pixmap(8, 8);
        pixmap.fill(Qt::red);
        return QIcon(pixmap);
    }();
    const Actions<Command> tools(&window, Rows,
                                 {.buttonSuffix = QStringLiteral("Button"),
                                  .icon = [&](const QString &, const QString &) { return drawn; }});

    EXPECT_EQ(tools[Command::Plain]->objectName(), QStringLiteral("Plain"));
    EXPECT_EQ(tools[Command::Plain]->toolTip(), QStringLiteral("平(P)"));
    EXPECT_EQ(tools[Command::Keyed]->toolTip(), QStringLiteral("鍵 (F5)"));
    EXPECT_EQ(tools[Command::Keyed]->shortcuts().size(), 2);
    EXPECT_FALSE(tools[Command::Keyed]->isEnabled());
    EXPECT_EQ(tools[Command::Quiet]->toolTip(), QStringLiteral("靜"));
    EXPECT_EQ(tools[Command::Quiet]->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Q));
    // Keys work anywhere in the window, also where no button shows the action.
    for (Command keyed : {Command::Keyed, Command::Quiet})
        EXPECT_TRUE(window.actions().contains(tools[keyed]));
    EXPECT_TRUE(tools[Command::Lit]->isChecked());
    EXPECT_FALSE(tools[Command::Lit]->isIconVisibleInMenu());
    EXPECT_EQ(tools.button(Command::MenuOnly), nullptr);

    auto *lit = qobject_cast<QToolButton *>(tools.button(Command::Lit));
    ASSERT_NE(lit, nullptr);
    EXPECT_EQ(lit->objectName(), QStringLiteral("LitButton"));
    EXPECT_EQ(lit->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_TRUE(lit->styleSheet().contains(QStringLiteral(":checked")));
    EXPECT_EQ(qobject_cast<QToolButton *>(tools.button(Command::Plain))->toolButtonStyle(),
              Qt::ToolButtonTextOnly);

    // Push buttons keep the access key, trigger the action and follow its enabled state.
    const Actions<Command> pushes(&window, Rows, {.buttons = ActionTableOptions::Buttons::Push});
    auto *keyed = qobject_cast<QPushButton *>(pushes.button(Command::Keyed));
    ASSERT_NE(keyed, nullptr);
    EXPECT_EQ(keyed->text(), QStringLiteral("鍵(&K)"));
    EXPECT_EQ(keyed->toolTip(), QStringLiteral("鍵 (F5)"));
    EXPECT_FALSE(keyed->isEnabled());
    pushes[Command::Keyed]->setEnabled(true);
    EXPECT_TRUE(keyed->isEnabled());
    int triggered = 0;
    QObject::connect(pushes[Command::Keyed], &QAction::triggered, [&] { ++triggered; });
    keyed->click();
    EXPECT_EQ(triggered, 1);
}

} // namespace vimbrel
