// WebP and AVIF pictures are listed and searched like the other formats.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>

#include "folders/folderlisting.h"
#include "folders/imagelist.h"
#include "folders/treesearch/treesearch.h"
#include "gallery/picturewidth.h"

using namespace vimbrel;

namespace {

bool write(const QString &path, qint64 size)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(size);
}

QStringList entriesOf(const ImageList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.at(i);
    return out;
}

} // namespace

TEST(NewFormats, WebPAndAvifAreListedAndFoundByTheTreeSearch)
{
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    const qint64 big = TreeSearch::MinBytes + 1;
    for (const char *name :
         {"a.webp", "B.AVIF", "c.jpg", "d.heic", "e.jxl", "f.webp.txt", "sub/g.avif", "sub/h.WebP"})
        ASSERT_TRUE(write(root + QString::fromLatin1(name), big)) << name;

    ImageList listed;
    listFolder(root, listed);
    EXPECT_EQ(entriesOf(listed), QStringList({root + "a.webp", root + "B.AVIF", root + "c.jpg"}));

    ImageList found;
    std::atomic<bool> stop{false};
    TreeSearch::search(root, found, stop);
    EXPECT_EQ(entriesOf(found), QStringList({root + "a.webp", root + "B.AVIF", root + "c.jpg",
                                             root + "sub/g.avif", root + "sub/h.WebP"}));
}

// Without an image plugin for AVIF the page still lays it out by its width, from its header.
TEST(NewFormats, AnAvifPicturesWidthComesFromItsHeader)
{
    QTemporaryDir dir;
    QByteArray avif("\0\0\0\x1c"
                    "ftypavif\0\0\0\0avifmif1miaf",
                    28);
    avif += QByteArray("\0\0\0\x30meta\0\0\0\0", 12) + QByteArray(20, '\0');
    avif += QByteArray("\0\0\0\x14ispe\0\0\0\0\0\0\x0f\xa0\0\0\x0b\xb8", 20); // 4000 x 3000
    avif += QByteArray(100, '\x7f');
    const QString path = dir.filePath(QStringLiteral("phone.avif"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(avif);
    file.close();
    EXPECT_EQ(pictureWidth(path), 4000);
}
