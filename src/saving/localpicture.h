#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

namespace vimbrel {

// A picture file a local page shows, read for saving. Only a regular file is read (a named pipe
// would block the reader, a device hand out endless bytes), it is opened without waiting, and
// no more than a download may bring is read.
struct LocalPicture
{
    QByteArray bytes;
    // Who may read the file; a copy of it is never readable by more.
    QFileDevice::Permissions permissions;

    // nullopt when path is no regular file, cannot be read or holds more than largest bytes.
    [[nodiscard]] static std::optional<LocalPicture> read(const QString &path, qint64 largest);
};

} // namespace vimbrel
