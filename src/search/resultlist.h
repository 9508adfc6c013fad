#pragma once

#include <QString>
#include <QStringList>

namespace vimbrel {

// The program's result picture list: picture addresses in document order, at most 6001 of them.
class ResultList
{
public:
    static constexpr int capacity = 6001;

    void clear();
    // false, and nothing stored, when the list is full.
    bool append(const QString &address);
    [[nodiscard]] int count() const;
    // Empty outside 0 .. count - 1.
    [[nodiscard]] QString at(int index) const;
    [[nodiscard]] const QStringList &entries() const;

private:
    QStringList m_entries;
};

} // namespace vimbrel
