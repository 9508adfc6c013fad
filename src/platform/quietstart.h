#pragma once

#include <QByteArray>

namespace vimbrel {

// Keeps the terminal quiet on a sound start: Qt WebEngine's report of its settings and the
// failures of a GPU process on a machine without a GPU are not worth a line each. Warnings and
// errors still show, and the user's own QTWEBENGINE_CHROMIUM_FLAGS and QT_LOGGING_RULES win.
namespace QuietStart {

// The browser engine's flags: the user's own when set; otherwise "--disable-gpu" when the
// machine has no GPU to render with (the GPU process would only fail and log it).
[[nodiscard]] QByteArray chromiumFlags(const QByteArray &userFlags, bool hasGpu);
// Whether the system offers a GPU to render with.
[[nodiscard]] bool hasGpu();
// Sets both before the application object exists.
void apply();

} // namespace QuietStart

} // namespace vimbrel
