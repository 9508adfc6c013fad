// Header widths of real pictures, of hand-made headers, and of broken or hostile files.
#include "gallery/picturewidth.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace vimbrel;

namespace {

class PictureWidthTest : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.path() + u'/' + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    static QByteArray encoded(const char *format, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(image.save(&buffer, format)) << format;
        return bytes;
    }

    static QByteArray le16(int v)
    {
        QByteArray b;
        b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
        return b;
    }
    static QByteArray le32(qint64 v)
    {
        return le16(int(v & 0xFFFF)) + le16(int((v >> 16) & 0xFFFF));
    }

    // A 1x1 GIF whose logical screen is wider than its only image.
    static QByteArray gif(int screenWidth)
    {
        QByteArray b("GIF89a");
        b += le16(screenWidth) + le16(5) + QByteArray("\x80\x00\x00", 3);
        b += QByteArray("\x00\x00\x00\xFF\xFF\xFF", 6); // two colours
        b += QByteArray(",\x00\x00\x00\x00", 5) + le16(1) + le16(1) + QByteArray(1, '\0');
        b += QByteArray("\x02\x02\x44\x01\x00;", 6);
        return b;
    }

    static QByteArray bmpHeader(int dibSize, const QByteArray &widthField)
    {
        QByteArray b("BM");
        b += le32(0) + le32(0) + le32(54) + le32(dibSize) + widthField;
        b += QByteArray(64, '\0');
        return b;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(PictureWidthTest, RealPicturesOfEachFormat)
{
    for (const char *format : {"jpg", "png", "bmp", "tif"}) {
        if (!QImageWriter::supportedImageFormats().contains(format))
            continue; // the TIFF plugin is optional
        const QString path =
            write(QStringLiteral("w.") + QLatin1String(format), encoded(format, 123, 45));
        EXPECT_EQ(pictureWidth(path), 123) << format;
    }
    EXPECT_EQ(pictureWidth(write(QStringLiteral("g.gif"), gif(77))), 77);
}

TEST_F(PictureWidthTest, HandMadeHeaders)
{
    // OS/2 bitmaps keep a 16-bit width; top-down Windows bitmaps may carry a signed width.
    EXPECT_EQ(pictureWidth(write(QStringLiteral("os2.bmp"), bmpHeader(12, le16(300) + le16(2)))),
              300);
    EXPECT_EQ(pictureWidth(write(QStringLiteral("neg.bmp"), bmpHeader(40, le32(-640)))), 640);
    EXPECT_EQ(pictureWidth(write(QStringLiteral("min.bmp"), bmpHeader(40, le32(0x80000000LL)))), 0);
    // PNG widths above what a signed 32-bit count holds are not believed.
    QByteArray png = encoded("png", 10, 10);
    png.replace(16, 4, QByteArray("\xFF\xFF\xFF\xFF", 4));
    EXPECT_EQ(pictureWidth(write(QStringLiteral("huge.png"), png)), 0);
}

TEST_F(PictureWidthTest, JpegFrameFoundAfterLargeSegmentsAndFillBytes)
{
    const QByteArray jpeg = encoded("jpg", 321, 17);
    // Two full-size APP1 segments (like a big EXIF block with a thumbnail) and fill bytes.
    QByteArray app1("\xFF\xE1\xFF\xFF", 4);
    app1 += QByteArray(0xFFFF - 2, 'x');
    const QByteArray big = jpeg.left(2) + app1 + app1 + QByteArray(5, '\xFF') + jpeg.mid(2);
    EXPECT_EQ(pictureWidth(write(QStringLiteral("exif.jpg"), big)), 321);
    EXPECT_EQ(QImage(write(QStringLiteral("check.jpg"), big)).width(), 321); // still a JPEG

    // A DHT segment is not a frame header even though its code sits among them.
    QByteArray dht("\xFF\xC4\x00\x07\x00\x09\x99\x00\x00", 9);
    const QByteArray withTable = jpeg.left(2) + dht + jpeg.mid(2);
    EXPECT_EQ(pictureWidth(write(QStringLiteral("dht.jpg"), withTable)), 321);
}

TEST_F(PictureWidthTest, NothingToTellGivesZero)
{
    EXPECT_EQ(pictureWidth(write(QStringLiteral("text.jpg"), "just some words, no picture\n")), 0);
    EXPECT_EQ(pictureWidth(write(QStringLiteral("empty.png"), QByteArray())), 0);
    EXPECT_EQ(pictureWidth(m_dir.path() + QStringLiteral("/missing.gif")), 0);
    EXPECT_EQ(pictureWidth(m_dir.path()), 0); // a folder
    EXPECT_EQ(pictureWidth(QString()), 0);

    // Cut before the width: JPEG before its frame header, PNG, GIF and BMP inside theirs.
    const QByteArray jpeg = encoded("jpg", 200, 20);
    const qsizetype frame = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(frame, 0);
    const struct
    {
        const char *name;
        QByteArray bytes;
    } cut[] = {
        {"cut.jpg", jpeg.left(frame + 6)},
        {"cut2.jpg", jpeg.left(2)},
        {"cut.png", encoded("png", 200, 20).left(18)},
        {"cut.gif", gif(200).left(7)},
        {"cut.bmp", encoded("bmp", 200, 20).left(20)},
        {"eoi.jpg", QByteArray("\xFF\xD8\xFF\xD9", 4)},
        {"loop.jpg", QByteArray("\xFF\xD8\xFF\xE0\x00\x00", 6)}, // length 0
    };
    for (const auto &c : cut)
        EXPECT_EQ(pictureWidth(write(QString::fromLatin1(c.name), c.bytes)), 0) << c.name;
}

TEST_F(PictureWidthTest, HostileBytesNeverCrash)
{
    std::mt19937 random(20240611);
    const QByteArray samples[] = {encoded("jpg", 40, 30), encoded("png", 40, 30),
                                  encoded("bmp", 40, 30), gif(40)};
    const QString path = m_dir.path() + QStringLiteral("/fuzz.jpg");
    for (int round = 0; round < 1500; ++round) {
        QByteArray bytes = samples[round % 4];
        switch (round % 3) {
        case 0: // truncated anywhere
            bytes.truncate(static_cast<qsizetype>(random() % (bytes.size() + 1)));
            break;
        case 1: // a few bytes changed
            for (int k = 0; k < 4; ++k)
                bytes[static_cast<qsizetype>(random() % bytes.size())] = char(random());
            break;
        default: // the signature followed by noise
            bytes.truncate(std::min<qsizetype>(bytes.size(), 8));
            for (int k = 0; k < 200; ++k)
                bytes += char(random());
            break;
        }
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        const int width = pictureWidth(path);
        EXPECT_GE(width, 0);
    }
}

TEST_F(PictureWidthTest, SpecialFilesGiveZeroWithoutBlocking)
{
    // A listed picture replaced by a named pipe before a refresh: opening it to read would
    // wait for a writer that never comes.
    const QString pipe = m_dir.path() + QStringLiteral("/pipe.jpg");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString link = m_dir.path() + QStringLiteral("/link.png");
    ASSERT_EQ(symlink(QFile::encodeName(pipe).constData(), QFile::encodeName(link).constData()), 0);
    for (const QString &path : {pipe, link, QStringLiteral("/dev/zero")}) {
        auto width = std::async(std::launch::async, [path] { return pictureWidth(path); });
        if (width.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << "blocked on " << path.toStdString();
            // Let the blocked open go on, so the test ends.
            const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
        EXPECT_EQ(width.get(), 0) << path.toStdString();
    }
}

// ---- pictures turned by their EXIF orientation ----

namespace {

// A JPEG of width × height pixels whose EXIF says how to turn it, in either byte order.
QByteArray orientedJpeg(int width, int height, int orientation, bool little)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "JPEG"));
    const auto u16 = [little](int v) -> QByteArray {
        const char low = char(v & 0xFF), high = char((v >> 8) & 0xFF);
        return little ? QByteArray(1, low).append(high) : QByteArray(1, high).append(low);
    };
    const auto u32 = [&](int v) -> QByteArray {
        return little ? u16(v & 0xFFFF).append(u16(v >> 16)) : u16(v >> 16).append(u16(v & 0xFFFF));
    };
    // A first entry before the orientation, as cameras write them (ImageWidth, a LONG).
    QByteArray tiff = QByteArray(little ? "II*\0" : "MM\0*", 4);
    for (const QByteArray &part : {u32(8), u16(2), u16(0x0100), u16(4), u32(1), u32(width),
                                   u16(0x0112), u16(3), u32(1), u16(orientation), u16(0), u32(0)})
        tiff += part;
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xFF\xE1", 2);
    app1 += char((exif.size() + 2) >> 8);
    app1 += char((exif.size() + 2) & 0xFF);
    // An XMP segment after it: also APP1, and not the one that tells.
    QByteArray xmp("\xFF\xE1\x00\x22http://ns.adobe.com/xap/1.0/\0<x/>", 36);
    return QByteArray(jpeg.left(2) + app1 + exif + xmp + jpeg.mid(2));
}

} // namespace

