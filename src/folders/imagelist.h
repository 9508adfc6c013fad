#pragma once

#include <QString>

#include <string_view>
#include <vector>

namespace vimbrel {

// The pictures of the current collection, in collection order, with the list text (every path
// followed by CR LF) that the list export writes. A new collection resets the count and the
// text but leaves the earlier entries in their slots; only entries below count() are shown.
class ImageList
{
public:
    static constexpr int Slots = 20001;

    ImageList();

    void reset();
    // false (and nothing stored) when every slot is taken.
    bool append(const QString &path);
    bool append(QString &&path);
    // folder (ending in "/") followed by a name as the file system stores it, its bytes kept
    // (FileNames::fromBytes). The slot's own storage is reused, so a listing of thousands of
    // pictures allocates almost nothing.
    bool appendInFolder(const QString &folder, std::string_view storedName);

    [[nodiscard]] int count() const { return m_count; }
    [[nodiscard]] bool isEmpty() const { return m_count == 0; }
    [[nodiscard]] bool isFull() const { return m_count >= Slots; }
    // Any slot, including ones left from an earlier collection; empty text when never used.
    [[nodiscard]] const QString &at(int index) const;
    [[nodiscard]] const QString &listText() const { return m_text; }

private:
    std::vector<QString> m_entries;
    int m_count = 0;
    QString m_text;
};

} // namespace vimbrel
