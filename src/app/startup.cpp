#include "app/startup.h"

#include <QDir>

#include <algorithm>

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

namespace {

// One axis: from the centred place, offset steps on, wrapped within the room the window leaves.
int placeOnAxis(int start, int room, int centred, int offset)
{
    if (room < InstanceStep)
        return start + std::max(0, room) / 2;
    return start + (centred - start + offset) % (room + 1);
}

} // namespace

QPoint windowPlace(const QRect &area, const QSize &size, int instance)
{
    const int offset = std::max(0, instance) * InstanceStep;
    const QPoint centred = area.center() - QRect(QPoint(0, 0), size).center();
    return {placeOnAxis(area.left(), area.width() - size.width(), centred.x(), offset),
            placeOnAxis(area.top(), area.height() - size.height(), centred.y(), offset)};
}

} // namespace StartUp

} // namespace vimbrel
