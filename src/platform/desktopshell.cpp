#include "platform/desktopshell.h"

#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

#include "platform/filenames.h"

namespace vimbrel {

QUrl DesktopShell::urlForTarget(const QString &target)
{
    if (target.isEmpty())
        return {};
    if (QDir::isAbsolutePath(target))
        return FileNames::fileUrl(target);
    const QUrl url(target, QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty() && url.scheme().size() > 1)
        return url;
    return QUrl::fromUserInput(target, QDir::currentPath(), QUrl::AssumeLocalFile);
}

bool DesktopShell::open(const QString &target)
{
    const QUrl url = urlForTarget(target);
    if (!url.isValid() || url.isEmpty())
        return false;
    if (url.isLocalFile() && !FileNames::exists(FileNames::pathOf(url)))
        return false;
    return hasDefaultProgram(url) && QDesktopServices::openUrl(url);
}

bool DesktopShell::startProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool DesktopShell::hasProgram(const QString &program) const
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

void DesktopShell::about(const QString &title, const QString &text, const QIcon &icon)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setText(text);
    if (!icon.isNull())
        box.setIconPixmap(icon.pixmap(64, 64));
    box.exec();
}

} // namespace vimbrel
