#include "folders/directoryreader.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vimbrel {

namespace {

// One record as getdents64 writes it; records lie back to back, d_reclen bytes each.
struct RawEntry
{
    unsigned long long d_ino;
    long long d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

constexpr std::size_t Chunk = 64 * 1024;
constexpr std::size_t MaxKeptBuffer = 4 * 1024 * 1024;

DirectoryReader::Kind kindOf(unsigned char type)
{
    switch (type) {
    case DT_DIR:
        return DirectoryReader::Kind::Folder;
    case DT_REG:
        return DirectoryReader::Kind::File;
    case DT_LNK:
        return DirectoryReader::Kind::Link;
    case DT_UNKNOWN:
        return DirectoryReader::Kind::Unknown;
    default:
        return DirectoryReader::Kind::Other;
    }
}

DirectoryReader::Identity identityOf(const struct stat &st)
{
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), {}};
}

} // namespace

struct DirectoryReader::Private
{
    int fd = -1;
    Identity identity;
    std::vector<char> buffer;
    std::vector<Entry> entries;
};

DirectoryReader::DirectoryReader() : d(std::make_unique<Private>()) {}

DirectoryReader::~DirectoryReader()
{
    close();
}

bool DirectoryReader::open(const std::string &path)
{
    close();
    d->entries.clear();
    d->identity = {};
    // A folder never blocks on open; O_DIRECTORY refuses everything else.
    d->fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d->fd < 0)
        return false;
    struct stat st;
    if (fstat(d->fd, &st) != 0) {
        close();
        return false;
    }
    d->identity = identityOf(st);
    return true;
}

const DirectoryReader::Identity &DirectoryReader::identity() const
{
    return d->identity;
}

bool DirectoryReader::read()
{
    d->entries.clear();
    if (d->fd < 0)
        return false;
    // Kept from folder to folder to save the allocation, unless one huge folder made it big.
    if (d->buffer.capacity() > MaxKeptBuffer)
        std::vector<char>().swap(d->buffer);
    std::size_t used = 0;
    bool ok = true;
    for (;;) {
        if (d->buffer.size() < used + Chunk)
            d->buffer.resize(used + Chunk);
        const long n = syscall(SYS_getdents64, d->fd, d->buffer.data() + used, Chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = used > 0;
            break;
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    for (std::size_t pos = 0; pos < used;) {
        const auto *raw = reinterpret_cast<const RawEntry *>(d->buffer.data() + pos);
        pos += raw->d_reclen;
        const std::string_view name(raw->d_name);
        if (name == "." || name == "..")
            continue;
        d->entries.push_back({name, kindOf(raw->d_type)});
    }
    return ok;
}

void DirectoryReader::close()
{
    if (d->fd >= 0)
        ::close(d->fd);
    d->fd = -1;
}

const std::vector<DirectoryReader::Entry> &DirectoryReader::entries() const
{
    return d->entries;
}

std::optional<DirectoryReader::Target> DirectoryReader::target(std::string_view name) const
{
    // Names from entries() end in the NUL the kernel wrote after them.
    struct stat st;
    if (d->fd < 0 || fstatat(d->fd, name.data(), &st, 0) != 0)
        return std::nullopt;
    return Target{S_ISDIR(st.st_mode), S_ISREG(st.st_mode), static_cast<std::int64_t>(st.st_size)};
}

std::optional<DirectoryReader::Identity> DirectoryReader::identify(const std::string &path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return identityOf(st);
}

} // namespace vimbrel
