#include "folders/regularfile.h"

#include <QFile>
#include <QFileInfo>

namespace vimbrel {

bool RegularFile::open(QFile &file, const QString &path)
{
    file.close();
    // Where pipes and devices have no names among the files, a check before opening will do.
    if (!QFileInfo(path).isFile())
        return false;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

} // namespace vimbrel
