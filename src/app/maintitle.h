#pragma once

#include <QString>

namespace vimbrel {

// The main window's title names the folder on show, as the desktop writes paths: "Vimbrel —
// /home/ann/Pictures"; before any folder, "Vimbrel".
namespace MainTitle {

[[nodiscard]] QString forFolder(const QString &folder);

} // namespace MainTitle

} // namespace vimbrel
