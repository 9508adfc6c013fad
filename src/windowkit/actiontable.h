#pragma once

#include <QIcon>
#include <QKeyCombination>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <span>
#include <vector>

class QAbstractButton;
class QAction;
class QWidget;

namespace vimbrel {

// What a command's action and button start as.
enum ActionFlag : unsigned {
    Checkable = 1u << 0,
    Checked = 1u << 1,
    Disabled = 1u << 2,
    LitWhenChecked = 1u << 3, // its button shows a yellow face while checked
    NoButton = 1u << 4,       // offered by a menu or a key only
    KeyNotInTooltip = 1u << 5,
};

// One command of a window: one row of its table, in the order of the window's command ids.
struct ActionRow
{
    int id;                        // the window's command id, which equals the row's index
    const char *name;              // object name: the control's own name, kept by layouts and tests
    const char *text;              // the caption of a menu entry or a text button
    const char *tooltip = nullptr; // nullptr: the caption
    const char *theme = nullptr;   // icon theme name; nullptr: no picture
    const char *glyph = nullptr;   // drawn where the theme has no such icon
    std::array<QKeyCombination, 2> keys{}; // work anywhere in the window; Qt::Key_unknown: none
    unsigned flags = 0;
};

// A table whose rows stand in the order of their ids; checked when the table is compiled.
[[nodiscard]] constexpr bool inIdOrder(std::span<const ActionRow> rows)
{
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].id != int(i))
            return false;
    }
    return true;
}

struct ActionTableOptions
{
    enum class Buttons {
        Tool, // an icon, or the caption where the row has none
        Push, // the caption with its access key, which a tool button would drop
    };
    Buttons buttons = Buttons::Tool;
    QString buttonSuffix{}; // a button's object name is the action's name and this
    // The buttons' pictures (theme name, fallback glyph); empty: no pictures.
    std::function<QIcon(const QString &theme, const QString &glyph)> icon{};
};

// A window's commands, one QAction each, made from its table: object name, caption, tooltip,
// picture, keys (through setActionKeys) and first state are set in one place, and each row
// that has one gets a button, a child of the window, that triggers the action and follows its
// enabled state. The window only connects the actions and places the buttons.
class ActionTable : public QObject
{
    Q_OBJECT
public:
    ActionTable(QWidget *window, std::span<const ActionRow> rows,
                const ActionTableOptions &options);

    [[nodiscard]] QAction *action(int id) const { return m_actions[std::size_t(id)]; }
    // nullptr for a row without a button.
    [[nodiscard]] QAbstractButton *button(int id) const { return m_buttons[std::size_t(id)]; }

private:
    std::vector<QAction *> m_actions;
    std::vector<QAbstractButton *> m_buttons;
};

// The table indexed by the window's own command ids.
template <typename Id> class Actions : public ActionTable
{
public:
    using ActionTable::ActionTable;
    [[nodiscard]] QAction *operator[](Id id) const { return action(int(id)); }
    [[nodiscard]] QAbstractButton *button(Id id) const { return ActionTable::button(int(id)); }
};

} // namespace vimbrel
