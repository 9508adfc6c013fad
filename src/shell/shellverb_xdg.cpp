// The freedesktop side of the shell verb: desktop entries stand in for the registry keys.
#include "shell/shellverb.h"

#include "shell/xdgregistry.h"

#include <QFileInfo>

namespace vimbrel {

namespace ShellVerb {

QString commandLineFor(const QString &programPath)
{
    return desktopCommandLine(QFileInfo(programPath).absoluteFilePath());
}

std::unique_ptr<Registry> systemRegistry()
{
    return std::make_unique<XdgRegistry>(XdgRegistry::defaultDataHome());
}

} // namespace ShellVerb

} // namespace vimbrel
