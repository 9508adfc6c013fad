#pragma once

#include <QString>
#include <QStringList>

namespace vimbrel {

// What the detail window writes and shows for one picture.
namespace DetailPage {

// The lines of img.htm (without line ends; the page file adds CR LF to each): the picture at
// its own size, centred on a black page, followed by an empty line.
[[nodiscard]] QStringList lines(const QString &address);
// The window caption while the picture is shown.
[[nodiscard]] QString caption(const QString &address);
// The name the save dialog suggests: the last part of the address's path, without anything a
// file system would read as a folder or refuse; "picture" when nothing usable is left.
[[nodiscard]] QString suggestedFileName(const QString &address);

} // namespace DetailPage

} // namespace vimbrel
