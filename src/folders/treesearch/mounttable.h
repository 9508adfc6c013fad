#pragma once

#include <QStringList>

namespace vimbrel {

// What is mounted now, as the tree search needs it.
namespace MountTable {

// The roots of the mounted volumes, "/" included, each ending in "/".
[[nodiscard]] QStringList volumeRoots();
// The mount points of the kernel's own tables (proc, sysfs, ...), each ending in "/".
[[nodiscard]] QStringList kernelFolders();

} // namespace MountTable

} // namespace vimbrel
