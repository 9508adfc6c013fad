#include "app/maintitle.h"

#include <QDir>

namespace vimbrel {

QString MainTitle::forFolder(const QString &folder)
{
    const QString program = QStringLiteral("Vimbrel");
    if (folder.isEmpty())
        return program;
    // cleanPath drops the trailing separator the page folder carries, but keeps a root's.
    return program + QStringLiteral(" — ") + QDir::toNativeSeparators(QDir::cleanPath(folder));
}

} // namespace vimbrel
