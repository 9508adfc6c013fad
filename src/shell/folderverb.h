#pragma once

#include <QString>

#include <memory>

namespace vimbrel {

// The "Vimbrel" entry in the file manager's menu for folders (and drives), which starts the
// program with the folder's path. Written at every start; the tools-menu entry
// "駐在文件夾菜單上" removes it or writes it again. How the entry is stored is the desktop's
// business: registry keys on Windows, the file managers' own action files elsewhere.
class FolderVerb
{
public:
    virtual ~FolderVerb() = default;

    // Adds the entry (replacing one written before): caption is the menu text, program the
    // executable that is started with the folder's path as its one argument. Failures are not
    // reported: what cannot be written is skipped.
    virtual void install(const QString &caption, const QString &program) = 0;
    // Takes the entry out again; nothing happens where there is none.
    virtual void remove() = 0;

    // install() for this program under its own caption.
    void installThisProgram();

    [[nodiscard]] static QString caption(); // "Vimbrel"

    // The entry of the desktop the program runs on.
    [[nodiscard]] static std::unique_ptr<FolderVerb> forThisDesktop();
};

} // namespace vimbrel
