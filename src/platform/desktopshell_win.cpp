#include "platform/desktopshell.h"

namespace vimbrel {

// ShellExecute itself fails when no program is associated, and QDesktopServices reports it.
bool DesktopShell::hasDefaultProgram(const QUrl &)
{
    return true;
}

} // namespace vimbrel
