#pragma once

#include <QString>

namespace vimbrel {

// The stored pixel width of a picture, read from its header without decoding it (JPEG SOF,
// PNG IHDR, GIF, BMP; other formats through QImageReader). 0 when it cannot be told.
[[nodiscard]] int pictureWidth(const QString &path);

} // namespace vimbrel
