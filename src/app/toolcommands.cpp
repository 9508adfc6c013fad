#include "app/toolcommands.h"

#include "platform/filenames.h"

namespace vimbrel {

namespace ToolCommands {

const QString AboutTitle = QStringLiteral("《Vimbrel》(v " VIMBREL_VERSION ")");

QString contactMail()
{
    return QStringLiteral("mailto:") + ContactMailbox + QStringLiteral("?subject=聯繫軟件作者");
}

QByteArray exportedList(const QString &listText)
{
    // Each name as the file system stores it, whatever its encoding.
    return FileNames::toBytes(QString(listText + QStringLiteral("\r\n")));
}

QStringList drawingPrograms()
{
    return {QStringLiteral("kolourpaint"), QStringLiteral("pinta"), QStringLiteral("drawing"),
            QStringLiteral("mtpaint"),     QStringLiteral("gimp"),  QStringLiteral("krita")};
}

QString cannotSaveMessage(const QString &path)
{
    return QStringLiteral("無法保存文件：") + path;
}

QString cannotOpenMessage(const QString &target)
{
    return QStringLiteral("無法開啟：") + FileNames::readable(target);
}

} // namespace ToolCommands

} // namespace vimbrel
