#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

namespace vimbrel {

// Start-up rules of the main window that need no window.
namespace StartUp {

// The command line is one folder path: the arguments joined with single blanks, every double
// quote removed. This is the only place quotes are stripped.
[[nodiscard]] QString commandLineFolder(const QStringList &arguments);

enum class StartKind {
    Bare,     // nothing given: a blank view
    Folder,   // list this folder
    NotFound, // no such folder, or one that cannot be read: say so, list nothing
    Help,     // "--help" and no folder of that name
    Version,  // "--version" and no folder of that name
};

struct Start
{
    StartKind kind = StartKind::Bare;
    // Folder: the absolute folder to list (a file given stands for its folder, as the open
    // picture command does). NotFound, Help, Version: the command line as given.
    QString path;
};

// What the command line asks for; relative paths are read against the current folder.
[[nodiscard]] Start read(const QString &commandLine);

// The text printed on the terminal instead of starting a window, for --help and --version.
[[nodiscard]] std::optional<QString> terminalAnswer(const QString &commandLine);

// Where the main window of the given instance opens in the screen's free area: the first in the
// middle, each later one a step further down and right, so that it does not hide the one before;
// always inside the area (back to its top-left side when the steps run out).
inline constexpr int InstanceStep = 40;
[[nodiscard]] QPoint windowPlace(const QRect &area, const QSize &size, int instance);

} // namespace StartUp

} // namespace vimbrel
