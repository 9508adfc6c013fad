// File names as bytes: every name comes back to its own bytes, different names stay different,
// and people read a legible form.
#include "platform/filenames.h"

#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace vimbrel;

namespace {

struct Name
{
    const char *what;
    QByteArray bytes;
    bool stray;       // holds bytes that are not UTF-8
    QString readable; // what a person reads
    QString address;  // the file: address of "/p/" + the name
};

const QList<Name> &names()
{
    static const QList<Name> table = {
        {"Big5", QByteArray("\xB9\xCF\xA4\xF9.jpg"), true, QStringLiteral("圖片.jpg"),
         QStringLiteral("file:///p/%B9%CF%A4%F9.jpg")},
        {"GBK", QByteArray("\xD5\xD5\xC6\xAC.jpg"), true, QStringLiteral("照片.jpg"),
         QStringLiteral("file:///p/%D5%D5%C6%AC.jpg")},
        {"GBK that reads as UTF-8", QByteArray("\xCD\xBC\xC6\xAC.jpg"), false,
         QString::fromUtf8("\xCD\xBC\xC6\xAC.jpg"), QStringLiteral("file:///p/%CD%BC%C6%AC.jpg")},
        {"Latin-1", QByteArray("caf\xE9 #1.jpg"), true, QStringLiteral("caf\\xE9 #1.jpg"),
         QStringLiteral("file:///p/caf%E9%20%231.jpg")},
        {"Big5 whose bytes hold UTF-8", QByteArray("\xB9\xCF\xA4\xF9\xCF\xA4.jpg"), true,
         QStringLiteral("圖片洃.jpg"), QStringLiteral("file:///p/%B9%CF%A4%F9%CF%A4.jpg")},
        {"encoded surrogate", QByteArray("\xED\xB2\xB9.jpg"), true,
         QStringLiteral("\\xED\\xB2\\xB9.jpg"), QStringLiteral("file:///p/%ED%B2%B9.jpg")},
        {"overlong slash", QByteArray("\xC0\xAF\xFF"), true, QStringLiteral("\\xC0\\xAF\\xFF"),
         QStringLiteral("file:///p/%C0%AF%FF")},
        {"a real U+FFFD", QByteArray("\xEF\xBF\xBD.jpg"), false, QStringLiteral("\uFFFD.jpg"),
         QStringLiteral("file:///p/%EF%BF%BD.jpg")},
        {"U+10080, whose low half looks like a held byte", QByteArray("\xF0\x90\x82\x80.jpg"),
         false, QString::fromUtf8("\xF0\x90\x82\x80.jpg"),
         QStringLiteral("file:///p/%F0%90%82%80.jpg")},
        {"a noncharacter and a combining mark",
         QByteArray("\xEF\xBF\xBE"
                    "e\xCC\x81.jpg"),
         false,
         QString::fromUtf8("\xEF\xBF\xBE"
                           "e\xCC\x81.jpg"),
         QStringLiteral("file:///p/%EF%BF%BEe%CC%81.jpg")},
        {"escapes in the name itself", QByteArray("%B9%CF.jpg"), false,
         QStringLiteral("%B9%CF.jpg"), QStringLiteral("file:///p/%25B9%25CF.jpg")},
        {"plain UTF-8", QByteArray("山水 風景.jpg"), false, QStringLiteral("山水 風景.jpg"),
         QStringLiteral("file:///p/%E5%B1%B1%E6%B0%B4%20%E9%A2%A8%E6%99%AF.jpg")},
    };
    return table;
}

} // namespace

TEST(FileNames, EveryNameKeepsItsBytesAndAReadableForm)
{
    QSet<QString> decoded;
    for (const Name &name : names()) {
        SCOPED_TRACE(name.what);
        const QString path = QStringLiteral("/p/") + FileNames::fromBytes(name.bytes);
        EXPECT_EQ(FileNames::toBytes(path), "/p/" + name.bytes);
        EXPECT_EQ(FileNames::hasStrayBytes(path), name.stray);
        EXPECT_EQ(FileNames::readable(path), QStringLiteral("/p/") + name.readable);
        decoded.insert(path);

        // What Qt makes of a UTF-8 name is kept as it is.
        if (!name.stray) {
            EXPECT_EQ(path, QStringLiteral("/p/") + QString::fromUtf8(name.bytes));
            EXPECT_EQ(FileNames::toBytes(path), path.toUtf8());
        }

        // A file: address names the bytes and maps back to the same path.
        const QUrl url = FileNames::fileUrl(path);
        EXPECT_EQ(url.toString(QUrl::FullyEncoded), name.address);
        EXPECT_EQ(FileNames::pathOf(url), path);
        EXPECT_EQ(FileNames::pathOf(QUrl(name.address)), path);
    }
    EXPECT_EQ(decoded.size(), names().size()) << "two names became one path";
}

TEST(FileNames, ReadableFormIsPerPartOfThePath)
{
    const QString path = FileNames::fromBytes("/\xE4\xB8\xAD\xE6\x96\x87/\xB9\xCF/caf\xE9");
    EXPECT_EQ(FileNames::readable(path), QStringLiteral("/中文/圖/caf\\xE9"));
}

TEST(FileNames, ExistsLooksAtTheNamesOwnBytes)
{
    QTemporaryDir dir;
    const QByteArray file = dir.path().toUtf8() + QByteArray("/\xB9\xCF.jpg");
    const QByteArray other = dir.path().toUtf8() + QByteArray("/\xB9\xCE.jpg");
    const int fd = ::open(file.constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_TRUE(FileNames::exists(FileNames::fromBytes(file)));
    EXPECT_FALSE(FileNames::exists(FileNames::fromBytes(other)));
    ::unlink(file.constData());
}

TEST(FileNames, ArgumentsKeepTheirBytes)
{
    EXPECT_EQ(FileNames::toBytes(FileNames::fromArgument("/a/\xB9\xCF")),
              QByteArray("/a/\xB9\xCF"));
    EXPECT_EQ(FileNames::fromArgument("/a/\xE5\xB1\xB1"), QStringLiteral("/a/山"));
}
