#pragma once

#include <QString>

#include <memory>
#include <optional>

class QWidget;

namespace vimbrel {

enum class MessageIcon { Information, Warning, Critical };

// Every prompt the windows show goes through here, so tests can script the answers.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // An input box; nullopt when cancelled.
    virtual std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                            const QString &defaultAnswer) = 0;
    // A message box with one OK button.
    virtual void messageBox(const QString &text, const QString &title, MessageIcon icon) = 0;
    // Open-file dialog; filter in Qt form ("Pictures (*.jpg *.png);;All files (*)").
    virtual std::optional<QString> openFile(const QString &title, const QString &folder,
                                            const QString &filter) = 0;
    // Save-file dialog; the name is returned as the user typed it (no suffix is added). It opens
    // in defaultName's folder when it has one, else in the home folder.
    virtual std::optional<QString> saveFile(const QString &title, const QString &filter,
                                            const QString &defaultName) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool question(const QString &text, const QString &title) = 0;
    // Folder picker opening at start (the home folder when empty); nullopt when cancelled or
    // when the choice is not a local folder.
    virtual std::optional<QString> browseFolder(const QString &prompt, const QString &start) = 0;

    // The same dialogs for a window of its own: each belongs to owner, shows over it and brings
    // it (not another window of the program) to the front. The window keeps it while it lives.
    [[nodiscard]] virtual std::unique_ptr<Dialogs> ownedBy(QWidget *owner) = 0;
};

} // namespace vimbrel
