#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>

#include <optional>

class QIODevice;

namespace vimbrel {

// The text chunks of PNG files, read and written at the byte level: thumbnails are checked by
// their texts without decoding them, and ours carry plain tEXt chunks ahead of the picture data,
// where every reader finds them.
namespace PngText {

using Texts = QHash<QByteArray, QByteArray>;

// The tEXt and zTXt texts of a whole PNG (signature, header first, end chunk at the very end);
// none for anything else. With chunkData, also the data of the first chunk of chunkType (null
// when there is none).
[[nodiscard]] std::optional<Texts> read(const QByteArray &png, const QByteArray &chunkType = {},
                                        QByteArray *chunkData = nullptr);

// The PNG with tEXt chunks for the texts inserted right after its header, and a chunk of the
// given type before its end; empty when the bytes are no PNG.
[[nodiscard]] QByteArray withTexts(const QByteArray &png,
                                   const QList<QPair<QByteArray, QByteArray>> &texts,
                                   const QByteArray &chunkType = {},
                                   const QByteArray &chunkData = {});

// false when a chunk ahead of the picture data claims more bytes than the file holds: the
// decoder would spend seconds reading past the end of such a damaged file. The file is read
// from its start, chunk headers only.
[[nodiscard]] bool chunksFit(QIODevice &file);

} // namespace PngText

} // namespace vimbrel
