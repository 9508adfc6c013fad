#pragma once

#include <QStringView>

// A name is a picture when its extension (the text after its last ".", or the whole name when
// it has none) is bmp, jpg, jpeg, gif, png, tif or tiff, in any letter case.
[[nodiscard]] bool isPictureName(QStringView fileName);
