#pragma once

#include <cstddef>
#include <vector>

namespace vimbrel {

// Reading a directory whole with getdents64: the listing and the tree search read thousands of
// entries a folder and need no more than a name and a type for most of them.
namespace RawDirectory {

// One record as the kernel writes it; records lie back to back, d_reclen bytes each.
struct Entry
{
    unsigned long long d_ino;
    long long d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

// Reads every entry of the open directory fd into buffer (grown as needed); used is the number
// of bytes filled. false when nothing could be read.
bool readAll(int fd, std::vector<char> &buffer, std::size_t &used);

// Calls f(const Entry &) for every record in the first used bytes of buffer.
template <typename F> void forEach(const std::vector<char> &buffer, std::size_t used, F &&f)
{
    for (std::size_t pos = 0; pos < used;) {
        const auto *entry = reinterpret_cast<const Entry *>(buffer.data() + pos);
        pos += entry->d_reclen;
        f(*entry);
    }
}

} // namespace RawDirectory

} // namespace vimbrel
