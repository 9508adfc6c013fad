#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "filecontents.h"
#include "filesizelimit.h"
#include "platform/inisettings.h"
#include "saving/numberedfiles.h"
#include "saving/originattributes.h"
#include "saving/pictureencoder.h"
#include "saving/savingoptions.h"
#include "saving/savingreport.h"
#include "saving/savingrun.h"

namespace vimbrel {
namespace {

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A picture whose JPEG stays well above the size worth keeping; its left quarter is red.
QImage busy(int width, int height, quint32 salt = 1)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(salt);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = x < width / 4 ? qRgb(255, 0, 0) : random.generate() | 0xff000000u;
    }
    return image;
}

bool near(QRgb a, QColor b, int tolerance = 48)
{
    return std::abs(qRed(a) - b.red()) <= tolerance &&
           std::abs(qGreen(a) - b.green()) <= tolerance &&
           std::abs(qBlue(a) - b.blue()) <= tolerance;
}

// The JPEG with an EXIF block holding only the orientation.
QByteArray withOrientation(const QByteArray &jpeg, int orientation)
{
    const QByteArray exif =
        QByteArray::fromHex("4578696600004d4d002a000000080001011200030000000100") +
        char(orientation) + QByteArray::fromHex("000000000000");
    const int length = int(exif.size()) + 2;
    return jpeg.left(2) + QByteArray::fromHex("ffe1") + char(length >> 8) + char(length & 0xff) +
           exif + jpeg.mid(2);
}

// --- the numbered names ---

struct Obstacle
{
    const char *name;
    std::function<void(const QString &path)> make;
};

class NumberedFilesTest : public ::testing::TestWithParam<Obstacle>
{
};

TEST_P(NumberedFilesTest, PassesOverANameTakenByAnything)
{
    QTemporaryDir dir;
    GetParam().make(dir.filePath(QStringLiteral("0.jpg")));
    NumberedFiles files(dir.path());
    NumberedFiles::Claim claim = files.claim();
    ASSERT_TRUE(claim.file) << claim.error.toStdString();
    EXPECT_EQ(claim.number, 1);
    EXPECT_EQ(claim.file->fileName(), dir.filePath(QStringLiteral("1.jpg")));
}

INSTANTIATE_TEST_SUITE_P(
    Obstacles, NumberedFilesTest,
    ::testing::Values(
        Obstacle{"File", [](const QString &p) { QFile(p).open(QIODevice::WriteOnly); }},
        Obstacle{"UnreadableFile",
                 [](const QString &p) {
                     QFile file(p);
                     file.open(QIODevice::WriteOnly);
                     file.setPermissions({});
                 }},
        Obstacle{"Folder", [](const QString &p) { QDir().mkpath(p); }},
        Obstacle{"DanglingLink",
                 [](const QString &p) { QFile::link(p + QStringLiteral(".nowhere"), p); }},
        Obstacle{"LinkToFolder",
                 [](const QString &p) { QFile::link(QFileInfo(p).absolutePath(), p); }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NumberedFiles, FillsTheGapsInOrder)
{
    QTemporaryDir dir;
    for (const char *name : {"0.jpg", "1.jpg", "3.jpg", ".2.jpg", "2.JPG"})
        QFile(dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    NumberedFiles files(dir.path() + QLatin1Char('/'));
    auto first = files.claim();
    first.file->close();
    auto second = files.claim();
    EXPECT_EQ(first.number, 2);
    EXPECT_EQ(second.number, 4);
}

TEST(NumberedFiles, AReleasedNumberIsTheNextOneTried)
{
    QTemporaryDir dir;
    NumberedFiles files(dir.path());
    auto claim = files.claim();
    ASSERT_EQ(claim.number, 0);
    claim.file->write("partial");
    files.release(claim);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("0.jpg"))));
    EXPECT_EQ(files.claim().number, 0);
}

