// Previews and the shared thumbnail cache: the naming other programs use, what counts as a
// current thumbnail, the sizes, and the files that must give no picture.
#include "preview/previewmaker.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "preview/pngtext.h"
#include "preview/thumbnailcache.h"
#include "preview/viewcopycache.h"
#include "previewfixtures.h"

using namespace vimbrel;
using namespace PreviewFixtures;

namespace {

QImage decode(const QByteArray &bytes)
{
    return QImage::fromData(bytes);
}

qint64 mtimeOf(const QString &path)
{
    return QFileInfo(path).lastModified().toSecsSinceEpoch();
}

// A thumbnail as another program would write it: a plain colour and the given URI and time.
QByteArray foreignThumbnail(QSize size, const QByteArray &uri, qint64 mtime)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(250, 200, 0));
    image.setText(QStringLiteral("Thumb::URI"), QString::fromLatin1(uri));
    image.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class Previews : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString &name) const { return dir.filePath(name); }
    // Paints the picture over in blue and dates it two minutes on, as a later edit leaves it.
    static bool repaintBlue(const QString &picture)
    {
        if (!writeColoured(picture, QSize(1000, 500), Qt::blue))
            return false;
        QFile file(picture);
        return file.open(QIODevice::ReadWrite) &&
               file.setFileTime(QDateTime::currentDateTime().addSecs(120),
                                QFileDevice::FileModificationTime);
    }

    QTemporaryDir dir;
    ThumbnailCache cache{dir.filePath(QStringLiteral("thumbnails"))};
    ViewCopyCache copies{dir.filePath(QStringLiteral("copies"))};
    PreviewMaker maker{&cache, &copies};
};

} // namespace

TEST(ThumbnailNaming, IsTheMd5OfTheFileUri)
{
    // As GLib's g_filename_to_uri writes them, so that GNOME-family file managers share them.
    const std::pair<QString, QByteArray> uris[] = {
        {QStringLiteral("/home/me/山水 #1/a b.jpg"),
         "file:///home/me/%E5%B1%B1%E6%B0%B4%20%231/a%20b.jpg"},
        {QStringLiteral("/p/[draft];2 {x}.jpg"), "file:///p/%5Bdraft%5D%3B2%20%7Bx%7D.jpg"},
        {QStringLiteral("/p/a!$&'()*+,-.:=@_~z.png"), "file:///p/a!$&'()*+,-.:=@_~z.png"},
        {QStringLiteral("/p/\"%<>?\\^`|100%.png"),
         "file:///p/%22%25%3C%3E%3F%5C%5E%60%7C100%25.png"},
    };
    for (const auto &[path, expected] : uris)
        EXPECT_EQ(ThumbnailCache::fileUri(path), expected) << path.toStdString();

    const QString picture = QStringLiteral("/home/me/山水 #1/a b.jpg");
    const QByteArray uri = ThumbnailCache::fileUri(picture);
    EXPECT_EQ(ThumbnailCache::thumbnailName(picture),
              QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
                  QStringLiteral(".png"));
    ThumbnailCache cache(QStringLiteral("/c/thumbnails"));
    EXPECT_EQ(cache.thumbnailPath(picture, 512),
              QStringLiteral("/c/thumbnails/x-large/") + ThumbnailCache::thumbnailName(picture));
}

