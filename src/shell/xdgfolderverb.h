#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "shell/folderverb.h"

namespace vimbrel {

// The folder verb on freedesktop systems: one small file per file manager, in the user's data
// folder ($XDG_DATA_HOME), each the way that file manager adds an action to its folder menu:
//   kio/servicemenus/ulvo.desktop      KDE (Dolphin, Konqueror): a service menu
//   file-manager/actions/ulvo.desktop  Caja, PCManFM and others reading file-manager actions
//   nemo/actions/ulvo.nemo_action      Nemo
//   nautilus/scripts/Vimbrel           Nautilus: an executable script under Scripts
//   applications/ulvo.desktop          an application entry for launchers and "Open With"
// None of them may change which program opens folders: the application entry names no file
// type (so the desktop database never offers it as a default) and stays out of the menus.
// Thunar's actions live in the user's own uca.xml, which is left alone. Files are written
// whole and replace whatever stands at their path (a planted link is replaced, not followed).
class XdgFolderVerb : public FolderVerb
{
public:
    explicit XdgFolderVerb(QString dataHome);

    void install(const QString &caption, const QString &program) override;
    void remove() override;

    // QStandardPaths::GenericDataLocation ($XDG_DATA_HOME, ~/.local/share by default).
    [[nodiscard]] static QString defaultDataHome();

    // The files written, relative to the data folder.
    [[nodiscard]] static QStringList entryFiles();

    // The program as the first word of an Exec line: bare when it holds no character that
    // is reserved there (generic launchers such as xdg-open only take the first word as it
    // stands), else in double quotes with " ` $ and \ escaped. A percent sign is doubled.
    [[nodiscard]] static QString execProgram(const QString &program);
    // A desktop-entry string value: backslash, newline, tab, CR and a leading blank escaped.
    [[nodiscard]] static QString escapeValue(const QString &value);

    [[nodiscard]] static QByteArray applicationEntry(const QString &caption,
                                                     const QString &program);
    [[nodiscard]] static QByteArray serviceMenu(const QString &caption, const QString &program);
    [[nodiscard]] static QByteArray fileManagerAction(const QString &caption,
                                                      const QString &program);
    [[nodiscard]] static QByteArray nemoAction(const QString &caption, const QString &program);
    [[nodiscard]] static QByteArray nautilusScript(const QString &program);

private:
    void write(const QString &relativePath, const QByteArray &contents, bool runnable) const;

    QString m_dataHome;
};

} // namespace vimbrel
