// On Windows the folder verb lives in the system registry.
#include "shell/folderverb.h"

#include "shell/winfolderverb.h"
#include "shell/winregistry.h"

namespace vimbrel {

std::unique_ptr<FolderVerb> FolderVerb::forThisDesktop()
{
    return std::make_unique<WinFolderVerb>(std::make_unique<WinRegistry>());
}

} // namespace vimbrel
