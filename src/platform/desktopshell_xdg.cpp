// Default programs as the freedesktop.org desktops record them (xdg-utils).
#include "platform/desktopshell.h"

#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

namespace vimbrel {

bool DesktopShell::hasDefaultProgram(const QUrl &url)
{
    const QString mime = url.isLocalFile()
                             ? QMimeDatabase().mimeTypeForFile(url.toLocalFile()).name()
                             : QStringLiteral("x-scheme-handler/") + url.scheme();
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty())
        return true; // nothing to ask: let the launcher try
    QProcess process;
    process.start(query, {QStringLiteral("query"), QStringLiteral("default"), mime});
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
        return true;
    }
    return !process.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace vimbrel
