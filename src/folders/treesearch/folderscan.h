#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "folders/directoryreader.h"

namespace vimbrel {

class KernelTables;

// What one folder holds for the tree search, already decided: the folders to enter and the
// pictures to take, in natural name order. Made on any thread, then only read.
struct FolderScan
{
    struct Entry
    {
        std::uint32_t offset; // into names
        std::uint16_t length;
        bool folder;
    };

    bool ok = false; // false: not a folder, unreadable, or a kernel table
    DirectoryReader::Identity id;
    std::string names;
    std::vector<Entry> entries;

    [[nodiscard]] std::string_view name(const Entry &e) const
    {
        return {names.data() + e.offset, e.length};
    }

    // Reads the folder at path (ending in "/"): the entries as the directory gives them, and a
    // look at the target only of picture names and of links or entries of unknown type,
    // which may be folders. A folder that tables excludes is not read.
    [[nodiscard]] static std::shared_ptr<const FolderScan> read(const std::string &path,
                                                                const KernelTables &tables);
};

using FolderScanPtr = std::shared_ptr<const FolderScan>;

} // namespace vimbrel
