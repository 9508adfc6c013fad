#include "saving/originattributes.h"

#include <QDir>

namespace vimbrel {

QSet<QString> OriginAttributes::originsIn(const QString &folder)
{
    QSet<QString> origins;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString origin = read(dir.filePath(name), "user.xdg.origin.url");
        if (!origin.isEmpty())
            origins.insert(origin);
    }
    return origins;
}

} // namespace vimbrel