TEST(ThumbnailNaming, SizesAndBoxes)
{
    struct Row
    {
        int box;
        std::optional<int> size;
        QString folder;
    };
    const Row rows[] = {
        {1, 128, QStringLiteral("normal")},       {128, 128, QStringLiteral("normal")},
        {129, 256, QStringLiteral("large")},      {424, 512, QStringLiteral("x-large")},
        {1024, 1024, QStringLiteral("xx-large")}, {1025, std::nullopt, QString()}};
    for (const Row &row : rows) {
        EXPECT_EQ(ThumbnailCache::sizeFor(row.box), row.size) << row.box;
        if (row.size) {
            EXPECT_EQ(ThumbnailCache::folderName(*row.size), row.folder) << row.box;
        }
    }

    // The box a picture needs to be `width` across: tall pictures need a taller box; none
    // when the picture is no wider than asked.
    struct BoxRow
    {
        QSize size;
        int width;
        int box;
    };
    const BoxRow boxes[] = {{{4000, 3000}, 424, 424}, {{3000, 4000}, 300, 400},
                            {{4000, 3000}, 4000, 0},  {{4000, 3000}, 5000, 0},
                            {{4000, 3000}, 0, 0},     {{100, 10000}, 99, 9900},
                            {{100, 10000}, 100, 0}};
    for (const BoxRow &row : boxes) {
        EXPECT_EQ(PreviewMaker::boxFor(row.size, row.width), row.box)
            << row.size.width() << "x" << row.size.height() << " at " << row.width;
    }
}

TEST_F(Previews, OursAreReadableByTheSharedNaming)
{
    const QString picture = path(QStringLiteral("photo 1.jpg"));
    ASSERT_TRUE(writeJpeg(picture, QSize(2000, 1000)));
    const auto preview = maker.make(picture, 1000);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->mimeType, QByteArray("image/jpeg"));     // small for the view
    EXPECT_EQ(decode(preview->bytes).size(), QSize(1000, 500)); // as wide as asked

    // Where a file manager looks for it, with what it checks.
    const QString stored = cache.thumbnailPath(picture, 512);
    ASSERT_TRUE(stored.contains(QStringLiteral("/x-large/")));
    EXPECT_EQ(QImageReader(stored).format(), QByteArray("png"));
    const QImage thumbnail(stored);
    EXPECT_EQ(thumbnail.size(), QSize(512, 256));
    EXPECT_EQ(thumbnail.text(QStringLiteral("Thumb::URI")),
              QString::fromLatin1(QUrl::fromLocalFile(picture).toEncoded()));
    EXPECT_EQ(thumbnail.text(QStringLiteral("Thumb::MTime")), QString::number(mtimeOf(picture)));
    // A plain thumbnail: the view's copy is kept in the program's own cache, not in it.
    QFile plain(stored);
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
    const QByteArray plainBytes = plain.readAll();
    EXPECT_FALSE(plainBytes.contains(preview->bytes.left(64)));
    const auto mode = [](const QString &p) { return int(QFileInfo(p).permissions()) & 0x7077; };
    EXPECT_EQ(mode(stored), int(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(mode(cache.root()),
              int(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    EXPECT_EQ(QDir(QFileInfo(stored).path()).entryList(QDir::Files).size(), 1); // no temp left

    // Asked again: taken from the cache, which stays as it was.
    QFile file(stored);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray thumbnailBytes = file.readAll();
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                 QFileDevice::FileModificationTime));
    file.close();
    const auto again = maker.make(picture, 1000); // the view's copy, kept
    ASSERT_TRUE(again);
    EXPECT_EQ(again->bytes, preview->bytes);
    const auto narrower = maker.make(picture, 300); // made from the thumbnail
    ASSERT_TRUE(narrower);
    EXPECT_EQ(decode(narrower->bytes).size(), QSize(300, 150));
    EXPECT_LT(QFileInfo(stored).lastModified(), QDateTime::currentDateTime().addSecs(-3600));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), thumbnailBytes);
}

