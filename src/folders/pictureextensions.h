#pragma once

#include <QStringView>

#include <string_view>

namespace vimbrel {

// A name is a picture when its extension (the text after its last ".", or the whole name when
// it has none) is bmp, jpg, jpeg, gif, png, tif or tiff, or webp or avif, in any letter case.
[[nodiscard]] bool isPictureName(QStringView fileName);

// The same test on a file name as the file system stores it (UTF-8 bytes); the extensions are
// plain ASCII, so no decoding is needed.
[[nodiscard]] bool isPictureName(std::string_view fileName);

} // namespace vimbrel
