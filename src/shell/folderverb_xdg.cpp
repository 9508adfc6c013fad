// On freedesktop systems the folder verb is a set of file-manager action files.
#include "shell/folderverb.h"

#include "shell/xdgfolderverb.h"

namespace vimbrel {

std::unique_ptr<FolderVerb> FolderVerb::forThisDesktop()
{
    return std::make_unique<XdgFolderVerb>(XdgFolderVerb::defaultDataHome());
}

} // namespace vimbrel
