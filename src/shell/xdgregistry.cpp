#include "shell/xdgregistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace vimbrel {

XdgRegistry::XdgRegistry(QString dataHome) : m_dataHome(std::move(dataHome)) {}

QString XdgRegistry::defaultDataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString XdgRegistry::applicationEntryPath(const QString &verb) const
{
    return m_dataHome + QStringLiteral("/applications/") + verb + QStringLiteral(".desktop");
}

QString XdgRegistry::serviceMenuPath(const QString &verb) const
{
    return m_dataHome + QStringLiteral("/kio/servicemenus/") + verb + QStringLiteral(".desktop");
}

QString XdgRegistry::escapeValue(const QString &value)
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

QByteArray XdgRegistry::applicationEntry(const QString &caption, const QString &command)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=") +
                         escapeValue(caption) + QStringLiteral("\nExec=") + escapeValue(command) +
                         QStringLiteral("\nMimeType=inode/directory;\n"
                                        "NoDisplay=true\n"
                                        "Terminal=false\n");
    return text.toUtf8();
}

QByteArray XdgRegistry::serviceMenu(const QString &verb, const QString &caption,
                                    const QString &command)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Service\n"
                                        "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
                                        "MimeType=inode/directory;\n"
                                        "Actions=") +
                         verb + QStringLiteral(";\n\n[Desktop Action ") + verb +
                         QStringLiteral("]\nName=") + escapeValue(caption) +
                         QStringLiteral("\nExec=") + escapeValue(command) + QLatin1Char('\n');
    return text.toUtf8();
}

std::optional<XdgRegistry::Target> XdgRegistry::targetOf(RegistryRoot root, const QString &keyPath)
{
    // Registry key names are case-insensitive; the verb becomes a file name, so it is kept to
    // plain characters.
    static const QRegularExpression shape(
        QStringLiteral("^(software\\\\classes\\\\)?(directory|drive)\\\\shell\\\\([A-Za-z0-9_-]+)"
                       "(\\\\command)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = shape.match(keyPath);
    if (!match.hasMatch())
        return std::nullopt;
    const bool underSoftware = match.capturedLength(1) > 0;
    if (underSoftware != (root == RegistryRoot::LocalMachine))
        return std::nullopt;
    const Kind kind =
        match.captured(2).compare(QStringLiteral("directory"), Qt::CaseInsensitive) == 0
            ? Kind::Folder
            : Kind::Drive;
    return Target{kind, match.captured(3), match.capturedLength(4) > 0};
}

QString XdgRegistry::pathOf(const Target &target) const
{
    return target.kind == Kind::Folder ? applicationEntryPath(target.verb)
                                       : serviceMenuPath(target.verb);
}

void XdgRegistry::write(const Target &target, const Values &values) const
{
    if (!values.command || m_dataHome.isEmpty())
        return; // an entry without a command would do nothing
    // A key without a caption shows its own name, as the registry's menus do.
    const QString caption = values.caption.value_or(target.verb);
    const QString path = pathOf(target);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    const QByteArray contents = target.kind == Kind::Folder
                                    ? applicationEntry(caption, *values.command)
                                    : serviceMenu(target.verb, caption, *values.command);
    if (file.write(contents) != contents.size()) {
        file.cancelWriting();
        return;
    }
    // The file manager only runs service menus that are marked executable.
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (target.kind == Kind::Drive)
        permissions |= QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    file.setPermissions(permissions);
    file.commit();
}

void XdgRegistry::setRegString(RegistryRoot root, const QString &keyPath, const QString &valueName,
                               const QString &text)
{
    const std::optional<Target> target = targetOf(root, keyPath);
    if (!target || !valueName.isEmpty())
        return;
    Values &values = m_values[pathOf(*target)];
    if (target->command)
        values.command = text;
    else
        values.caption = text;
    write(*target, values);
}

void XdgRegistry::deleteRegKey(RegistryRoot root, const QString &keyPath)
{
    const std::optional<Target> target = targetOf(root, keyPath);
    if (!target)
        return;
    const QString path = pathOf(*target);
    if (target->command)
        m_values[path].command.reset();
    else
        m_values.erase(path);
    QFile::remove(path);
}

} // namespace vimbrel
