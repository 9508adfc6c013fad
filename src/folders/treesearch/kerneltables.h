#pragma once

#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

#include "folders/directoryreader.h"

namespace vimbrel {

// The folders that hold the kernel's own tables (/proc, /sys, ...), judged by the folder a
// path reaches rather than by the path typed, so a link to "/" or to "/proc" does not lead the
// search into them. The folder the search starts from is never one of them: searching /proc
// itself is what the user asked for.
class KernelTables
{
public:
    // folders: the tables' mount points (paths as FileNames::toBytes gives them).
    KernelTables(const QStringList &folders, DirectoryReader::Identity start);

    [[nodiscard]] bool excludes(const DirectoryReader::Identity &reached) const;

private:
    DirectoryReader::Identity m_start;
    std::vector<DirectoryReader::Identity> m_tables;
    // Devices of tables other than the starting folder's: anything on them lies inside a table.
    std::vector<std::uint64_t> m_devices;
    // Real paths of the tables, ending in "/", where the reader knows no devices.
    std::vector<std::string> m_realPaths;
};

} // namespace vimbrel
