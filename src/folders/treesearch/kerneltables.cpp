#include "folders/treesearch/kerneltables.h"

#include <algorithm>
#include <utility>

#include "platform/filenames.h"

namespace vimbrel {

namespace {

bool within(const std::string &path, const std::string &folder)
{
    return (path + '/').compare(0, folder.size(), folder) == 0;
}

} // namespace

KernelTables::KernelTables(const QStringList &folders, DirectoryReader::Identity start)
    : m_start(std::move(start))
{
    for (const QString &folder : folders) {
        const std::optional<DirectoryReader::Identity> table =
            DirectoryReader::identify(FileNames::toBytes(folder).toStdString());
        if (!table)
            continue;
        m_tables.push_back(*table);
        if (table->device != 0 && table->device != m_start.device)
            m_devices.push_back(table->device);
        if (!table->realPath.empty()) {
            std::string real = table->realPath;
            if (real.back() != '/')
                real.push_back('/');
            // Searching inside a table asked for it.
            if (!within(m_start.realPath, real))
                m_realPaths.push_back(std::move(real));
        }
    }
}

bool KernelTables::excludes(const DirectoryReader::Identity &reached) const
{
    if (reached == m_start)
        return false;
    if (std::find(m_tables.begin(), m_tables.end(), reached) != m_tables.end())
        return true;
    if (reached.device != 0 && reached.device != m_start.device &&
        std::find(m_devices.begin(), m_devices.end(), reached.device) != m_devices.end())
        return true;
    if (!reached.realPath.empty()) {
        for (const std::string &real : m_realPaths) {
            if (within(reached.realPath, real))
                return true;
        }
    }
    return false;
}

} // namespace vimbrel
