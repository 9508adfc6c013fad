#include "app/maintitle.h"

#include <QDir>

#include "platform/filenames.h"

namespace vimbrel {

QString MainTitle::forFolder(const QString &folder)
{
    const QString program = QStringLiteral("Vimbrel");
    if (folder.isEmpty())
        return program;
    // cleanPath drops the trailing separator the page folder carries, but keeps a root's; a
    // name that is not UTF-8 is shown in the form a person can read.
    return program + QStringLiteral(" — ") +
           FileNames::readable(QDir::toNativeSeparators(QDir::cleanPath(folder)));
}

} // namespace vimbrel
