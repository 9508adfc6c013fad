#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

namespace vimbrel {

// Launches on behalf of the windows: open a file or address in its default program, start a
// program, show the about box. The real one talks to the desktop; tests record the calls.
class Shell
{
public:
    virtual ~Shell() = default;

    // Opens target (a local path, a file: URL, an http address, a mailto: address) with the
    // desktop's default program; false when the desktop could not (no such file, no program
    // for it), so the window can say so.
    virtual bool open(const QString &target) = 0;
    // Start a program found on the path; false when it could not be started.
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;
    // Is a program of that name on the path?
    [[nodiscard]] virtual bool hasProgram(const QString &program) const = 0;
    virtual void about(const QString &title, const QString &text, const QIcon &icon) = 0;
};

} // namespace vimbrel
