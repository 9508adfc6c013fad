#include "app/startup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/filenames.h"

using namespace vimbrel;

TEST(StartUp, CommandLineIsOneFolderWithoutQuotes)
{
    EXPECT_EQ(StartUp::commandLineFolder({}), QString());
    EXPECT_EQ(
        StartUp::commandLineFolder({QStringLiteral("\"/home/u/My"), QStringLiteral("Photos\"")}),
        QStringLiteral("/home/u/My Photos"));
    EXPECT_EQ(StartUp::commandLineFolder({QStringLiteral("\"\"")}), QString());
    EXPECT_EQ(StartUp::commandLineFolder({QStringLiteral("/a\"b/c")}), QStringLiteral("/ab/c"));
    EXPECT_EQ(StartUp::commandLineFolder({QStringLiteral("--help")}), QStringLiteral("--help"));
}

// What the command line asks for, read in a sandbox folder as the current folder.
TEST(StartUp, CommandLineNamesAFolderAPictureOrNothingThere)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    QDir(root).mkpath(QStringLiteral("My Photos/deep"));
    QFile picture(root + QStringLiteral("/My Photos/a.jpg"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();
    const QString saved = QDir::currentPath();
    QDir::setCurrent(root);

    struct Case
    {
        QString commandLine;
        StartUp::StartKind kind;
        QString path;
    };
    using K = StartUp::StartKind;
    const Case cases[] = {
        {QString(), K::Bare, QString()},
        {root + QStringLiteral("/My Photos"), K::Folder, root + QStringLiteral("/My Photos")},
        {root + QStringLiteral("/My Photos/"), K::Folder, root + QStringLiteral("/My Photos")},
        {QStringLiteral("My Photos/deep/.."), K::Folder, root + QStringLiteral("/My Photos")},
        {root + QStringLiteral("/My Photos/a.jpg"), K::Folder, root + QStringLiteral("/My Photos")},
        {root + QStringLiteral("/gone"), K::NotFound, root + QStringLiteral("/gone")},
        {QStringLiteral("--help"), K::Help, QStringLiteral("--help")},
        {QStringLiteral("--version"), K::Version, QStringLiteral("--version")},
        {QStringLiteral("-x"), K::NotFound, QStringLiteral("-x")},
    };
    for (const Case &c : cases) {
        const StartUp::Start start = StartUp::read(c.commandLine);
        EXPECT_EQ(start.kind, c.kind) << c.commandLine.toStdString();
        EXPECT_EQ(start.path, c.path) << c.commandLine.toStdString();
    }
    EXPECT_TRUE(StartUp::terminalAnswer(QStringLiteral("--help")));
    EXPECT_EQ(StartUp::terminalAnswer(QStringLiteral("--version")),
              QStringLiteral("Vimbrel 4.6\n"));
    EXPECT_FALSE(StartUp::terminalAnswer(root));

    // Names that are not UTF-8, as the system passes them: a Big5 folder and a Latin-1 picture
    // in it, beside the folder Qt alone would read the Big5 name as.
    const QByteArray big5 = QFile::encodeName(root) + "/\xB9\xCF";
    ASSERT_EQ(::mkdir(big5.constData(), 0700), 0);
    ASSERT_EQ(::mkdir(QByteArray(QFile::encodeName(root) + "/\xEF\xBF\xBD\xEF\xBF\xBD").constData(),
                      0700),
              0);
    const QByteArray latin1 = big5 + "/caf\xE9.jpg";
    ::close(::open(latin1.constData(), O_CREAT | O_WRONLY, 0600));
    const QByteArray odd = QFile::encodeName(root) + "/\xC2\xC2\xB7\xD3\xA4\xF9";
    ASSERT_EQ(::mkdir(odd.constData(), 0700), 0);
    EXPECT_EQ(StartUp::read(FileNames::fromArgument(odd)).kind, K::Folder) << "odd";
    for (const QByteArray &argument : {big5, latin1, QByteArray("\xB9\xCF")}) {
        const StartUp::Start start =
            StartUp::read(StartUp::commandLineFolder({FileNames::fromArgument(argument)}));
        EXPECT_EQ(start.kind, K::Folder) << argument.toHex().toStdString();
        EXPECT_EQ(FileNames::toBytes(start.path), big5) << argument.toHex().toStdString();
    }
    ::unlink(latin1.constData());
    ::rmdir(big5.constData());

    // A folder of that name is listed rather than answered.
    QDir(root).mkdir(QStringLiteral("--help"));
    EXPECT_EQ(StartUp::read(QStringLiteral("--help")).kind, K::Folder);
    EXPECT_FALSE(StartUp::terminalAnswer(QStringLiteral("--help")));
    QDir::setCurrent(saved);
}

TEST(StartUp, AnUnreadableFolderIsNotFound)
{
    QTemporaryDir dir;
    const QString locked = dir.filePath(QStringLiteral("locked"));
    QDir().mkdir(locked);
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    if (QFileInfo(locked).isReadable())
        GTEST_SKIP() << "permissions do not bind for this user";
    EXPECT_EQ(StartUp::read(locked).kind, StartUp::StartKind::NotFound);
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(StartUp, EachInstanceOpensAStepAsideAndInsideTheScreen)
{
    const QRect area(0, 30, 1920, 1050); // a panel on top
    const QSize size(1600, 875);
    const struct
    {
        int instance;
        QPoint place;
    } rows[] = {
        {0, {160, 117}}, // centred, as before
        {1, {200, 157}}, // a step down and right
        {3, {280, 61}},  // out of room below: back near the area's top
        {9, {199, 125}}, // out of room both ways
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.instance);
        const QPoint place = StartUp::windowPlace(area, size, row.instance);
        EXPECT_EQ(place, row.place);
        EXPECT_TRUE(area.contains(QRect(place, size)));
    }
    // No room to step aside: the window only keeps inside.
    EXPECT_EQ(StartUp::windowPlace(area, QSize(1920, 1050), 1), QPoint(0, 30));
    EXPECT_EQ(StartUp::windowPlace(area, QSize(2500, 1200), 2), QPoint(0, 30));
}
