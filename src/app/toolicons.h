#pragma once

#include <QIcon>
#include <QString>

namespace vimbrel {

// The tool row's pictures: the desktop theme's icon when there is one, else a small drawn one.
[[nodiscard]] QIcon toolIcon(const QString &themeName, const QString &glyph);
// The program's own icon: a stack of framed pictures.
[[nodiscard]] QIcon programIcon();

} // namespace vimbrel
