#include "folders/imagelist.h"

#include <algorithm>

#include "platform/filenames.h"

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

bool ImageList::appendInFolder(const QString &folder, std::string_view storedName)
{
    if (isFull())
        return false;
    QString &slot = m_entries[static_cast<size_t>(m_count)];
    const auto nameLength = static_cast<qsizetype>(storedName.size());
    // UTF-8 never takes more UTF-16 units than bytes.
    slot.resize(folder.size() + nameLength);
    QChar *out = slot.data();
    out = std::copy(folder.constBegin(), folder.constEnd(), out);
    const bool ascii = std::all_of(storedName.begin(), storedName.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        for (char c : storedName)
            *out++ = QLatin1Char(c);
    } else {
        const QChar *end =
            FileNames::decodeInto(out, QByteArrayView(storedName.data(), nameLength));
        slot.truncate(end - slot.constData());
    }
    m_text += slot;
    m_text += QLatin1String("\r\n");
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
