#include "app/startup.h"

#include <QDir>

#include "folders/folderlisting.h"
#include "platform/filenames.h"

namespace vimbrel {

namespace StartUp {

QString commandLineFolder(const QStringList &arguments)
{
    QString folder = arguments.join(QLatin1Char(' '));
    folder.remove(QLatin1Char('"'));
    return folder;
}

Start read(const QString &commandLine)
{
    if (commandLine.isEmpty())
        return {};
    // By the path's own bytes, whatever the names' encoding.
    const QString path = QDir::current().absoluteFilePath(commandLine);
    const FileNames::Status status = FileNames::status(path);
    if (status.folder && status.readable)
        return {StartKind::Folder, QDir::cleanPath(path)};
    if (status.file && status.readable)
        return {StartKind::Folder, QDir::cleanPath(folderOf(path))};
    // A folder of that name wins over the options.
    if (commandLine == QLatin1String("--help"))
        return {StartKind::Help, commandLine};
    if (commandLine == QLatin1String("--version"))
        return {StartKind::Version, commandLine};
    return {StartKind::NotFound, commandLine};
}

std::optional<QString> terminalAnswer(const QString &commandLine)
{
    switch (read(commandLine).kind) {
    case StartKind::Help:
        return QStringLiteral("用法：vimbrel [資料夾或圖片]\n"
                              "一次顯示資料夾中的所有圖片；給出圖片時顯示它所在的資料夾。\n"
                              "  --help     顯示本說明\n"
                              "  --version  顯示版本\n");
    case StartKind::Version:
        return QStringLiteral("Vimbrel " VIMBREL_VERSION "\n");
    default:
        return std::nullopt;
    }
}

} // namespace StartUp

} // namespace vimbrel
