#pragma once

#include <QComboBox>
#include <QPointer>

namespace vimbrel {

class ViewControls;

// Cmb: a combo box that the window places outside its visible client area so that it can hold
// the keyboard focus invisibly; Up and Down pressed there scroll the window's browser view.
//   m_cmb = new FocusSink(m_controls, this);
//   m_cmb->move(-2000 / twipsPerPixel, top);   // off the client area
//   m_controls->setFocusSink(m_cmb);
class FocusSink : public QComboBox
{
    Q_OBJECT
public:
    explicit FocusSink(ViewControls *controls, QWidget *parent = nullptr);

    // It never drops its list: the box is out of sight and holds nothing worth choosing.
    void showPopup() override {}

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QPointer<ViewControls> m_controls;
};

} // namespace vimbrel
