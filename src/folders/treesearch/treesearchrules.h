#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <string_view>

namespace vimbrel {

// What the whole-tree search takes and where it goes, whichever way the folders are read.
namespace TreeSearchRules {

inline constexpr std::int64_t MinBytes = 30000; // a picture must be larger than this

// A folder met on the way is entered unless its name begins with ".".
[[nodiscard]] bool entersFolder(std::string_view name);
// A file is taken when its name is a picture's and it is larger than MinBytes.
[[nodiscard]] bool isLargeEnough(std::int64_t size);

// "$RECYCLE" in any letter case at the start of a name: the recycle bin of a volume
// ("$RECYCLE.BIN", the older "$RECYCLER").
[[nodiscard]] bool startsWithRecycle(std::string_view name);
[[nodiscard]] bool startsWithRecycle(QStringView name);
// true when folder (ending in "/") is a recycle bin at the root of one of the volumes (each
// ending in "/"), or inside one.
[[nodiscard]] bool insideRecycleBin(const QString &folder, const QStringList &volumeRoots);

// File systems that hold the kernel's tables (proc, sysfs, ...) rather than anybody's files.
[[nodiscard]] bool isKernelFileSystem(const QByteArray &type);

// The folder as shown while it is read: without its trailing "/", except the root itself.
[[nodiscard]] QString shownFolder(QString folder);

} // namespace TreeSearchRules

} // namespace vimbrel
