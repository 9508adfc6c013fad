// The Windows side of the shell verb: the registry itself and the classic command line.
#include "shell/shellverb.h"

#include "shell/winregistry.h"

#include <QDir>
#include <QFileInfo>

namespace vimbrel {

namespace ShellVerb {

QString commandLineFor(const QString &programPath)
{
    const QFileInfo program(programPath);
    return windowsCommandLine(QDir::toNativeSeparators(program.absolutePath()),
                              program.completeBaseName());
}

std::unique_ptr<Registry> systemRegistry()
{
    return std::make_unique<WinRegistry>();
}

} // namespace ShellVerb

} // namespace vimbrel