TEST(NumberedFiles, AllExtensionsOfARunShareTheNumbers)
{
    QTemporaryDir dir;
    QFile(dir.filePath(QStringLiteral("0.png"))).open(QIODevice::WriteOnly);
    NumberedFiles files(dir.path());
    files.setExtensions({QStringLiteral("jpg"), QStringLiteral("png"), QStringLiteral("webp")});
    auto jpeg = files.claim();
    EXPECT_EQ(jpeg.number, 1);
    auto webp = files.claim(QStringLiteral("webp"));
    EXPECT_EQ(webp.number, 2);
    EXPECT_EQ(webp.file->fileName(), dir.filePath(QStringLiteral("2.webp")));
}

// --- decoding and encoding ---

TEST(PictureEncoder, TurnsAPictureUprightAsItsExifSays)
{
    // 90 degrees clockwise: the red left quarter becomes the top quarter.
    const QByteArray jpeg = withOrientation(encoded(busy(80, 40), "jpeg"), 6);
    const auto image = PictureEncoder::decode(jpeg);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), QSize(40, 80));
    EXPECT_TRUE(near(image->pixel(20, 5), Qt::red));
    EXPECT_FALSE(near(image->pixel(20, 70), Qt::red, 8));
}

TEST(PictureEncoder, TakesTheFirstFrameOfAnAnimation)
{
    // One pixel, red then blue.
    const QByteArray gif = QByteArray::fromHex(
        "47494638396101000100800000ff00000000ff21f904000a0000002c000000000100010000020244010021f9"
        "04000a0000002c00000000010001000002024c01003b");
    const auto image = PictureEncoder::decode(gif);
    ASSERT_TRUE(image);
    EXPECT_TRUE(near(image->pixel(0, 0), Qt::red, 0));
}

