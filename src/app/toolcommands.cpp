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

QString folderOf(const QString &filePath)
{
    const qsizetype slash = filePath.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : filePath.left(slash + 1);
}

QString cannotSaveMessage(const QString &path)
{
    return QStringLiteral("無法保存文件：") + path;
}

} // namespace ToolCommands

} // namespace vimbrel
