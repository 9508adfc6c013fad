#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vimbrel {

// The program's generated pages ("Tpc.htm" and friends) live in a private per-user folder:
// $XDG_CACHE_HOME/ulvo on Linux, %LOCALAPPDATA%\ulvo on Windows.
namespace PageFiles {

// The folder, created with owner-only permissions when missing. Empty when it cannot be made.
[[nodiscard]] QString folder();
// Full path of a page file in that folder (the folder is created on the way).
[[nodiscard]] QString path(const QString &fileName);
// Every line followed by CR LF, in UTF-8.
[[nodiscard]] QByteArray joinLines(const QStringList &lines);
// Writes the lines, replacing the file. false when it cannot be written; a symlink planted
// in place of the file is replaced, never followed.
bool writeLines(const QString &filePath, const QStringList &lines);
bool writeBytes(const QString &filePath, const QByteArray &bytes);
// Deletes the file; false when there was none or it could not be removed.
bool remove(const QString &filePath);

} // namespace PageFiles

} // namespace vimbrel