TEST(PictureEncoder, LaysTransparencyOnWhite)
{
    QImage clear(20, 10, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    QPainter(&clear).fillRect(10, 0, 10, 10, QColor(0, 0, 255, 255));
    const auto image = PictureEncoder::decode(encoded(clear, "png"));
    ASSERT_TRUE(image);
    EXPECT_FALSE(image->hasAlphaChannel());
    EXPECT_EQ(image->pixel(2, 5), qRgb(255, 255, 255));
    EXPECT_EQ(image->pixel(15, 5), qRgb(0, 0, 255));
}

TEST(PictureEncoder, WritesJpegAtQuality80)
{
    const QImage picture = busy(64, 48);
    const QByteArray jpeg = PictureEncoder::toJpeg(encoded(picture, "png"));
    ASSERT_TRUE(jpeg.startsWith("\xff\xd8"));
    QImage expected;
    expected.loadFromData(encoded(picture, "png"));
    QByteArray atEighty;
    QBuffer buffer(&atEighty);
    buffer.open(QIODevice::WriteOnly);
    expected.save(&buffer, "jpeg", 80);
    EXPECT_EQ(jpeg.size(), atEighty.size());
}

struct Refused
{
    const char *name;
    QByteArray bytes;
};

class PictureEncoderRefuses : public ::testing::TestWithParam<Refused>
{
};

TEST_P(PictureEncoderRefuses, WhatIsNoPicture)
{
    QString why;
    EXPECT_TRUE(PictureEncoder::toJpeg(GetParam().bytes, &why).isEmpty());
    EXPECT_FALSE(why.isEmpty());
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= uchar(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A well-formed PNG whose header claims 30000 x 30000 pixels.
QByteArray hugePng()
{
    QByteArray png = encoded(QImage(1, 1, QImage::Format_RGB32), "png");
    const char size[8] = {0, 0, 0x75, 0x30, 0, 0, 0x75, 0x30};
    png.replace(16, 8, QByteArray(size, 8));
    const quint32 crc = crc32(png.mid(12, 17)); // "IHDR" and its 13 bytes
    const char crcBytes[4] = {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
    png.replace(29, 4, QByteArray(crcBytes, 4));
    return png;
}

TEST(PictureEncoder, RefusesAHugePictureFromItsHeader)
{
    QString why;
    EXPECT_TRUE(PictureEncoder::toJpeg(hugePng(), &why).isEmpty());
    EXPECT_TRUE(why.startsWith(QLatin1String("too large: 30000 x 30000"))) << why.toStdString();
}

TEST(PictureEncoder, KeepsTheOriginalBytesOfAFormatTheFolderViewShows)
{
    const QByteArray png = encoded(busy(60, 40), "png");
    const PictureEncoder::Saved kept = PictureEncoder::forSaving(png, true);
    EXPECT_EQ(kept.bytes, png);
    EXPECT_EQ(kept.extension, QStringLiteral("png"));
    const QByteArray jpeg = encoded(busy(60, 40), "jpeg");
    EXPECT_EQ(PictureEncoder::forSaving(jpeg, true).extension, QStringLiteral("jpg"));
    EXPECT_EQ(PictureEncoder::forSaving(jpeg, true).bytes, jpeg);

    const PictureEncoder::Saved converted = PictureEncoder::forSaving(png, false);
    EXPECT_TRUE(converted.bytes.startsWith("\xff\xd8"));
    EXPECT_EQ(converted.extension, QStringLiteral("jpg"));
    // Kept or not, what does not decode is no picture.
    EXPECT_TRUE(PictureEncoder::forSaving(png.left(60), true).bytes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, PictureEncoderRefuses,
    ::testing::Values(Refused{"Empty", QByteArray()},
                      Refused{"Html", "<!DOCTYPE html><html><body>Not found</body></html>"},
                      Refused{"TruncatedJpeg", QByteArray::fromHex("ffd8ffe000104a4649")}),
    [](const auto &info) { return std::string(info.param.name); });

// --- the closing box ---

struct Closing
{
    const char *name;
    SavingReport report;
    QString text;
    bool offersFolder;
};

class SavingReportTest : public ::testing::TestWithParam<Closing>
{
};

TEST_P(SavingReportTest, SaysWhatHappened)
{
    EXPECT_EQ(GetParam().report.text(), GetParam().text);
    EXPECT_EQ(GetParam().report.offersFolder(), GetParam().offersFolder);
}

SavingReport report(int total, int saved, int small, int failed, bool stopped = false,
                    const QString &error = {}, int skipped = 0)
{
    SavingReport r;
    r.skipped = skipped;
    r.total = total;
    r.saved = saved;
    r.small = small;
    r.failed = failed;
    r.stopped = stopped;
    r.writeError = error;
    return r;
}

const QString Ask = QStringLiteral("立即查看剛才保存的圖片嗎？");

INSTANTIATE_TEST_SUITE_P(
    Runs, SavingReportTest,
    ::testing::Values(
        Closing{"AllObtained", report(5, 4, 1, 0),
                QStringLiteral("保存成功！立即查看剛才保存的圖片嗎？               "), true},
        Closing{"AllSmall", report(2, 0, 2, 0),
                QStringLiteral("沒有保存任何圖片，2 幅圖片因太小而略去。"), false},
        Closing{"Mixed", report(9, 5, 2, 2),
                QStringLiteral("已保存 5 幅圖片，2 幅圖片因太小而略去，2 幅圖片無法取得。") + Ask,
                true},
        Closing{"SomeSavedBefore", report(5, 2, 0, 0, false, {}, 3),
                QStringLiteral("已保存 2 幅圖片，3 幅圖片先前已保存。") + Ask, true},
        Closing{"AllSavedBefore", report(3, 0, 0, 0, false, {}, 3),
                QStringLiteral("沒有保存任何圖片，3 幅圖片先前已保存。") + Ask, true},
        Closing{"SomeFailed", report(5, 3, 0, 2),
                QStringLiteral("已保存 3 幅圖片，2 幅圖片無法取得。") + Ask, true},
        Closing{"AllFailed", report(2, 0, 0, 2),
                QStringLiteral("沒有保存任何圖片，2 幅圖片無法取得。"), false},
        Closing{"NoPictures", report(0, 0, 0, 0),
                QStringLiteral("網頁中沒有圖片，沒有保存任何圖片。"), false},
        Closing{
            "Stopped", report(10, 3, 1, 0, true),
            QStringLiteral("保存已停止。已保存 3 幅圖片，1 幅圖片因太小而略去，6 幅圖片未處理。") +
                Ask,
            true},
        Closing{"FolderGone", report(4, 1, 0, 0, false, QStringLiteral("No such file")),
                QStringLiteral("保存中斷：文件目錄無法寫入（No such file）。已保存 1 幅圖片，3 "
                               "幅圖片未處理。") +
                    Ask,
                true}),
    [](const auto &info) { return std::string(info.param.name); });

// --- data: addresses ---

TEST(SavingRun, ReadsDataAddresses)
{
    EXPECT_EQ(SavingRun::dataAddressBytes(QStringLiteral("data:image/gif;base64,R0lG")),
              QByteArray("GIF"));
    EXPECT_EQ(SavingRun::dataAddressBytes(QStringLiteral("data:,a%20b")), QByteArray("a b"));
    EXPECT_EQ(SavingRun::dataAddressBytes(QStringLiteral("data:image/gif;base64,R0\n lG")),
              QByteArray("GIF"));
    EXPECT_EQ(SavingRun::dataAddressBytes(QStringLiteral("data:image/png;base64,*!")),
              std::nullopt);
    EXPECT_EQ(SavingRun::dataAddressBytes(QStringLiteral("data:image/png")), std::nullopt);
}

// --- runs over local pictures ---

class SavingRunLocal : public ::testing::Test
{
protected:
    // A picture file in the source folder; its address.
    QString picture(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_source.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return QUrl::fromLocalFile(file.fileName()).toString();
    }
    QString large(const QString &name, int width = 300, int height = 200, quint32 salt = 1)
    {
        return picture(name, encoded(busy(width, height, salt), "png"));
    }
    QString small(const QString &name)
    {
        QImage flat(40, 30, QImage::Format_RGB32);
        flat.fill(Qt::green);
        return picture(name, encoded(flat, "png"));
    }
    SavingReport run(const QStringList &addresses, int parallel = SavingRun::parallelFetches,
                     const SavingOptions &options = {})
    {
        SavingSource source;
        source.localFilesAllowed = true;
        source.referrer = QStringLiteral("https://pictures.test/page?x=1#top");
        SavingRun saving(m_target.path(), source);
        saving.setParallel(parallel);
        saving.setOptions(options);
        saving.setLimits(m_largest, SavingRun::defaultHeldAtOnce);
        QSignalSpy finished(&saving, &SavingRun::finished);
        saving.start(addresses);
        if (finished.isEmpty()) {
            EXPECT_TRUE(finished.wait(20000));
        }
        return saving.report();
    }
    QStringList targetFiles() const
    {
        return QDir(m_target.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    }
    QImage saved(const QString &name) const { return QImage(m_target.filePath(name)); }

    QTemporaryDir m_source;
    QTemporaryDir m_target;
    qint64 m_largest = SavingRun::defaultLargestPicture();
};

TEST_F(SavingRunLocal, ASmallPictureGivesItsNumberToTheNext)
{
    const SavingReport r = run({small(QStringLiteral("a.png")), large(QStringLiteral("b.png"))});
    EXPECT_EQ(targetFiles(), QStringList{QStringLiteral("0.jpg")});
    EXPECT_EQ(saved(QStringLiteral("0.jpg")).size(), QSize(300, 200));
    EXPECT_EQ(r.saved, 1);
    EXPECT_EQ(r.small, 1);
    EXPECT_TRUE(r.allObtained());
}

TEST_F(SavingRunLocal, WhatCannotBeObtainedTakesNoNumberAndIsNeverAnotherPicture)
{
    const QStringList addresses = {
        large(QStringLiteral("a.png"), 300, 200, 1),
        QUrl::fromLocalFile(m_source.filePath(QStringLiteral("missing.png"))).toString(),
        picture(QStringLiteral("text.png"), "just text"),
        QStringLiteral("javascript:alert(1)"),
        QStringLiteral("data:image/png;base64,") +
            QString::fromLatin1(encoded(busy(200, 300, 2), "png").toBase64()),
    };
    const SavingReport r = run(addresses);
    EXPECT_EQ(targetFiles(), (QStringList{QStringLiteral("0.jpg"), QStringLiteral("1.jpg")}));
    EXPECT_EQ(saved(QStringLiteral("0.jpg")).size(), QSize(300, 200));
    EXPECT_EQ(saved(QStringLiteral("1.jpg")).size(), QSize(200, 300));
    EXPECT_EQ(r.saved, 2);
    EXPECT_EQ(r.failed, 3);
}

TEST_F(SavingRunLocal, NumbersFollowThePageOrderAroundWhatIsInTheFolder)
{
    QFile(m_target.filePath(QStringLiteral("0.jpg"))).open(QIODevice::WriteOnly);
    QDir().mkpath(m_target.filePath(QStringLiteral("2.jpg")));
    QFile::link(m_target.filePath(QStringLiteral("nowhere")),
                m_target.filePath(QStringLiteral("3.jpg")));
    QStringList addresses;
    for (int i = 0; i < 12; ++i)
        addresses << large(QStringLiteral("p%1.png").arg(i), 200 + 10 * i, 150, quint32(i));
    const SavingReport r = run(addresses);
    EXPECT_EQ(r.saved, 12);
    // 0, 2 and 3 were taken; each width tells which picture went where.
    const QList<int> numbers = {1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(saved(QStringLiteral("%1.jpg").arg(numbers[i])).width(), 200 + 10 * i) << i;
    EXPECT_EQ(QFileInfo(m_target.filePath(QStringLiteral("0.jpg"))).size(), 0);
    EXPECT_TRUE(QFileInfo(m_target.filePath(QStringLiteral("3.jpg"))).isSymLink());
}

TEST_F(SavingRunLocal, RecordsWhereEachPictureCameFrom)
{
    const QString address = large(QStringLiteral("a.png"));
    run({address});
    const QString origin =
        OriginAttributes::read(m_target.filePath(QStringLiteral("0.jpg")), "user.xdg.origin.url");
    if (origin.isEmpty())
        GTEST_SKIP() << "no user extended attributes here";
    EXPECT_EQ(origin, address);
    EXPECT_EQ(
        OriginAttributes::read(m_target.filePath(QStringLiteral("0.jpg")), "user.xdg.referrer.url"),
        QStringLiteral("https://pictures.test/page?x=1#top"));
}

TEST_F(SavingRunLocal, LocalFilesAreReadOnlyForALocalPage)
{
    SavingRun saving(m_target.path(), SavingSource{});
    QSignalSpy finished(&saving, &SavingRun::finished);
    saving.start({large(QStringLiteral("a.png"))});
    ASSERT_TRUE(finished.size() == 1 || finished.wait(20000));
    EXPECT_EQ(saving.report().failed, 1);
    EXPECT_TRUE(targetFiles().isEmpty());
}

TEST_F(SavingRunLocal, AFolderRemovedStopsTheRunAndSaysSo)
{
    const QStringList addresses = {large(QStringLiteral("a.png")), large(QStringLiteral("b.png"))};
    ASSERT_TRUE(m_target.remove());
    const SavingReport r = run(addresses);
    EXPECT_FALSE(r.writeError.isEmpty());
    EXPECT_EQ(r.saved, 0);
    EXPECT_FALSE(r.offersFolder());
    EXPECT_FALSE(QFileInfo::exists(m_target.path()));
}

TEST_F(SavingRunLocal, AFailedWriteStartsNothingMore)
{
    QStringList addresses;
    for (int i = 0; i < 4; ++i)
        addresses << large(QStringLiteral("p%1.png").arg(i));
    ASSERT_TRUE(m_target.remove());
    const SavingReport r = run(addresses, 1);
    EXPECT_FALSE(r.writeError.isEmpty());
    EXPECT_EQ(r.done(), 0);
    QTest::qWait(50); // nothing started after the end answers
}

TEST_F(SavingRunLocal, APageOfThousandsOfPicturesRunsThrough)
{
    QStringList addresses(3000, QStringLiteral("javascript:void(0)"));
    addresses.append(large(QStringLiteral("last.png")));
    const SavingReport r = run(addresses);
    EXPECT_EQ(r.failed, 3000);
    EXPECT_EQ(targetFiles(), QStringList{QStringLiteral("0.jpg")});
}

TEST_F(SavingRunLocal, AReadOnlyFolderStopsTheRunAndLeavesNoFile)
{
    QFile::setPermissions(m_target.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (QFile probe(m_target.filePath(QStringLiteral("probe"))); probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        GTEST_SKIP() << "folder permissions do not bind for this user";
    }
    const SavingReport r = run({large(QStringLiteral("a.png")), large(QStringLiteral("b.png"))});
    QFile::setPermissions(m_target.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(r.writeError.isEmpty());
    EXPECT_EQ(r.saved, 0);
    EXPECT_TRUE(targetFiles().isEmpty());
}

TEST_F(SavingRunLocal, ADiskThatFillsUpLeavesNoPartialFile)
{
    const QStringList addresses = {large(QStringLiteral("a.png"), 200, 150),
                                   large(QStringLiteral("b.png"), 900, 700)};
    SavingReport r;
    {
        const FileSizeLimit full(60000); // the second picture does not fit any more
        if (!full.active())
            GTEST_SKIP() << "no file size limit here";
        r = run(addresses);
    }
    EXPECT_EQ(r.saved, 1);
    // The reason the system gives, not "Unknown error".
    EXPECT_EQ(r.writeError, QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(targetFiles(), QStringList{QStringLiteral("0.jpg")});
    EXPECT_EQ(saved(QStringLiteral("0.jpg")).size(), QSize(200, 150));
}

TEST_F(SavingRunLocal, ReadsNothingButRegularFilesOfBoundedSize)
{
    const QString fifo = m_source.filePath(QStringLiteral("pipe.jpg"));
    const QString link = m_source.filePath(QStringLiteral("link.jpg"));
    if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
        GTEST_SKIP() << "no named pipes here";
    QFile::link(fifo, link);
    m_largest = 100000;
    const QStringList addresses = {
        QUrl::fromLocalFile(fifo).toString(),            // would block the reader for ever
        QUrl::fromLocalFile(link).toString(),            // the same, behind a link
        QStringLiteral("file:///dev/zero"),              // endless
        QUrl::fromLocalFile(m_source.path()).toString(), // a folder
        large(QStringLiteral("big.png"), 400, 400),      // more than the largest picture
        large(QStringLiteral("fits.png"), 200, 150),
    };
    const SavingReport r = run(addresses);
    EXPECT_EQ(r.failed, 5);
    EXPECT_EQ(r.saved, 1);
    EXPECT_EQ(saved(QStringLiteral("0.jpg")).size(), QSize(200, 150));
}

TEST_F(SavingRunLocal, ACopyIsReadableByNoOneTheOriginalKeepsOut)
{
    const QString address = large(QStringLiteral("private.png"));
    QFile::setPermissions(QUrl(address).toLocalFile(), QFile::ReadOwner | QFile::WriteOwner);
    run({address});
    EXPECT_EQ(QFile::permissions(m_target.filePath(QStringLiteral("0.jpg"))) &
                  (QFile::ReadGroup | QFile::ReadOther),
              QFile::Permissions());
}

TEST_F(SavingRunLocal, KeepOriginalWritesTheBytesUnderTheirOwnExtension)
{
    QFile(m_target.filePath(QStringLiteral("0.jpg"))).open(QIODevice::WriteOnly);
    const QByteArray png = encoded(busy(300, 200), "png");
    const QByteArray jpeg = encoded(busy(320, 200, 2), "jpeg");
    SavingOptions options;
    options.keepOriginal = true;
    const SavingReport r =
        run({picture(QStringLiteral("a.png"), png), small(QStringLiteral("s.png")),
             picture(QStringLiteral("b.jpg"), jpeg)},
            SavingRun::parallelFetches, options);
    EXPECT_EQ(r.saved, 2);
    EXPECT_EQ(r.small, 1); // the size rule holds for kept bytes too
    EXPECT_EQ(targetFiles(), (QStringList{QStringLiteral("0.jpg"), QStringLiteral("1.png"),
                                          QStringLiteral("2.jpg")}));
    EXPECT_EQ(fileContents(m_target.filePath(QStringLiteral("1.png"))), png);
    EXPECT_EQ(fileContents(m_target.filePath(QStringLiteral("2.jpg"))), jpeg);
}

TEST_F(SavingRunLocal, MinBytesSetsTheSizeLeftOut)
{
    SavingOptions options;
    options.minBytes = 0;
    SavingReport r = run({small(QStringLiteral("s.png"))}, SavingRun::parallelFetches, options);
    EXPECT_EQ(r.saved, 1);
    options.minBytes = 10'000'000;
    r = run({large(QStringLiteral("a.png"))}, SavingRun::parallelFetches, options);
    EXPECT_EQ(r.saved, 0);
    EXPECT_EQ(r.small, 1);
    EXPECT_EQ(targetFiles(), QStringList{QStringLiteral("0.jpg")});
}

TEST_F(SavingRunLocal, SkipSavedFetchesOnlyWhatTheFolderDoesNotHold)
{
    const QString a = large(QStringLiteral("a.png"), 300, 200, 1);
    const QString b = large(QStringLiteral("b.png"), 310, 200, 2);
    const QString c = large(QStringLiteral("c.png"), 320, 200, 3);
    run({a, b});
    if (OriginAttributes::read(m_target.filePath(QStringLiteral("0.jpg")), "user.xdg.origin.url")
            .isEmpty())
        GTEST_SKIP() << "no user extended attributes here";
    SavingOptions options;
    options.skipSaved = true;
    const SavingReport r = run({a, c, b}, SavingRun::parallelFetches, options);
    EXPECT_EQ(r.saved, 1);
    EXPECT_EQ(r.skipped, 2);
    EXPECT_EQ(r.done(), 3);
    EXPECT_EQ(targetFiles(), (QStringList{QStringLiteral("0.jpg"), QStringLiteral("1.jpg"),
                                          QStringLiteral("2.jpg")}));
    EXPECT_EQ(saved(QStringLiteral("2.jpg")).width(), 320);
}

// --- the settings ---

struct SettingsCase
{
    const char *name;
    QList<std::pair<const char *, const char *>> values;
    bool keepOriginal;
    qint64 minBytes;
    bool skipSaved;
};

class SavingOptionsTest : public ::testing::TestWithParam<SettingsCase>
{
};

TEST_P(SavingOptionsTest, ReadsTheSaveSection)
{
    QTemporaryDir dir;
    IniSettings settings(dir.filePath(QStringLiteral("ulvo.ini")));
    for (const auto &[key, value] : GetParam().values)
        settings.setValue(QStringLiteral("Save"), QString::fromLatin1(key),
                          QString::fromLatin1(value));
    const SavingOptions options = SavingOptions::read(settings);
    EXPECT_EQ(options.keepOriginal, GetParam().keepOriginal);
    EXPECT_EQ(options.minBytes, GetParam().minBytes);
    EXPECT_EQ(options.skipSaved, GetParam().skipSaved);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SavingOptionsTest,
    ::testing::Values(
        SettingsCase{"Unset", {}, false, 14000, false},
        SettingsCase{"AllOn",
                     {{"KeepOriginal", "true"}, {"MinBytes", "2048"}, {"SkipSaved", "1"}},
                     true,
                     2048,
                     true},
        SettingsCase{"Off", {{"KeepOriginal", "0"}, {"SkipSaved", "false"}}, false, 14000, false},
        SettingsCase{"BadSize", {{"MinBytes", "-5"}}, false, 14000, false},
        SettingsCase{"NoSize", {{"MinBytes", "big"}}, false, 14000, false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace vimbrel
