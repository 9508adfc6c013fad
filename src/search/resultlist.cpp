#include "search/resultlist.h"

namespace vimbrel {

void ResultList::clear()
{
    m_entries.clear();
}

bool ResultList::append(const QString &address)
{
    if (m_entries.size() >= capacity)
        return false;
    m_entries.append(address);
    return true;
}

int ResultList::count() const
{
    return int(m_entries.size());
}

QString ResultList::at(int index) const
{
    return index >= 0 && index < m_entries.size() ? m_entries.at(index) : QString();
}

const QStringList &ResultList::entries() const
{
    return m_entries;
}

} // namespace vimbrel
