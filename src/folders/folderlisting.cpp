#include "folders/folderlisting.h"

#include <QDir>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "folders/directoryreader.h"
#include "folders/naturalorder.h"
#include "folders/pictureextensions.h"
#include "platform/filenames.h"

namespace vimbrel {

QString folderWithSlash(const QString &folder)
{
    if (folder.isEmpty())
        return folder;
    QString result = QDir::fromNativeSeparators(folder);
    if (!result.endsWith(u'/'))
        result += u'/';
    return result;
}

QString folderOf(const QString &filePath)
{
    return filePath.left(filePath.lastIndexOf(u'/') + 1);
}

namespace {

constexpr size_t MaxKeptBuffer = 4 * 1024 * 1024;

// A regular file, or a link to one; the type comes from the directory entry when it can.
bool isFileEntry(const DirectoryReader &reader, const DirectoryReader::Entry &entry)
{
    switch (entry.kind) {
    case DirectoryReader::Kind::File:
        return true;
    case DirectoryReader::Kind::Link:
    case DirectoryReader::Kind::Unknown: {
        const std::optional<DirectoryReader::Target> target = reader.target(entry.name);
        return target && target->file;
    }
    default:
        return false;
    }
}

// Natural order through sort keys made once per name: folding case and reading numbers inside
// every comparison made the sort most of the listing's time. Only the first limit names in
// order are kept.
void sortNaturally(std::vector<std::string_view> &names, size_t limit)
{
    // The first eight key bytes as a number decide most comparisons without a call.
    struct Keyed
    {
        std::uint64_t head;
        std::string_view key;
        std::string_view name;
    };
    thread_local std::string keys;
    keys.clear();
    std::vector<size_t> ends;
    ends.reserve(names.size());
    for (std::string_view name : names) {
        appendNaturalSortKey(keys, name);
        ends.push_back(keys.size());
    }
    std::vector<Keyed> keyed;
    keyed.reserve(names.size());
    size_t start = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string_view key(keys.data() + start, ends[i] - start);
        std::uint64_t head = 0;
        for (size_t k = 0; k < 8; ++k)
            head = (head << 8) | (k < key.size() ? static_cast<unsigned char>(key[k]) : 0u);
        keyed.push_back({head, key, names[i]});
        start = ends[i];
    }
    const auto less = [](const Keyed &a, const Keyed &b) {
        return a.head != b.head ? a.head < b.head : a.key < b.key;
    };
    if (keyed.size() > limit) {
        std::partial_sort(keyed.begin(), keyed.begin() + static_cast<std::ptrdiff_t>(limit),
                          keyed.end(), less);
        keyed.resize(limit);
    } else {
        std::sort(keyed.begin(), keyed.end(), less);
    }
    names.resize(keyed.size());
    for (size_t i = 0; i < keyed.size(); ++i)
        names[i] = keyed[i].name;
    if (keys.capacity() > MaxKeptBuffer)
        std::string().swap(keys);
}

} // namespace

void listFolder(const QString &folder, ImageList &list, ListingOrder order)
{
    list.reset();
    const QString base = folderWithSlash(folder);
    if (base.isEmpty())
        return;
    thread_local DirectoryReader reader;
    if (!reader.open(FileNames::toBytes(base).toStdString()))
        return;
    reader.read(); // what could be read is listed
    std::vector<std::string_view> names;
    names.reserve(reader.entries().size());
    for (const DirectoryReader::Entry &entry : reader.entries()) {
        if (isPictureName(entry.name) && isFileEntry(reader, entry))
            names.push_back(entry.name);
    }
    reader.close();

    if (order == ListingOrder::Natural)
        sortNaturally(names, static_cast<size_t>(ImageList::Slots));
    for (std::string_view name : names) {
        if (!list.appendInFolder(base, name))
            break;
    }
}

void listFolder(const QString &folder, ImageList &list)
{
    listFolder(folder, list, ListingOrder::Natural);
}

} // namespace vimbrel
