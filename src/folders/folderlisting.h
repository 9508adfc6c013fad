#pragma once

#include <QString>

#include "folders/imagelist.h"

namespace vimbrel {

// Folder paths as the gallery stores them: always ending in "/" (a trailing "/" given or not).
// An empty path stays empty.
[[nodiscard]] QString folderWithSlash(const QString &folder);
// The folder part of a file path, with its final "/"; empty when the path has no "/".
[[nodiscard]] QString folderOf(const QString &filePath);

enum class ListingOrder {
    Natural, // natural case-insensitive name order (IMG2 before IMG10)
    AsRead,  // the order the file system returns
};

// Lists the picture files of one folder (not its subfolders, hidden files included) into the
// list, which is reset first, in natural case-insensitive name order (IMG2 before IMG10).
// Stops at the list's slots. A folder that cannot be read leaves an empty list.
void listFolder(const QString &folder, ImageList &list);
void listFolder(const QString &folder, ImageList &list, ListingOrder order);

} // namespace vimbrel
