#pragma once

#include <QString>

class QFile;

namespace vimbrel {

// Opening a file only to read it when it is a regular file. A named pipe standing where a
// picture was would otherwise block the open until some writer comes, and a device could
// hand out endless bytes.
namespace RegularFile {

// Opens path into file (read only, unbuffered) without blocking. false, with file closed,
// when path is anything but a regular file (links followed) or cannot be opened.
bool open(QFile &file, const QString &path);

} // namespace RegularFile

} // namespace vimbrel