TEST_F(Previews, UsesAFileManagersThumbnailOfTheSizeOrLarger)
{
    const QString picture = path(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(writeJpeg(picture, QSize(2000, 1500)));
    const QByteArray theirs =
        foreignThumbnail({256, 192}, ThumbnailCache::fileUri(picture), mtimeOf(picture));
    ASSERT_TRUE(cache.store(picture, 256, theirs));

    const auto small = maker.make(picture, 200); // fits the "large" box: theirs, yellow
    ASSERT_TRUE(small);
    EXPECT_EQ(decode(small->bytes).size(), QSize(200, 150));
    const QColor shown = decode(small->bytes).pixelColor(100, 100);
    EXPECT_GT(shown.red(), 230);
    EXPECT_GT(shown.green(), 180);
    EXPECT_LT(shown.blue(), 40);
    const auto big = maker.make(picture, 400); // more than theirs holds: made anew
    ASSERT_TRUE(big);
    EXPECT_EQ(decode(big->bytes).size(), QSize(400, 300));
    EXPECT_LT(decode(big->bytes).pixelColor(100, 100).red(), 150);
}

// Overwrites the picture with bytes of no picture, of the same length and behind the same
// modification time: whatever shows it now came from a cache.
void spoilBehindItsTime(const QString &picture)
{
    const QDateTime mtime = QFileInfo(picture).lastModified();
    QFile file(picture);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 size = file.size();
    ASSERT_EQ(file.write(QByteArray(size, 'x')), size);
    ASSERT_TRUE(file.flush());
    ASSERT_TRUE(file.setFileTime(mtime, QFileDevice::FileModificationTime));
}

// The view's copy is kept in the program's own cache, at any size, where the page shown again
// finds it; the thumbnail, made from that copy, in the largest folder of the shared cache the
// copy fills, where the layouts whose copies share a folder share it.
TEST_F(Previews, APreviewIsKeptInTheLargestFolderItsViewCopyFills)
{
    struct Row
    {
        QSize source;
        QList<int> widths;
        int folder; // the one thumbnail made
        QSize thumbnail;
        bool transparent = false;
        int made = 0; // the copy's width, when not the width asked
    };
    const Row rows[] = {
        {{4000, 3000}, {280}, 256, {256, 192}},
        {{4000, 3000}, {700, 800}, 512, {512, 384}},
        {{3000, 2000}, {1024}, 1024, {1024, 683}},
        {{900, 600}, {200, 180}, 128, {128, 85}},
        // four a row: 1/8 gives 500 pixels, three quarters of the 606 asked and enough
        {{4000, 3000}, {606}, 256, {256, 192}, false, 500},
        {{4000, 3000}, {100}, 0, {}}, // fills no folder
        {{1500, 1000}, {260, 300}, 256, {256, 170}, true},
        // one a row: twice the width would need the full size, half of it the shown width does
        {{4000, 3000}, {2600}, 0, {}, false, 2000},
    };
    int n = 0;
    for (const Row &row : rows) {
        const QString picture =
            path(QStringLiteral("p%1.%2").arg(n++).arg(row.transparent ? "tif" : "jpg"));
        if (row.transparent) {
            QImage image(row.source, QImage::Format_ARGB32);
            image.fill(QColor(20, 160, 90, 128));
            ASSERT_TRUE(image.save(picture));
        } else {
            ASSERT_TRUE(writeJpeg(picture, row.source));
        }
        QList<QByteArray> first;
        for (const int width : row.widths) {
            const auto preview = maker.make(picture, width);
            ASSERT_TRUE(preview) << width;
            EXPECT_EQ(decode(preview->bytes).width(), row.made ? row.made : width);
            first << preview->bytes;
        }
        for (const int size : ThumbnailCache::Sizes) {
            const QImage kept(cache.thumbnailPath(picture, size));
            EXPECT_EQ(kept.size(), size == row.folder ? row.thumbnail : QSize(0, 0))
                << row.widths.first() << " in " << size;
        }
        spoilBehindItsTime(picture);
        for (qsizetype i = 0; i < row.widths.size(); ++i) {
            const auto again = maker.make(picture, row.widths[i]);
            ASSERT_TRUE(again) << row.widths[i];
            EXPECT_EQ(again->bytes, first[i]) << row.widths[i];
        }
    }
}

TEST_F(Previews, AThumbnailThatIsNotCurrentIsRemade)
{
    const QString picture = path(QStringLiteral("p.jpg"));
    ASSERT_TRUE(writeJpeg(picture, QSize(1200, 900)));
    const QByteArray uri = ThumbnailCache::fileUri(picture);
    const qint64 mtime = mtimeOf(picture);
    const QByteArray good = foreignThumbnail({128, 96}, uri, mtime);
    struct Row
    {
        const char *what;
        QByteArray planted;
    };
    const Row rows[] = {
        {"not a PNG", QByteArray("\xFF\xD8\xFF\xE0 not a thumbnail at all")},
        {"another file's",
         foreignThumbnail({128, 96}, ThumbnailCache::fileUri(path("q.jpg")), mtime)},
        {"an older time", foreignThumbnail({128, 96}, uri, mtime - 60)},
        {"no time",
         [] {
             QImage image(10, 10, QImage::Format_RGB32);
             image.fill(Qt::red);
             QByteArray b;
             QBuffer buf(&b);
             buf.open(QIODevice::WriteOnly);
             image.save(&buf, "PNG");
             return b;
         }()},
        {"cut off", good.left(good.size() - 6)},
    };
    PreviewMaker thumbnailsOnly(&cache);
    for (const Row &row : rows) {
        ASSERT_TRUE(cache.store(picture, 128, row.planted)) << row.what;
        const auto preview = thumbnailsOnly.make(picture, 200);
        ASSERT_TRUE(preview) << row.what;
        EXPECT_EQ(decode(preview->bytes).size(), QSize(150, 113)) << row.what; // 1/8
        QFile stored(cache.thumbnailPath(picture, 128));
        ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
        EXPECT_TRUE(ThumbnailCache::isThumbnailOf(stored.readAll(), uri, mtime)) << row.what;
    }

#ifdef Q_OS_UNIX
    // A pipe in its place would block a plain open until some writer came.
    const QString thumbnail = cache.thumbnailPath(picture, 128);
    ASSERT_TRUE(QFile::remove(thumbnail));
    ASSERT_EQ(mkfifo(QFile::encodeName(thumbnail).constData(), 0600), 0);
    ASSERT_TRUE(thumbnailsOnly.make(picture, 200));
    EXPECT_TRUE(QFileInfo(thumbnail).isFile());
#endif
}

TEST_F(Previews, AChangedFileGetsANewPreview)
{
    const QString picture = path(QStringLiteral("p.jpg"));
    ASSERT_TRUE(writeColoured(picture, QSize(1000, 500), Qt::red));
    const auto first = maker.make(picture, 200);
    ASSERT_TRUE(first);
    EXPECT_GT(decode(first->bytes).pixelColor(10, 10).red(), 240);

    ASSERT_TRUE(repaintBlue(picture));
    const auto second = maker.make(picture, 200);
    ASSERT_TRUE(second);
    EXPECT_GT(decode(second->bytes).pixelColor(10, 10).blue(), 240);
    EXPECT_LT(decode(second->bytes).pixelColor(10, 10).red(), 15);
}

TEST_F(Previews, APictureChangedWhileItsPreviewIsMadeIsShownButNotKept)
{
    const QString picture = path(QStringLiteral("p.jpg"));
    ASSERT_TRUE(writeColoured(picture, QSize(1000, 500), Qt::red));
    auto preview = maker.make(picture, 200, PreviewMaker::Keep::Later);
    ASSERT_TRUE(preview);
    ASSERT_TRUE(preview->keep);
    // Rewritten before the thumbnail is written.
    ASSERT_TRUE(repaintBlue(picture));
    preview->keep();
    for (const int size : ThumbnailCache::Sizes)
        EXPECT_FALSE(QFileInfo::exists(cache.thumbnailPath(picture, size))) << size;
    EXPECT_GT(decode(preview->bytes).pixelColor(10, 10).red(), 240);
}

TEST_F(Previews, ARotatedJpegIsUpright)
{
    // Stored landscape, top half red; EXIF orientation 6 turns it a quarter clockwise, so the
    // picture is shown portrait with the red half on the right.
    const QString picture = path(QStringLiteral("turned.jpg"));
    ASSERT_TRUE(writeRotatedJpeg(picture, QSize(800, 400)));
    const auto preview = maker.make(picture, 100);
    ASSERT_TRUE(preview);
    const QImage image = decode(preview->bytes);
    EXPECT_EQ(image.size(), QSize(100, 200));
    EXPECT_GT(image.pixelColor(92, 100).red(), 200);
    EXPECT_GT(image.pixelColor(8, 100).blue(), 200);
    EXPECT_EQ(QImage(cache.thumbnailPath(picture, 128)).size(), QSize(64, 128));
}

TEST_F(Previews, WhatTheBrowserShowsGoesWholeAndTheRestAsPng)
{
    struct Row
    {
        QString name;
        QSize source;
        int width;
        QByteArray mimeType;
        bool original;
        QSize size;
    };
    const Row rows[] = {
        {QStringLiteral("a.jpg"), {300, 200}, 0, "image/jpeg", true, {300, 200}},
        {QStringLiteral("b.jpg"), {300, 200}, 300, "image/jpeg", true, {300, 200}},
        {QStringLiteral("c.bmp"), {300, 200}, 1000, "image/bmp", true, {300, 200}},
        {QStringLiteral("d.tif"), {300, 200}, 0, "image/jpeg", false, {300, 200}},
        {QStringLiteral("e.tiff"), {300, 200}, 100, "image/jpeg", false, {100, 67}},
        // beyond the largest cache size: made for the width asked
        {QStringLiteral("f.tif"), {3000, 2000}, 2400, "image/jpeg", false, {2400, 1600}},
        // transparency kept
        {QStringLiteral("g.tif"), {3000, 2000}, 200, "image/png", false, {200, 133}},
        // a preview only where it spares work: a JPEG at a reduced scale, down to the half of
        // the width asked; other formats the browser reads go whole at any size
        {QStringLiteral("h.jpg"), {1800, 1000}, 1000, "image/jpeg", false, {900, 500}},
        {QStringLiteral("i.jpg"), {1800, 1000}, 1799, "image/jpeg", false, {900, 500}},
        {QStringLiteral("j.jpg"), {1800, 1000}, 400, "image/jpeg", false, {400, 222}},
        {QStringLiteral("k.png"), {3000, 2000}, 200, "image/png", true, {3000, 2000}},
        {QStringLiteral("l.bmp"), {1500, 1000}, 200, "image/bmp", true, {1500, 1000}},
        {QStringLiteral("m.webp"), {1500, 1000}, 200, "image/webp", true, {1500, 1000}},
    };
    for (const Row &row : rows) {
        const QString picture = path(row.name);
        QImage image(row.source, row.name.startsWith(u'g') || row.name.startsWith(u'k')
                                     ? QImage::Format_ARGB32
                                     : QImage::Format_RGB32);
        image.fill(QColor(20, 160, 90, 128));
        ASSERT_TRUE(image.save(picture)) << row.name.toStdString();
        const auto preview = maker.make(picture, row.width);
        ASSERT_TRUE(preview) << row.name.toStdString();
        EXPECT_EQ(preview->mimeType, row.mimeType) << row.name.toStdString();
        QFile file(picture);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(preview->bytes == file.readAll(), row.original) << row.name.toStdString();
        EXPECT_EQ(decode(preview->bytes).size(), row.size) << row.name.toStdString();
    }
}

TEST_F(Previews, BadFilesGiveNoPictureAtOnce)
{
    const QString garbage = path(QStringLiteral("garbage.jpg"));
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xFF\xD8\xFF this is no picture");
    file.close();
    const QString huge = path(QStringLiteral("huge.png"));
    ASSERT_TRUE(writeHugePngHeader(huge, 30000, 30000));
    const QString hugeJpeg = path(QStringLiteral("huge.jpg"));
    ASSERT_TRUE(writeHugeJpegHeader(hugeJpeg, 30000, 30000));

    for (const QString &picture :
         {garbage, huge, hugeJpeg, path(QStringLiteral("missing.jpg")), dir.path()}) {
        EXPECT_FALSE(maker.make(picture, 200)) << picture.toStdString();
        EXPECT_FALSE(maker.make(picture, 0)) << picture.toStdString();
    }
    EXPECT_TRUE(QDir(cache.root()).entryList(QDir::Files).isEmpty());
}

TEST_F(Previews, ACacheThatCannotBeWrittenStillGivesPreviews)
{
    // A file where the cache folder should be: nothing can be stored below it.
    const QString blocked = path(QStringLiteral("blocked"));
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ThumbnailCache readOnly(blocked + QStringLiteral("/thumbnails"));
    PreviewMaker memoryOnly(&readOnly);

    const QString picture = path(QStringLiteral("p.jpg"));
    ASSERT_TRUE(writeJpeg(picture, QSize(1600, 1200)));
    const auto preview = memoryOnly.make(picture, 300, PreviewMaker::Keep::Later);
    ASSERT_TRUE(preview);
    EXPECT_EQ(decode(preview->bytes).size(), QSize(300, 225));
    ASSERT_TRUE(preview->keep);
    preview->keep(); // and nothing happens
    EXPECT_FALSE(QFileInfo::exists(readOnly.root()));
}

// Qt's smooth scaling of 16-bit pictures turns half transparent into a quarter.
TEST_F(Previews, SixteenBitTransparencyStaysAsItIs)
{
    const QString picture = path(QStringLiteral("deep.tif"));
    QImage deep(QSize(800, 600), QImage::Format_RGBA64);
    deep.fill(QColor::fromRgbF(0.2f, 0.6f, 0.4f, 0.5f));
    ASSERT_TRUE(deep.save(picture));
    ASSERT_EQ(QImage(picture).format(), QImage::Format_RGBA64);
    const auto preview = maker.make(picture, 200);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->mimeType, QByteArray("image/png"));
    for (const QImage &shown :
         {decode(preview->bytes), QImage(cache.thumbnailPath(picture, 128))}) {
        ASSERT_FALSE(shown.isNull());
        const QColor colour = shown.pixelColor(shown.width() / 2, shown.height() / 2);
        EXPECT_NEAR(colour.alphaF(), 0.5, 0.02);
        EXPECT_NEAR(colour.greenF(), 0.6, 0.02);
    }
}

