#pragma once

#include "windowkit/actiontable.h"

class QWidget;

namespace vimbrel {

// The detail window's commands; the first six have a text button each, in this order.
enum class DetailCommand {
    Save,        // 保存(&S)
    Previous,    // 上一幅(&U)
    Next,        // 下一幅(&N)
    OpenAddress, // 網址(&H)
    ZoomIn,      // 放大(&B)
    ZoomOut,     // 縮小(&M)
    CloseWindow, // Escape
    Count
};

using DetailActions = Actions<DetailCommand>;

[[nodiscard]] DetailActions *makeDetailActions(QWidget *window);

} // namespace vimbrel
