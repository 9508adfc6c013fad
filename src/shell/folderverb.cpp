#include "shell/folderverb.h"

#include <QCoreApplication>

namespace vimbrel {

QString FolderVerb::caption()
{
    return QStringLiteral("Vimbrel");
}

void FolderVerb::installThisProgram()
{
    install(caption(), QCoreApplication::applicationFilePath());
}

} // namespace vimbrel