// A damaged file is read once: while it keeps its time and size, it gives nothing at once.
TEST_F(Previews, AFileThatGaveNothingIsNotReadAgainUntilItChanges)
{
    const QString good = path(QStringLiteral("good.jpg"));
    ASSERT_TRUE(writeJpeg(good, QSize(800, 600)));
    QFile goodFile(good);
    ASSERT_TRUE(goodFile.open(QIODevice::ReadOnly));
    const QByteArray goodBytes = goodFile.readAll();
    const QDateTime time = QDateTime::currentDateTime().addSecs(-600);
    const auto writeWithTime = [&](const QString &picture, const QByteArray &bytes,
                                   const QDateTime &at) {
        QFile file(picture);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
               file.flush() && file.setFileTime(at, QFileDevice::FileModificationTime);
    };

    const QString picture = path(QStringLiteral("p.jpg"));
    ASSERT_TRUE(writeWithTime(picture, QByteArray(goodBytes.size(), 'x'), time));
    EXPECT_FALSE(maker.make(picture, 200));
    // The same time and size: taken for the same file, not read.
    ASSERT_TRUE(writeWithTime(picture, goodBytes, time));
    EXPECT_FALSE(maker.make(picture, 200));
    // Changed: read again.
    ASSERT_TRUE(writeWithTime(picture, goodBytes, time.addSecs(1)));
    EXPECT_TRUE(maker.make(picture, 200));
}

