#include "shell/winfolderverb.h"

#include <QFileInfo>

namespace vimbrel {

namespace {

QString commandKey(const QString &verbKey)
{
    return verbKey + QStringLiteral("\\command");
}

} // namespace

WinFolderVerb::WinFolderVerb(std::unique_ptr<Registry> registry) : m_registry(std::move(registry))
{
}

QString WinFolderVerb::directoryKey()
{
    return QStringLiteral("Directory\\shell\\ulvo");
}

QString WinFolderVerb::driveKey()
{
    return QStringLiteral("Software\\CLASSES\\Drive\\shell\\ulvo");
}

QString WinFolderVerb::commandLine(const QString &programFolder, const QString &baseName)
{
    return QLatin1Char('"') + programFolder + QLatin1Char('\\') + baseName +
           QStringLiteral(".exe\" \"%1\"");
}

QString WinFolderVerb::commandLineFor(const QString &programPath)
{
    const QFileInfo program(programPath);
    // The folder as Windows writes it, whatever form the path came in.
    return commandLine(program.path().replace(QLatin1Char('/'), QLatin1Char('\\')),
                       program.completeBaseName());
}

void WinFolderVerb::install(const QString &caption, const QString &program)
{
    const QString command = commandLineFor(program);
    m_registry->setRegString(RegistryRoot::ClassesRoot, directoryKey(), QString(), caption);
    m_registry->setRegString(RegistryRoot::ClassesRoot, commandKey(directoryKey()), QString(),
                             command);
    m_registry->setRegString(RegistryRoot::LocalMachine, driveKey(), QString(), caption);
    m_registry->setRegString(RegistryRoot::LocalMachine, commandKey(driveKey()), QString(),
                             command);
}

void WinFolderVerb::remove()
{
    m_registry->deleteRegKey(RegistryRoot::ClassesRoot, commandKey(directoryKey()));
    m_registry->deleteRegKey(RegistryRoot::ClassesRoot, directoryKey());
    m_registry->deleteRegKey(RegistryRoot::LocalMachine, commandKey(driveKey()));
    m_registry->deleteRegKey(RegistryRoot::LocalMachine, driveKey());
}

} // namespace vimbrel
