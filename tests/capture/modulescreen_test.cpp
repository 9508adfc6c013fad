#include "capture/modulescreen.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include "capture/qtscreengrabber.h"
#include "capture/screengrabber.h"
#include "fakedialogs.h"

using namespace vimbrel;

namespace {

// Hands out a fixed picture and notes the grab in the dialogs' call list, so the order of grab
// and dialog can be checked.
class FakeGrabber : public ScreenGrabber
{
public:
    FakeGrabber(QImage picture, QStringList &log) : m_picture(std::move(picture)), m_log(log) {}
    QImage grabScreen() override
    {
        m_log << QStringLiteral("grab");
        return m_picture;
    }

private:
    QImage m_picture;
    QStringList &m_log;
};

QImage pattern()
{
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 5, (x + y) % 256));
    return image;
}

bool samePixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xffffff) != (b.pixel(x, y) & 0xffffff))
                return false;
    return true;
}

QString saveCall()
{
    return QStringLiteral("save|保存文件|圖片文件(BMP) (*.bmp)|Picture");
}

class ScreenshotTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        clipboard()->setText(QStringLiteral("before"));
    }
    static QClipboard *clipboard() { return QGuiApplication::clipboard(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    FakeDialogs m_dialogs;
    FakeGrabber m_grabber{pattern(), m_dialogs.calls};
};

} // namespace

// Whatever colour format the screen comes in, the file is a plain 24-bit BMP of it.
class ScreenshotFormatTest : public ScreenshotTest,
                             public ::testing::WithParamInterface<QImage::Format>
{
};

TEST_P(ScreenshotFormatTest, SavesA24BitBmpOfTheScreenAndKeepsItOnTheClipboard)
{
    const QImage screen = pattern().convertToFormat(GetParam());
    FakeGrabber grabber(screen, m_dialogs.calls);
    m_dialogs.fileAnswers.push_back(path(QStringLiteral("shot.bmp")));

    EXPECT_EQ(ModuleScreen::saveScreenshot(grabber, m_dialogs, clipboard()),
              ModuleScreen::Outcome::Saved);

    // Grabbed before the dialog showed, so the dialog is not in the picture.
    EXPECT_EQ(m_dialogs.calls, QStringList({QStringLiteral("grab"), saveCall()}));

    QFile file(path(QStringLiteral("shot.bmp")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), 54 + 64 * 3 * 48); // headers, then rows of 192 bytes
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 18), 64);       // width
    EXPECT_EQ(qAbs(qFromLittleEndian<qint32>(bytes.constData() + 22)), 48); // height
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 24);      // bits per pixel
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 30), 0u);      // uncompressed

    EXPECT_TRUE(samePixels(QImage(file.fileName(), "bmp"), screen));
    EXPECT_TRUE(samePixels(clipboard()->image(), screen));
}

INSTANTIATE_TEST_SUITE_P(Formats, ScreenshotFormatTest,
                         ::testing::Values(QImage::Format_RGB32,
                                           QImage::Format_ARGB32_Premultiplied,
                                           QImage::Format_RGB16, QImage::Format_Indexed8),
                         [](const auto &info) {
                             switch (info.param) {
                             case QImage::Format_RGB32:
                                 return std::string("RGB32");
                             case QImage::Format_ARGB32_Premultiplied:
                                 return std::string("ARGB32");
                             case QImage::Format_RGB16:
                                 return std::string("RGB16");
                             default:
                                 return std::string("Indexed8");
                             }
                         });

TEST_F(ScreenshotTest, CancelWritesNothingAndLeavesThePictureOnTheClipboard)
{
    m_dialogs.fileAnswers.push_back(std::nullopt);

    EXPECT_EQ(ModuleScreen::saveScreenshot(m_grabber, m_dialogs, clipboard()),
              ModuleScreen::Outcome::Cancelled);

    EXPECT_EQ(m_dialogs.calls, QStringList({QStringLiteral("grab"), saveCall()}));
    EXPECT_TRUE(QDir(m_dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    EXPECT_TRUE(samePixels(clipboard()->image(), pattern()));
    EXPECT_TRUE(clipboard()->text().isEmpty()); // the earlier text is gone
}

TEST_F(ScreenshotTest, NameWithoutSuffixIsKeptAsTyped)
{
    // The proposed name, accepted: relative, so it lands in the current folder.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    m_dialogs.fileAnswers.push_back(QStringLiteral("Picture"));

    const auto outcome = ModuleScreen::saveScreenshot(m_grabber, m_dialogs, clipboard());
    QDir::setCurrent(previous);

    EXPECT_EQ(outcome, ModuleScreen::Outcome::Saved);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Picture")});
    EXPECT_TRUE(samePixels(QImage(path(QStringLiteral("Picture")), "bmp"), pattern()));
}

TEST_F(ScreenshotTest, ReplacesAFileTheUserChoseToOverwrite)
{
    const QString target = path(QStringLiteral("old.bmp"));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    m_dialogs.fileAnswers.push_back(target);

    EXPECT_EQ(ModuleScreen::saveScreenshot(m_grabber, m_dialogs, clipboard()),
              ModuleScreen::Outcome::Saved);
    EXPECT_TRUE(samePixels(QImage(target, "bmp"), pattern()));
    EXPECT_EQ(QFileInfo(target).size(), 54 + 64 * 3 * 48); // no tail of the old file
}

// A name that cannot be written gives one message and leaves nothing behind.
class ScreenshotFailureTest : public ScreenshotTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(ScreenshotFailureTest, FailedSaveIsReportedOnce)
{
    QDir(m_dir.path()).mkdir(QStringLiteral("folder"));
    const QString target =
        GetParam() == 0 ? path(QStringLiteral("missing/shot.bmp")) : path(QStringLiteral("folder"));
    m_dialogs.fileAnswers.push_back(target);

    EXPECT_EQ(ModuleScreen::saveScreenshot(m_grabber, m_dialogs, clipboard()),
              ModuleScreen::Outcome::Failed);

    ASSERT_EQ(m_dialogs.calls.size(), 3);
    EXPECT_EQ(m_dialogs.calls[2], QStringLiteral("message|Vimbrel|無法保存文件：%1|%2")
                                      .arg(QDir::toNativeSeparators(target))
                                      .arg(int(MessageIcon::Warning)));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("missing"))));
    EXPECT_TRUE(QDir(path(QStringLiteral("folder"))).isEmpty());
    EXPECT_TRUE(samePixels(clipboard()->image(), pattern()));
}

INSTANTIATE_TEST_SUITE_P(Targets, ScreenshotFailureTest, ::testing::Values(0, 1),
                         [](const auto &info) {
                             return std::string(info.param == 0 ? "MissingFolder" : "Directory");
                         });

TEST_F(ScreenshotTest, FailedGrabShowsNoDialogAndKeepsTheClipboard)
{
    FakeGrabber blind(QImage(), m_dialogs.calls);

    EXPECT_EQ(ModuleScreen::saveScreenshot(blind, m_dialogs, clipboard()),
              ModuleScreen::Outcome::Failed);

    ASSERT_EQ(m_dialogs.calls.size(), 2);
    EXPECT_TRUE(m_dialogs.calls[1].startsWith(QStringLiteral("message|Vimbrel|")));
    EXPECT_EQ(clipboard()->text(), QStringLiteral("before"));
}

TEST(QtScreenGrabberTest, GrabsThePrimaryScreenInDevicePixels)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QImage grabbed = QtScreenGrabber().grabScreen();
    ASSERT_FALSE(grabbed.isNull());
    EXPECT_EQ(grabbed.size(), screen->geometry().size() * screen->devicePixelRatio());
}
