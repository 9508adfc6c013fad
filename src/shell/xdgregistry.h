#pragma once

#include "shell/registry.h"

#include <QString>

#include <map>
#include <optional>

namespace vimbrel {

// The shell verb's registry keys as freedesktop files under a data folder ($XDG_DATA_HOME):
//   Directory\shell\<verb>  -> applications/<verb>.desktop, an application for inode/directory
//                              that stays out of the menus but is offered in "Open With"
//   Drive\shell\<verb>      -> kio/servicemenus/<verb>.desktop, a file manager context-menu
//                              action for folders (mount points and drives are folders too)
// The key's default value is the caption (Name), its command subkey's the command (Exec). An
// entry is written once its command is known; deleting either key removes the file. Files are
// replaced whole, never left half-written. Keys of other shapes are ignored, and nothing is
// reported when a folder cannot be created or written.
class XdgRegistry : public Registry
{
public:
    explicit XdgRegistry(QString dataHome);

    // QStandardPaths::GenericDataLocation ($XDG_DATA_HOME, ~/.local/share by default).
    [[nodiscard]] static QString defaultDataHome();

    void setRegString(RegistryRoot root, const QString &keyPath, const QString &valueName,
                      const QString &text) override;
    void deleteRegKey(RegistryRoot root, const QString &keyPath) override;

    [[nodiscard]] QString applicationEntryPath(const QString &verb) const;
    [[nodiscard]] QString serviceMenuPath(const QString &verb) const;

    // The files' contents; caption and command are the values as given (Exec's own quoting
    // already applied), escaped here as desktop-entry strings.
    [[nodiscard]] static QByteArray applicationEntry(const QString &caption,
                                                     const QString &command);
    [[nodiscard]] static QByteArray serviceMenu(const QString &verb, const QString &caption,
                                                const QString &command);
    // A desktop-entry string value: backslash, newline, tab, CR and a leading blank escaped.
    [[nodiscard]] static QString escapeValue(const QString &value);

private:
    enum class Kind { Folder, Drive };
    struct Target
    {
        Kind kind;
        QString verb;
        bool command; // the command subkey rather than the verb key
    };
    struct Values
    {
        std::optional<QString> caption;
        std::optional<QString> command;
    };

    [[nodiscard]] static std::optional<Target> targetOf(RegistryRoot root, const QString &keyPath);
    [[nodiscard]] QString pathOf(const Target &target) const;
    void write(const Target &target, const Values &values) const;

    QString m_dataHome;
    std::map<QString, Values> m_values; // by file path
};

} // namespace vimbrel
