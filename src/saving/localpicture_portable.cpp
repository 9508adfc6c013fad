#include "saving/localpicture.h"

#include <QFile>
#include <QFileInfo>

namespace vimbrel {

std::optional<LocalPicture> LocalPicture::read(const QString &path, qint64 largest)
{
    // Where pipes and devices have no names among the files, a check before opening will do.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > largest)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    LocalPicture picture;
    picture.permissions = file.permissions();
    picture.bytes = file.read(largest + 1);
    if (picture.bytes.size() > largest || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return picture;
}

} // namespace vimbrel
