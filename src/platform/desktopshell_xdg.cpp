// Default programs as the freedesktop.org desktops record them (xdg-utils).
#include "platform/desktopshell.h"

#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include "platform/filenames.h"

namespace vimbrel {

namespace {

// Without a desktop of its own xdg-open ends with a web browser for anything it has no
// program for: $BROWSER if set, else the first of these found.
bool genericBrowserFound()
{
    const bool known = !qEnvironmentVariableIsEmpty("XDG_CURRENT_DESKTOP") ||
                       !qEnvironmentVariableIsEmpty("KDE_FULL_SESSION") ||
                       !qEnvironmentVariableIsEmpty("GNOME_DESKTOP_SESSION_ID");
    if (known)
        return false;
    QString browsers = qEnvironmentVariable("BROWSER");
    if (browsers.isEmpty())
        browsers = QStringLiteral("x-www-browser:firefox:iceweasel:seamonkey:mozilla:epiphany:"
                                  "konqueror:chromium:chromium-browser:google-chrome:www-browser:"
                                  "links2:elinks:links:lynx:w3m");
    for (const QString &browser : browsers.split(u':', Qt::SkipEmptyParts)) {
        const QString program = browser.section(u' ', 0, 0);
        if (!QStandardPaths::findExecutable(program).isEmpty())
            return true;
    }
    return false;
}

} // namespace

bool DesktopShell::hasDefaultProgram(const QUrl &url)
{
    // A name that is not UTF-8 cannot be handed to Qt to look at: a folder is a folder, a file
    // is what its name says.
    const QString path = url.isLocalFile() ? FileNames::pathOf(url) : QString();
    QString mime;
    if (!url.isLocalFile())
        mime = QStringLiteral("x-scheme-handler/") + url.scheme();
    else if (!FileNames::hasStrayBytes(path))
        mime = QMimeDatabase().mimeTypeForFile(path).name();
    else if (FileNames::status(path).folder)
        mime = QStringLiteral("inode/directory");
    else
        mime = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name();
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
    return !process.readAllStandardOutput().trimmed().isEmpty() || genericBrowserFound();
}

} // namespace vimbrel
