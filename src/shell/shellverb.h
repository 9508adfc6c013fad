#pragma once

#include <QString>

#include <memory>

namespace vimbrel {

class Registry;

// The "Vimbrel" entry in the context menu of every folder and drive, which starts the program
// with the folder's path. Written at every start; the tools-menu entry "駐在文件夾菜單上"
// removes it or writes it again.
namespace ShellVerb {

[[nodiscard]] QString caption();                          // "Vimbrel"
[[nodiscard]] QString directoryKey();                     // "Directory\shell\ulvo"
[[nodiscard]] QString driveKey();                         // "Software\CLASSES\Drive\shell\ulvo"
[[nodiscard]] QString commandKey(const QString &verbKey); // verbKey + "\command"

// The Windows command line: "<folder>\<baseName>.exe" "%1". The folder is taken as the
// platform reports it, so a drive root "C:\" gives two backslashes in a row.
[[nodiscard]] QString windowsCommandLine(const QString &programFolder, const QString &baseName);

// The Exec line of a desktop entry: the program's path in double quotes, with the characters
// that are special there escaped, then %f for the folder.
[[nodiscard]] QString desktopCommandLine(const QString &programPath);

// The command line of this platform's form for the program file at programPath.
[[nodiscard]] QString commandLineFor(const QString &programPath);

// This platform's registry: the system registry on Windows, desktop entries elsewhere.
[[nodiscard]] std::unique_ptr<Registry> systemRegistry();

// add exactly 1 writes the four entries (folders, then drives); any other value removes
// them, each command key before its parent.
void setShellVerb(Registry &registry, int add, const QString &commandLine);

// setShellVerb for this program (QCoreApplication::applicationFilePath()).
void registerProgram(Registry &registry, bool add);

// The tools-menu entry after its check mark flipped: checked adds, unchecked removes.
void toggleFolderVerb(Registry &registry, bool nowChecked);

} // namespace ShellVerb

} // namespace vimbrel
