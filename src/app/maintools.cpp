#include "app/maintools.h"

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>
#include <QWidget>

#include "app/toolcommands.h"
#include "capture/modulescreen.h"
#include "gallery/gallery.h"
#include "platform/dialogs.h"
#include "platform/filenames.h"
#include "platform/shell.h"
#include "preview/previewpage.h"
#include "shell/folderverb.h"

namespace vimbrel {

MainTools::MainTools(const MainServices &services, const Gallery &gallery, QWidget *window)
    : QObject(window), m_services(services), m_gallery(gallery), m_window(window)
{
}

void MainTools::launch(const QString &target)
{
    if (!m_services.shell->open(target))
        m_services.dialogs->messageBox(ToolCommands::cannotOpenMessage(target),
                                       QStringLiteral("Vimbrel"), MessageIcon::Warning);
}

void MainTools::openThumbnail(const QUrl &address)
{
    // Pages loaded through the preview scheme link to their pictures in that scheme.
    const QString preview = PreviewPage::localPath(address);
    const QString target = !preview.isEmpty()      ? preview
                           : address.isLocalFile() ? FileNames::pathOf(address)
                                                   : address.toString();
    if (!target.isEmpty())
        launch(target);
}

void MainTools::openPageFolder()
{
    launch(m_gallery.pageFolder());
}

void MainTools::exportList()
{
    const auto file = m_services.dialogs->saveFile(
        ToolCommands::SaveTitle, ToolCommands::ListFilter, ToolCommands::ListDefaultName);
    if (!file || file->isEmpty())
        return;
    // A complete new file or nothing: the old one stays until the new one is whole. The size
    // is checked before the commit, since a write cut short by a full disk can pass unreported.
    QSaveFile out(*file);
    const QByteArray bytes = ToolCommands::exportedList(m_gallery.images().listText());
    const bool written = out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() &&
                         out.flush() && out.size() == bytes.size() && out.commit();
    if (!written) {
        m_services.dialogs->messageBox(ToolCommands::cannotSaveMessage(*file),
                                       QStringLiteral("Vimbrel"), MessageIcon::Warning);
        return;
    }
    launch(*file);
}

void MainTools::captureScreen()
{
    if (m_services.grabber)
        ModuleScreen::saveScreenshot(*m_services.grabber, *m_services.dialogs,
                                     QGuiApplication::clipboard());
}

void MainTools::startDrawingProgram()
{
    const QStringList programs = ToolCommands::drawingPrograms();
    QString missing = programs.join(QStringLiteral(" / ")); // none on the path: all of them
    for (const QString &program : programs) {
        if (m_services.shell->hasProgram(program)) {
            if (m_services.shell->startProgram(program, {}))
                return;
            missing = program;
            break;
        }
    }
    m_services.dialogs->messageBox(ToolCommands::cannotOpenMessage(missing),
                                   QStringLiteral("Vimbrel"), MessageIcon::Warning);
}

void MainTools::openComputer()
{
    launch(QDir::rootPath());
}

void MainTools::openInOtherViewer()
{
    // An empty folder has no picture 0, whatever an earlier folder left in the slot.
    if (!m_gallery.images().isEmpty())
        launch(m_gallery.images().at(0));
}

void MainTools::mailAuthor()
{
    launch(ToolCommands::contactMail());
}

void MainTools::openHomePage()
{
    launch(ToolCommands::HomePage);
}

void MainTools::showAbout()
{
    m_services.shell->about(ToolCommands::AboutTitle, ToolCommands::AboutCredit,
                            m_window ? m_window->windowIcon() : QIcon());
}

void MainTools::toggleFolderVerb(bool checked)
{
    if (!m_services.folderVerb)
        return;
    if (checked)
        m_services.folderVerb->installThisProgram();
    else
        m_services.folderVerb->remove();
}

} // namespace vimbrel
