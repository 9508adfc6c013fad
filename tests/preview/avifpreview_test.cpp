#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "preview/previewmaker.h"

using namespace vimbrel;

// Without an image plugin for AVIF, Qt cannot read one; the browser can, so it gets the file.
TEST(AvifPreview, APictureOnlyTheBrowserReadsGoesToItAsItIs)
{
    QTemporaryDir dir;
    QByteArray avif("\0\0\0\x1c"
                    "ftypavif\0\0\0\0avifmif1miaf",
                    28);
    avif += QByteArray(200, '\x7f'); // no box Qt could make sense of
    const QString path = dir.filePath(QStringLiteral("phone.avif"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(avif);
    file.close();

    const std::optional<Preview> preview = PreviewMaker().make(path, 120);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->mimeType, QByteArray("image/avif"));
    EXPECT_EQ(preview->bytes, avif);

    // Anything else Qt cannot read still gives nothing.
    const QString junk = dir.filePath(QStringLiteral("junk.webp"));
    QFile other(junk);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(QByteArray(64, 'x'));
    other.close();
    EXPECT_FALSE(PreviewMaker().make(junk, 120));
}
