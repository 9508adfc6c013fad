#pragma once

#include <QtGlobal>

#include <memory>

namespace vimbrel {

// While it lives, writes that would make any file of this process larger than the limit fail,
// as on a full disk. active() is false where the system offers no such limit.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    [[nodiscard]] bool active() const { return m_saved != nullptr; }

private:
    struct Saved;
    std::unique_ptr<Saved> m_saved;
};

} // namespace vimbrel
