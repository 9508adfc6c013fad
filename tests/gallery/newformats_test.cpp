// WebP and AVIF pictures are listed and searched like the other formats.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>

#include "gallery/folderlisting.h"
#include "gallery/imagelist.h"
#include "gallery/treesearch.h"

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
