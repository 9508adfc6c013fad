#pragma once

#include <QObject>

#include <array>

#include "detail/detaillayout.h"

class QAction;
class QPushButton;
class QWidget;

namespace vimbrel {

// The detail window's commands, one QAction each, named after the button that offers it
// (object names "Cmd0" .. "Cmd5"), and the text button for each with its access key. The
// window only connects them and places the buttons.
class DetailActions : public QObject
{
    Q_OBJECT
public:
    enum Id {
        Save,        // 保存(&S)
        Previous,    // 上一幅(&U)
        Next,        // 下一幅(&N)
        OpenAddress, // 網址(&H)
        ZoomIn,      // 放大(&B)
        ZoomOut,     // 縮小(&M)
        Count
    };
    static_assert(Count == DetailGeometry::ButtonCount);

    explicit DetailActions(QWidget *window);

    [[nodiscard]] QAction *operator[](Id id) const { return m_actions[std::size_t(id)]; }
    [[nodiscard]] QPushButton *button(Id id) const { return m_buttons[std::size_t(id)]; }
    // Escape: the window closes.
    [[nodiscard]] QAction *closeWindow() const { return m_close; }

private:
    std::array<QAction *, Count> m_actions{};
    std::array<QPushButton *, Count> m_buttons{};
    QAction *m_close = nullptr;
};

} // namespace vimbrel