// One that cannot be read is not taken for damaged: made readable, it shows at once.
TEST_F(Previews, AnUnreadableFileShowsOnceReadable)
{
    const QString picture = path(QStringLiteral("locked.jpg"));
    ASSERT_TRUE(writeJpeg(picture, QSize(800, 600)));
    QFile::setPermissions(picture, QFileDevice::WriteOwner);
    if (QFileInfo(picture).isReadable())
        GTEST_SKIP() << "permissions do not bind for this user";
    EXPECT_FALSE(maker.make(picture, 200));
    QFile::setPermissions(picture, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_TRUE(maker.make(picture, 200));
}

// A chunk claiming more than the file holds would have the decoder read past the end for
// seconds.
TEST(PngChunks, AChunkBeyondTheEndOfTheFileIsCaughtBeforeDecoding)
{
    QImage image(10, 10, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&out, "PNG"));
    const auto withChunk = [&png](quint32 length, const QByteArray &type,
                                  qsizetype dataBytes) -> QByteArray {
        QByteArray chunk;
        for (int shift = 24; shift >= 0; shift -= 8)
            chunk.append(char((length >> shift) & 0xFF));
        chunk += type + QByteArray(dataBytes, 'a') + QByteArray(4, '\0');
        return png.left(33) + chunk + png.mid(33); // after the header
    };
    struct Row
    {
        const char *what;
        QByteArray bytes;
        bool fits;
    };
    const Row rows[] = {
        {"a whole PNG", png, true},
        {"a text chunk in the file", withChunk(100, "tEXt", 100), true},
        {"a text chunk claiming 2 GB", withChunk(0x7FFFFFF0u, "tEXt", 100), false},
        {"a length past the end", withChunk(5000, "zTXt", 100), false},
        {"a length no chunk can have", withChunk(0x80000010u, "iTXt", 100), false},
        {"picture data cut off", png.left(png.size() - 20), true},
        {"no chunks at all", png.left(8), false},
    };
    for (const Row &row : rows) {
        QBuffer file;
        file.setData(row.bytes);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(PngText::chunksFit(file), row.fits) << row.what;
    }
}

