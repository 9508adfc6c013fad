#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vimbrel {

// Reads one directory whole. The folder listing and the tree search read thousands of entries
// a folder and need no more than a name and, for most entries, the type the directory already
// tells. Names are the bytes the file system stores (UTF-8 where it has a choice); paths are
// given the same way (FileNames::toBytes). One reader is reused folder after folder.
class DirectoryReader
{
public:
    enum class Kind : std::uint8_t {
        Folder,
        File,    // a regular file
        Link,    // a symbolic link: look at its target to know more
        Other,   // pipes, sockets, devices
        Unknown, // the directory does not say: look at it
    };

    struct Entry
    {
        std::string_view name; // valid until the next open() or read()
        Kind kind;
    };

    // What an entry leads to, links followed.
    struct Target
    {
        bool folder = false;
        bool file = false; // a regular file
        std::int64_t size = 0;
    };

    // The folder reached, whatever path led there: the device and file number where the system
    // has them, else the folder's real path.
    struct Identity
    {
        std::uint64_t device = 0;
        std::uint64_t node = 0;
        std::string realPath;
        bool operator==(const Identity &) const = default;
    };

    struct IdentityHash
    {
        std::size_t operator()(const Identity &id) const noexcept
        {
            const std::size_t numbers = std::hash<std::uint64_t>()(id.node * 31u + id.device);
            return id.realPath.empty() ? numbers : numbers ^ std::hash<std::string>()(id.realPath);
        }
    };

    DirectoryReader();
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader &) = delete;
    DirectoryReader &operator=(const DirectoryReader &) = delete;

    // Opens the folder at path. false when it is not a folder that can be opened.
    bool open(const std::string &path);
    // The folder opened last.
    [[nodiscard]] const Identity &identity() const;
    // Reads every entry of the open folder ("." and ".." left out). false when nothing could
    // be read. The folder stays open for target() until close() or the next open().
    bool read();
    void close();
    [[nodiscard]] const std::vector<Entry> &entries() const;
    // Looks at an entry of the folder being read (a name from entries(), before the next
    // open()). nullopt when it cannot be looked at.
    [[nodiscard]] std::optional<Target> target(std::string_view name) const;

    // The identity of the folder at path without reading it; nullopt when it cannot be opened.
    [[nodiscard]] static std::optional<Identity> identify(const std::string &path);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vimbrel
