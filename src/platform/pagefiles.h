#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vimbrel {

class InstanceLock;

// The program's generated pages ("Tpc.htm", "Baidu.htm", "img.htm") live in a private per-user
// folder: $XDG_CACHE_HOME/ulvo on Linux, %LOCALAPPDATA%\ulvo on Windows. Each running instance
// has page files of its own: the first keeps the usual names in that folder, an instance
// started while it runs gets a subfolder "instance-<n>". What an instance that is no longer
// running left behind is removed by the next start.
namespace PageFiles {

// The folder, created with owner-only permissions when missing. Empty when it cannot be made
// (missing and not creatable, a link, or someone else's).
[[nodiscard]] QString folder();
// This running instance's folder, claimed on first use and held until the process ends.
[[nodiscard]] QString instanceFolder();
// Full path of a page file of this instance. Empty when there is no private folder.
[[nodiscard]] QString path(const QString &fileName);

// Claims the first instance slot under base that no running process holds, keeping lock on
// it; empties that slot's folder of what a previous holder left, and the folders of the other
// slots whose holders are gone. Returns the slot's folder (base itself for the first slot);
// base when no lock can be taken at all.
[[nodiscard]] QString claimInstance(const QString &base, InstanceLock &lock);

// The number of the slot whose folder claimInstance gave: 0 for base itself, n for
// "instance-<n>"; 0 for anything else.
[[nodiscard]] int slotNumber(const QString &base, const QString &claimed);
// This running instance's slot number (0 for the first instance).
[[nodiscard]] int instanceNumber();

// Every line followed by CR LF, in UTF-8.
[[nodiscard]] QByteArray joinLines(const QStringList &lines);
// Writes the lines as a new file that replaces the old one whole. false when it cannot be
// written; whatever stood at the path (a link, a file of someone else's) is replaced, never
// written through.
bool writeLines(const QString &filePath, const QStringList &lines);
bool writeBytes(const QString &filePath, const QByteArray &bytes);
// A hidden folder of the program's own made elsewhere for a while (a save's temporary folder,
// named ".vimbrel-" and more): noted in this instance's folder, so that the next start removes
// it when this instance ended before it could. Returns the note, to remove (remove()) once the
// folder is gone; empty when there is no private folder.
QString noteTemporaryFolder(const QString &folder);

// What a window says when a page cannot be written to filePath (empty: there is no private
// folder), in place of the page.
[[nodiscard]] QString notWrittenMessage(const QString &filePath);
// Deletes the file; false when there was none or it could not be removed.
bool remove(const QString &filePath);

} // namespace PageFiles

} // namespace vimbrel
