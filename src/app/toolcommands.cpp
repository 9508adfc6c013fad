#include "app/toolcommands.h"

namespace vimbrel {

namespace ToolCommands {

QString contactMail()
{
    return QStringLiteral("mailto:") + ContactMailbox + QStringLiteral("?subject=聯繫軟件作者");
}

QByteArray exportedList(const QString &listText)
{
    return (listText + QStringLiteral("\r\n")).toUtf8();
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
    return QStringLiteral("無法開啟：") + target;
}

} // namespace ToolCommands

} // namespace vimbrel
