#include "shell/xdgfolderverb.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/privatefile.h"

namespace vimbrel {

namespace {

const QString ApplicationFile = QStringLiteral("applications/ulvo.desktop");
const QString ServiceMenuFile = QStringLiteral("kio/servicemenus/ulvo.desktop");
const QString ActionFile = QStringLiteral("file-manager/actions/ulvo.desktop");
const QString NemoFile = QStringLiteral("nemo/actions/ulvo.nemo_action");
const QString NautilusFile = QStringLiteral("nautilus/scripts/Vimbrel");

// Characters that force an Exec argument into quotes.
bool isReservedInExec(QChar c)
{
    return c.isSpace() || QStringView(u"\"'\\><~|&;$*?#()`").contains(c);
}

// The desktops hide an entry whose TryExec program is gone, so the entries do not outlive an
// uninstalled program.
QString tryExecLine(const QString &program)
{
    return QStringLiteral("TryExec=") + XdgFolderVerb::escapeValue(program) + QLatin1Char('\n');
}

// Nemo's own key for it: the action shows only while its programs are there. A path that
// would split its list is left out rather than misread.
QString dependencyLine(const QString &program)
{
    if (program.contains(QLatin1Char(';')) || program.contains(QLatin1Char('\\')))
        return {};
    return QStringLiteral("Dependencies=") + XdgFolderVerb::escapeValue(program) +
           QStringLiteral(";\n");
}

QString execLine(const QString &program, const char *fieldCode)
{
    return XdgFolderVerb::escapeValue(XdgFolderVerb::execProgram(program) + QLatin1Char(' ') +
                                      QLatin1String(fieldCode));
}

} // namespace

XdgFolderVerb::XdgFolderVerb(QString dataHome) : m_dataHome(std::move(dataHome)) {}

QString XdgFolderVerb::defaultDataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QStringList XdgFolderVerb::entryFiles()
{
    return {ApplicationFile, ServiceMenuFile, ActionFile, NemoFile, NautilusFile};
}

QString XdgFolderVerb::execProgram(const QString &program)
{
    const bool needsQuotes = std::any_of(program.begin(), program.end(), isReservedInExec);
    QString out;
    out.reserve(program.size() + 8);
    if (needsQuotes)
        out += QLatin1Char('"');
    for (const QChar c : program) {
        if (needsQuotes && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            out += QLatin1Char('\\');
        else if (c == u'%')
            out += QLatin1Char('%');
        out += c;
    }
    if (needsQuotes)
        out += QLatin1Char('"');
    return out;
}

QString XdgFolderVerb::escapeValue(const QString &value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else if (c == u' ' && i == 0)
            escaped += QStringLiteral("\\s");
        else
            escaped += c;
    }
    return escaped;
}

QByteArray XdgFolderVerb::applicationEntry(const QString &caption, const QString &program)
{
    // No MimeType line: an entry that names inode/directory becomes a candidate for the
    // desktop's folder opener as soon as the desktop database is rebuilt.
    return (QStringLiteral("[Desktop Entry]\n"
                           "Type=Application\n"
                           "Name=") +
            escapeValue(caption) + QStringLiteral("\nExec=") + execLine(program, "%f") +
            QStringLiteral("\n") + tryExecLine(program) +
            QStringLiteral("NoDisplay=true\n"
                           "Terminal=false\n"))
        .toUtf8();
}

QByteArray XdgFolderVerb::serviceMenu(const QString &caption, const QString &program)
{
    return (QStringLiteral("[Desktop Entry]\n"
                           "Type=Service\n"
                           "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
                           "MimeType=inode/directory;\n"
                           "Actions=ulvo;\n") +
            tryExecLine(program) +
            QStringLiteral("\n"
                           "[Desktop Action ulvo]\n"
                           "Name=") +
            escapeValue(caption) + QStringLiteral("\nExec=") + execLine(program, "%f") +
            QLatin1Char('\n'))
        .toUtf8();
}

QByteArray XdgFolderVerb::fileManagerAction(const QString &caption, const QString &program)
{
    return (QStringLiteral("[Desktop Entry]\n"
                           "Type=Action\n"
                           "Name=") +
            escapeValue(caption) + QStringLiteral("\nProfiles=folder;\n") + tryExecLine(program) +
            QStringLiteral("\n"
                           "[X-Action-Profile folder]\n"
                           "MimeTypes=inode/directory;\n"
                           "Exec=") +
            execLine(program, "%f") + QLatin1Char('\n'))
        .toUtf8();
}

QByteArray XdgFolderVerb::nemoAction(const QString &caption, const QString &program)
{
    // Nemo's %F is the chosen path; its %f would be the display name.
    return (QStringLiteral("[Nemo Action]\n"
                           "Name=") +
            escapeValue(caption) + QStringLiteral("\nExec=") + execLine(program, "%F") +
            QStringLiteral("\nSelection=s\n"
                           "Extensions=dir;\n") +
            dependencyLine(program))
        .toUtf8();
}

QByteArray XdgFolderVerb::nautilusScript(const QString &program)
{
    // Nautilus runs the script in the folder shown, with the chosen items as arguments.
    QString quoted = program;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return (QStringLiteral("#!/bin/sh\nexec '") + quoted + QStringLiteral("' \"${1:-$PWD}\"\n"))
        .toUtf8();
}

void XdgFolderVerb::write(const QString &relativePath, const QByteArray &contents,
                          bool runnable) const
{
    const QString path = m_dataHome + QLatin1Char('/') + relativePath;
    if (!QDir().mkpath(QFileInfo(path).path()))
        return;
    PrivateFile::replace(path, contents,
                         runnable ? PrivateFile::Access::Runnable : PrivateFile::Access::Readable);
}

void XdgFolderVerb::install(const QString &caption, const QString &program)
{
    if (m_dataHome.isEmpty() || program.isEmpty())
        return;
    write(ApplicationFile, applicationEntry(caption, program), false);
    // KDE only runs service menus that are marked executable.
    write(ServiceMenuFile, serviceMenu(caption, program), true);
    write(ActionFile, fileManagerAction(caption, program), false);
    write(NemoFile, nemoAction(caption, program), false);
    write(NautilusFile, nautilusScript(program), true);
}

void XdgFolderVerb::remove()
{
    if (m_dataHome.isEmpty())
        return;
    for (const QString &file : entryFiles())
        PrivateFile::remove(m_dataHome + QLatin1Char('/') + file);
}

} // namespace vimbrel
