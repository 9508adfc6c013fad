#include "gallery/imagelist.h"

namespace vimbrel {

ImageList::ImageList() : m_entries(Slots) {}

void ImageList::reset()
{
    // The slots keep their old paths; only the count says which entries are current. The
    // text keeps its capacity, since the next collection usually has a similar size.
    m_count = 0;
    m_text.resize(0);
}

bool ImageList::append(const QString &path)
{
    return append(QString(path));
}

bool ImageList::append(QString &&path)
{
    if (isFull())
        return false;
    m_text += path;
    m_text += QLatin1String("\r\n");
    m_entries[static_cast<size_t>(m_count)] = std::move(path);
    ++m_count;
    return true;
}

const QString &ImageList::at(int index) const
{
    static const QString none;
    if (index < 0 || index >= Slots)
        return none;
    return m_entries[static_cast<size_t>(index)];
}

} // namespace vimbrel
