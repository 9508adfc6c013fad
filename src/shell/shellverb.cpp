#include "shell/shellverb.h"

#include "shell/registry.h"

#include <QCoreApplication>

namespace vimbrel {

namespace ShellVerb {

QString caption()
{
    return QStringLiteral("Vimbrel");
}

QString directoryKey()
{
    return QStringLiteral("Directory\\shell\\ulvo");
}

QString driveKey()
{
    return QStringLiteral("Software\\CLASSES\\Drive\\shell\\ulvo");
}

QString commandKey(const QString &verbKey)
{
    return verbKey + QStringLiteral("\\command");
}

QString windowsCommandLine(const QString &programFolder, const QString &baseName)
{
    return QLatin1Char('"') + programFolder + QLatin1Char('\\') + baseName +
           QStringLiteral(".exe\" \"%1\"");
}

QString desktopCommandLine(const QString &programPath)
{
    // Inside double quotes an Exec argument escapes " ` $ and \ with a backslash; a literal
    // percent sign is written twice so it is not read as a field code.
    QString quoted;
    quoted.reserve(programPath.size() + 8);
    quoted += QLatin1Char('"');
    for (const QChar c : programPath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += QLatin1Char('\\');
        else if (c == u'%')
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted += QStringLiteral("\" %f");
    return quoted;
}

void setShellVerb(Registry &registry, int add, const QString &commandLine)
{
    if (add == 1) {
        registry.setRegString(RegistryRoot::ClassesRoot, directoryKey(), QString(), caption());
        registry.setRegString(RegistryRoot::ClassesRoot, commandKey(directoryKey()), QString(),
                              commandLine);
        registry.setRegString(RegistryRoot::LocalMachine, driveKey(), QString(), caption());
        registry.setRegString(RegistryRoot::LocalMachine, commandKey(driveKey()), QString(),
                              commandLine);
    } else {
        // A key with subkeys cannot be deleted, so each command key goes first.
        registry.deleteRegKey(RegistryRoot::ClassesRoot, commandKey(directoryKey()));
        registry.deleteRegKey(RegistryRoot::ClassesRoot, directoryKey());
        registry.deleteRegKey(RegistryRoot::LocalMachine, commandKey(driveKey()));
        registry.deleteRegKey(RegistryRoot::LocalMachine, driveKey());
    }
}

void registerProgram(Registry &registry, bool add)
{
    setShellVerb(registry, add ? 1 : 0, commandLineFor(QCoreApplication::applicationFilePath()));
}

void toggleFolderVerb(Registry &registry, bool nowChecked)
{
    registerProgram(registry, nowChecked);
}

} // namespace ShellVerb

} // namespace vimbrel