TEST_F(PictureWidthTest, ExifOrientationGivesTheWidthShown)
{
    for (const bool little : {false, true}) {
        for (int orientation = 1; orientation <= 8; ++orientation) {
            const QString path =
                write(QStringLiteral("turned%1%2.jpg").arg(orientation).arg(little),
                      orientedJpeg(60, 20, orientation, little));
            // What Qt's decoder shows, EXIF applied, as the view and the previews show it.
            QImageReader reader(path);
            reader.setAutoTransform(true);
            const int shown = reader.read().width();
            EXPECT_EQ(shown, orientation >= 5 ? 20 : 60) << orientation << little;
            EXPECT_EQ(pictureWidth(path), shown) << orientation << little;
        }
    }
    // An orientation out of range, or of the wrong type, turns nothing.
    QByteArray odd = orientedJpeg(60, 20, 9, false);
    EXPECT_EQ(pictureWidth(write(QStringLiteral("nine.jpg"), odd)), 60);
}

TEST_F(PictureWidthTest, TurnedTiffGivesTheWidthShown)
{
    QImage image(60, 20, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString path = m_dir.path() + QStringLiteral("/turned.tif");
    QImageWriter writer(path, "tiff");
    if (!writer.supportsOption(QImageIOHandler::ImageTransformation))
        GTEST_SKIP() << "the TIFF writer keeps no orientation";
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(image));
    EXPECT_EQ(pictureWidth(path), 20);
}
