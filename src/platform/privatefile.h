#pragma once

#include <QByteArray>
#include <QString>

namespace vimbrel {

// Files the program writes into folders that only the user may change (the page folder, the
// desktop's folders for menu entries). Whatever stands at a path already (a file planted by
// someone else, a hard link, a symlink, a named pipe) is never written through: a new file is
// written beside it and renamed over it. Only a file that is plainly the program's own from
// before (this user's, no other name, the permissions asked for) is rewritten in place.
namespace PrivateFile {

enum class Access {
    OwnerOnly, // rw-------
    Readable,  // rw-r--r--
    Runnable,  // rwxr-xr-x: menu entries and scripts a file manager only runs when executable
};

// The folder, created when missing: a real folder (not a link) owned by this user and closed
// to others. false when it cannot be made so.
[[nodiscard]] bool makePrivateFolder(const QString &dir);

// Makes filePath hold bytes, as above. false when it could not be written (a full disk among
// others); the entry is then untouched and no temporary file is left behind. Only a rewrite in
// place that breaks off after its room was found (an I/O error) leaves the file empty rather
// than cut short.
bool replace(const QString &filePath, const QByteArray &bytes, Access access);

// Removes the entry at filePath (a file, link or pipe; never a folder) without opening it.
// false when there was none or it could not be removed.
bool remove(const QString &filePath);

} // namespace PrivateFile

} // namespace vimbrel
