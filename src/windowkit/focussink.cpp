#include "windowkit/focussink.h"

#include <QKeyEvent>
#include <QWheelEvent>

#include "windowkit/viewcontrols.h"

namespace vimbrel {

FocusSink::FocusSink(ViewControls *controls, QWidget *parent)
    : QComboBox(parent), m_controls(controls)
{
    setObjectName(QStringLiteral("Cmb"));
    addItem(QStringLiteral("Combo1"));
    // Out of sight, it cannot show the focus: the window hands it the focus, Tab does not.
    setFocusPolicy(Qt::ClickFocus);
}

void FocusSink::keyPressEvent(QKeyEvent *event)
{
    // Up and Down scroll the page instead of changing the box's item.
    if (m_controls && m_controls->handleKey(event->key())) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void FocusSink::wheelEvent(QWheelEvent *event)
{
    // The box has nothing to scroll through; leave the wheel to the window.
    event->ignore();
}

} // namespace vimbrel
