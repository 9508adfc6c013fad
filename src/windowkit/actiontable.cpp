#include "windowkit/actiontable.h"

#include <QAction>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include "windowkit/actionkeys.h"

namespace vimbrel {

namespace {

const QString LitFace =
    QStringLiteral("QToolButton:checked { background-color: rgb(255, 255, 0); }");

QAction *makeAction(QWidget *window, const ActionRow &row, const ActionTableOptions &options)
{
    auto *action = new QAction(QString::fromUtf8(row.text), window);
    action->setObjectName(QString::fromLatin1(row.name));
    if (row.tooltip)
        action->setToolTip(QString::fromUtf8(row.tooltip));
    if (row.theme && options.icon) {
        action->setIcon(options.icon(QString::fromLatin1(row.theme), QString::fromUtf8(row.glyph)));
        // The menus have always been plain text.
        action->setIconVisibleInMenu(false);
    }
    action->setCheckable(row.flags & Checkable);
    action->setChecked(row.flags & Checked);
    action->setEnabled(!(row.flags & Disabled));

    QList<QKeySequence> keys;
    for (const QKeyCombination key : row.keys) {
        if (key.key() != Qt::Key_unknown)
            keys.append(QKeySequence(key));
    }
    if (row.flags & KeyNotInTooltip) {
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    } else {
        setActionKeys(action, window, keys);
    }
    return action;
}

QAbstractButton *makeButton(QWidget *window, QAction *action, const ActionRow &row,
                            const ActionTableOptions &options)
{
    const QString name = action->objectName() + options.buttonSuffix;
    if (options.buttons == ActionTableOptions::Buttons::Push) {
        auto *button = new QPushButton(action->text(), window);
        button->setObjectName(name);
        button->setAutoDefault(false);
        if (row.tooltip)
            button->setToolTip(action->toolTip());
        button->setEnabled(action->isEnabled());
        QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
        QObject::connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
        return button;
    }
    auto *button = new QToolButton(window);
    button->setObjectName(name);
    button->setDefaultAction(action);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(action->icon().isNull() ? Qt::ToolButtonTextOnly
                                                       : Qt::ToolButtonIconOnly);
    if (row.flags & LitWhenChecked)
        button->setStyleSheet(LitFace);
    return button;
}

} // namespace

ActionTable::ActionTable(QWidget *window, std::span<const ActionRow> rows,
                         const ActionTableOptions &options)
    : QObject(window)
{
    m_actions.reserve(rows.size());
    m_buttons.reserve(rows.size());
    for (const ActionRow &row : rows) {
        Q_ASSERT(row.id == int(m_actions.size()));
        QAction *action = makeAction(window, row, options);
        m_actions.push_back(action);
        m_buttons.push_back(row.flags & NoButton ? nullptr
                                                 : makeButton(window, action, row, options));
    }
}

} // namespace vimbrel
