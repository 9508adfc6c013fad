#include "windowkit/actionkeys.h"

#include <QAction>
#include <QWidget>

namespace vimbrel {

QString tooltipWithKey(const QString &tooltip, const QKeySequence &key)
{
    return tooltip + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) +
           QLatin1Char(')');
}

void setActionKeys(QAction *action, QWidget *window, const QList<QKeySequence> &keys)
{
    if (keys.isEmpty())
        return;
    // Read before the keys are set: a tooltip never set explicitly follows the text.
    const QString tooltip = action->toolTip();
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setToolTip(tooltipWithKey(tooltip, keys.first()));
    // A button hidden or out of the tool row must not take its keys with it.
    window->addAction(action);
}

void setTabStop(QWidget *widget, bool stop)
{
    const Qt::FocusPolicy policy = stop ? Qt::StrongFocus : Qt::ClickFocus;
    widget->setFocusPolicy(policy);
    if (QWidget *inner = widget->focusProxy())
        inner->setFocusPolicy(policy);
}

} // namespace vimbrel