TEST(ViewCopies, AreOwnerOnlyBoundedAndTheLeastRecentlyUsedGoFirst)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.filePath(QStringLiteral("ulvo/previews"));
    ViewCopyCache copies(root, 1000);
    const QByteArray copy(300, 'c');
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(copies.store(QStringLiteral("/p/%1.jpg").arg(i), 5, 10, 200, copy)) << i;
        // Stored some minutes apart: 0 the oldest.
        for (const QFileInfo &info : QDir(root).entryInfoList(QDir::Files)) {
            QFile f(info.filePath());
            if (info.lastModified() > now.addSecs(-60) && f.open(QIODevice::ReadWrite))
                f.setFileTime(now.addSecs(-600 + i * 60), QFileDevice::FileModificationTime);
        }
    }
    for (const QString &folder : {root, QFileInfo(root).path()}) {
        EXPECT_EQ(int(QFileInfo(folder).permissions()) & 0x7077,
                  int(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
            << folder.toStdString();
    }
    for (const QFileInfo &info : QDir(root).entryInfoList(QDir::Files))
        EXPECT_EQ(int(info.permissions()) & 0x7077,
                  int(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    // Only the very file, time, size and width find a copy.
    EXPECT_EQ(copies.find(QStringLiteral("/p/0.jpg"), 5, 10, 200), copy); // used now
    EXPECT_FALSE(copies.find(QStringLiteral("/p/0.jpg"), 6, 10, 200));
    EXPECT_FALSE(copies.find(QStringLiteral("/p/0.jpg"), 5, 11, 200));
    EXPECT_FALSE(copies.find(QStringLiteral("/p/0.jpg"), 5, 10, 400));

    // Past the limit: the one used longest ago goes.
    ASSERT_TRUE(copies.store(QStringLiteral("/p/3.jpg"), 5, 10, 200, copy));
    copies.trim();
    EXPECT_TRUE(copies.find(QStringLiteral("/p/0.jpg"), 5, 10, 200));
    EXPECT_FALSE(copies.find(QStringLiteral("/p/1.jpg"), 5, 10, 200));
    EXPECT_TRUE(copies.find(QStringLiteral("/p/2.jpg"), 5, 10, 200));
    EXPECT_TRUE(copies.find(QStringLiteral("/p/3.jpg"), 5, 10, 200));
}
