#include "folders/treesearch/folderscan.h"

#include <algorithm>

#include "folders/naturalorder.h"
#include "folders/pictureextensions.h"
#include "folders/treesearch/kerneltables.h"
#include "folders/treesearch/treesearchrules.h"

namespace vimbrel {

FolderScanPtr FolderScan::read(const std::string &path, const KernelTables &tables)
{
    using Kind = DirectoryReader::Kind;
    auto scan = std::make_shared<FolderScan>();
    thread_local DirectoryReader reader;
    if (!reader.open(path))
        return scan;
    scan->id = reader.identity();
    if (tables.excludes(scan->id) || !reader.read()) {
        reader.close();
        return scan;
    }
    scan->ok = true;

    struct Candidate
    {
        std::string_view name;
        bool folder;
    };
    thread_local std::vector<Candidate> candidates;
    candidates.clear();
    for (const DirectoryReader::Entry &entry : reader.entries()) {
        const bool enters = TreeSearchRules::entersFolder(entry.name);
        if (entry.kind == Kind::Folder) {
            if (enters)
                candidates.push_back({entry.name, true});
            continue;
        }
        const bool picture = isPictureName(entry.name);
        if (entry.kind == Kind::File ? !picture
                                     : (entry.kind != Kind::Link && entry.kind != Kind::Unknown))
            continue;
        if (!enters && !picture)
            continue; // neither a folder to enter nor a picture
        const std::optional<DirectoryReader::Target> target = reader.target(entry.name);
        if (!target)
            continue;
        if (target->folder) {
            if (enters)
                candidates.push_back({entry.name, true});
        } else if (picture && target->file && TreeSearchRules::isLargeEnough(target->size)) {
            candidates.push_back({entry.name, false});
        }
    }
    reader.close();

    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate &a, const Candidate &b) { return naturalLess(a.name, b.name); });
    scan->entries.reserve(candidates.size());
    for (const Candidate &c : candidates) {
        scan->entries.push_back({static_cast<std::uint32_t>(scan->names.size()),
                                 static_cast<std::uint16_t>(c.name.size()), c.folder});
        scan->names.append(c.name);
    }
    return scan;
}

} // namespace vimbrel
