#pragma once

#include <memory>

#include "shell/folderverb.h"
#include "shell/registry.h"

namespace vimbrel {

// The folder verb as the Windows shell reads it: four registry keys, folders under the
// classes root and drives under the machine root's classes branch, each with a "command"
// subkey holding the command line. Only the registry calls are Windows' own (WinRegistry);
// the layout is plain code, so it is tested on any platform with a recording registry.
class WinFolderVerb : public FolderVerb
{
public:
    explicit WinFolderVerb(std::unique_ptr<Registry> registry);

    // Writes the four values, folders first, each caption before its command.
    void install(const QString &caption, const QString &program) override;
    // Deletes the four keys, each command key before its parent (a key with subkeys cannot be
    // deleted).
    void remove() override;

    [[nodiscard]] static QString directoryKey(); // "Directory\shell\ulvo"
    [[nodiscard]] static QString driveKey();     // "Software\CLASSES\Drive\shell\ulvo"

    // "<folder>\<baseName>.exe" "%1". The folder is taken as the platform reports it, so a
    // drive root "C:\" gives two backslashes in a row.
    [[nodiscard]] static QString commandLine(const QString &programFolder, const QString &baseName);
    // The same for the executable at programPath.
    [[nodiscard]] static QString commandLineFor(const QString &programPath);

private:
    std::unique_ptr<Registry> m_registry;
};

} // namespace vimbrel
