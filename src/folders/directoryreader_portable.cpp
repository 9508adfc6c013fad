#include "folders/directoryreader.h"

#include <filesystem>
#include <system_error>

namespace vimbrel {

namespace fs = std::filesystem;

namespace {

fs::path pathOf(std::string_view utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const fs::path &path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

DirectoryReader::Kind kindOf(const fs::directory_entry &entry)
{
    std::error_code error;
    const fs::file_status status = entry.symlink_status(error);
    if (error)
        return DirectoryReader::Kind::Unknown;
    switch (status.type()) {
    case fs::file_type::directory:
        return DirectoryReader::Kind::Folder;
    case fs::file_type::regular:
        return DirectoryReader::Kind::File;
    case fs::file_type::symlink:
        return DirectoryReader::Kind::Link;
    case fs::file_type::none:
    case fs::file_type::unknown:
        return DirectoryReader::Kind::Unknown;
    default:
        return DirectoryReader::Kind::Other;
    }
}

std::optional<DirectoryReader::Identity> identityOf(const fs::path &folder)
{
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return std::nullopt;
    const fs::path real = fs::canonical(folder, error);
    if (error)
        return std::nullopt;
    return DirectoryReader::Identity{0, 0, utf8Of(real)};
}

} // namespace

struct DirectoryReader::Private
{
    fs::path folder;
    bool open = false;
    Identity identity;
    std::string names; // NUL after each, so the views stay where they are
    std::vector<Entry> entries;
};

DirectoryReader::DirectoryReader() : d(std::make_unique<Private>()) {}

DirectoryReader::~DirectoryReader() = default;

bool DirectoryReader::open(const std::string &path)
{
    close();
    d->entries.clear();
    d->folder = pathOf(path);
    const std::optional<Identity> identity = identityOf(d->folder);
    d->identity = identity.value_or(Identity{});
    d->open = identity.has_value();
    return d->open;
}

const DirectoryReader::Identity &DirectoryReader::identity() const
{
    return d->identity;
}

bool DirectoryReader::read()
{
    d->entries.clear();
    d->names.clear();
    if (!d->open)
        return false;
    std::error_code error;
    fs::directory_iterator it(d->folder, error);
    if (error)
        return false;
    std::vector<std::pair<std::size_t, Kind>> found;
    for (const fs::directory_entry &entry : it) {
        found.emplace_back(d->names.size(), kindOf(entry));
        d->names += utf8Of(entry.path().filename());
        d->names.push_back('\0');
    }
    for (const auto &[offset, kind] : found)
        d->entries.push_back({std::string_view(d->names.c_str() + offset), kind});
    return true;
}

void DirectoryReader::close()
{
    d->open = false;
}

const std::vector<DirectoryReader::Entry> &DirectoryReader::entries() const
{
    return d->entries;
}

std::optional<DirectoryReader::Target> DirectoryReader::target(std::string_view name) const
{
    std::error_code error;
    const fs::path path = d->folder / pathOf(name);
    const fs::file_status status = fs::status(path, error);
    if (error)
        return std::nullopt;
    Target target;
    target.folder = fs::is_directory(status);
    target.file = fs::is_regular_file(status);
    if (target.file) {
        const auto size = fs::file_size(path, error);
        target.size = error ? 0 : static_cast<std::int64_t>(size);
    }
    return target;
}

std::optional<DirectoryReader::Identity> DirectoryReader::identify(const std::string &path)
{
    return identityOf(pathOf(path));
}

} // namespace vimbrel
