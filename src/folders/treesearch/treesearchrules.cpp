#include "folders/treesearch/treesearchrules.h"

#include <cstddef>

namespace vimbrel {

namespace {

template <typename Char> bool recyclePrefix(const Char *name, std::size_t length)
{
    static constexpr char Prefix[] = "$RECYCLE";
    constexpr std::size_t PrefixLength = sizeof(Prefix) - 1;
    if (length < PrefixLength)
        return false;
    for (std::size_t i = 0; i < PrefixLength; ++i) {
        auto c = static_cast<char32_t>(name[i]);
        if (c >= 'a' && c <= 'z')
            c -= 'a' - 'A';
        if (c != static_cast<char32_t>(Prefix[i]))
            return false;
    }
    return true;
}

} // namespace

bool TreeSearchRules::entersFolder(std::string_view name)
{
    return !name.empty() && name.front() != '.';
}

bool TreeSearchRules::isLargeEnough(std::int64_t size)
{
    return size > MinBytes;
}

bool TreeSearchRules::startsWithRecycle(std::string_view name)
{
    return recyclePrefix(name.data(), name.size());
}

bool TreeSearchRules::startsWithRecycle(QStringView name)
{
    return recyclePrefix(name.utf16(), static_cast<std::size_t>(name.size()));
}

bool TreeSearchRules::insideRecycleBin(const QString &folder, const QStringList &volumeRoots)
{
    for (const QString &volume : volumeRoots) {
        if (!folder.startsWith(volume, Qt::CaseSensitive) || folder.size() == volume.size())
            continue;
        if (startsWithRecycle(QStringView(folder).mid(volume.size())))
            return true;
    }
    return false;
}

bool TreeSearchRules::isKernelFileSystem(const QByteArray &type)
{
    static const QByteArrayList kernelTypes = {
        "proc",       "sysfs",   "devtmpfs",  "devpts", "cgroup",      "cgroup2",
        "securityfs", "debugfs", "tracefs",   "pstore", "bpf",         "configfs",
        "fusectl",    "mqueue",  "hugetlbfs", "autofs", "binfmt_misc", "efivarfs"};
    return kernelTypes.contains(type);
}

QString TreeSearchRules::shownFolder(QString folder)
{
    if (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

} // namespace vimbrel
