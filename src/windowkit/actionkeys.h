#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QWidget;

namespace vimbrel {

// Gives an action its keys: they work anywhere in the window (a text box that uses a key for
// itself still gets it first), and the action's tooltip names the first key after its own
// text, e.g. "往後翻頁 (Ctrl+PgDown)".
void setActionKeys(QAction *action, QWidget *window, const QList<QKeySequence> &keys);

// Whether Tab stops at a widget (and at the inner widget that takes its focus, as a browser
// view's page does); a widget out of sight must not take the focus where it cannot be seen.
void setTabStop(QWidget *widget, bool stop);

// The tooltip text for a command and its key.
[[nodiscard]] QString tooltipWithKey(const QString &tooltip, const QKeySequence &key);

} // namespace vimbrel
