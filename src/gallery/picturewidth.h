#pragma once

#include <QString>

namespace vimbrel {

// The pixel width a picture is shown at, read from its header without decoding it (JPEG SOF,
// PNG IHDR, GIF, BMP; other formats through QImageReader): its stored width, or its stored
// height when its EXIF orientation turns it a quarter. 0 when it cannot be told.
[[nodiscard]] int pictureWidth(const QString &path);

} // namespace vimbrel
