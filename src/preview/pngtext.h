#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>

#include <optional>

namespace vimbrel {

// The text chunks of PNG files, read and written at the byte level: thumbnails are checked by
// their texts without decoding them, and ours carry plain tEXt chunks ahead of the picture data,
// where every reader finds them.
namespace PngText {

using Texts = QHash<QByteArray, QByteArray>;

// The tEXt and zTXt texts of a whole PNG (signature, header first, end chunk at the very end);
// none for anything else.
[[nodiscard]] std::optional<Texts> read(const QByteArray &png);

// The PNG with tEXt chunks for the texts inserted right after its header; empty when the bytes
// are no PNG.
[[nodiscard]] QByteArray withTexts(const QByteArray &png,
                                   const QList<QPair<QByteArray, QByteArray>> &texts);

} // namespace PngText

} // namespace vimbrel
