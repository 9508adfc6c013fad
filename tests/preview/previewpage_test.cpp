// Which addresses of the preview scheme are answered, and with what width.
#include "preview/previewpage.h"

#include <gtest/gtest.h>

#include "platform/filenames.h"

using namespace vimbrel;

TEST(PreviewPage, AnswersThePageAndItsPicturesOnly)
{
    PreviewPage page;
    EXPECT_EQ(page.answer(page.address(QStringLiteral("/c/Tpc.htm"))).kind,
              PreviewPage::Kind::Refused); // nothing on view yet

    const QString odd = QStringLiteral("/p/100% ?sure #1 山水.png");
    page.set(QStringLiteral("/c/Tpc.htm"), {{QStringLiteral("/p/a.jpg"), 240}, {odd, 0}}, 1.5);
    // What the browser asks for, the page's absolute paths resolved against its address.
    const QUrl pageAddress = page.address(QStringLiteral("/c/Tpc.htm"));
    const auto on = [&pageAddress](const char *encodedPath) {
        return pageAddress.resolved(QUrl(QString::fromLatin1(encodedPath)));
    };

    struct Row
    {
        QUrl url;
        PreviewPage::Kind kind;
        QString path;
        int width;
    };
    const Row rows[] = {
        {pageAddress, PreviewPage::Kind::Page, QStringLiteral("/c/Tpc.htm"), 0},
        // width attribute × pixel ratio × 2
        {on("/p/a.jpg"), PreviewPage::Kind::Picture, QStringLiteral("/p/a.jpg"), 720},
        // as the browser encodes the name the page wrote
        {on("/p/100%25%20%3Fsure%20%231%20%E5%B1%B1%E6%B0%B4.png"), PreviewPage::Kind::Picture, odd,
         0},
        {QUrl(on("/p/x/").toString() + QStringLiteral("../a.jpg")), PreviewPage::Kind::Picture,
         QStringLiteral("/p/a.jpg"), 720},
        // everything else is refused
        {on("/etc/passwd"), PreviewPage::Kind::Refused, {}, 0},
        {on("/p/b.jpg"), PreviewPage::Kind::Refused, {}, 0},
        {on("/p/a.jpg?x=1"), PreviewPage::Kind::Refused, {}, 0},
        {QUrl(on("/p/").toString() + QStringLiteral("../etc/passwd")),
         PreviewPage::Kind::Refused,
         {},
         0},
        {QUrl(QStringLiteral("vimbrel:/p/a.jpg")), PreviewPage::Kind::Refused, {}, 0},
        {QUrl(QStringLiteral("vimbrel://p9/p/a.jpg")), PreviewPage::Kind::Refused, {}, 0},
        {QUrl(QStringLiteral("file:///p/a.jpg")), PreviewPage::Kind::Refused, {}, 0},
        {QUrl(QStringLiteral("http://localhost/p/a.jpg")), PreviewPage::Kind::Refused, {}, 0},
    };
    for (const Row &row : rows) {
        const PreviewPage::Answer answer = page.answer(row.url);
        EXPECT_EQ(answer.kind, row.kind) << row.url.toString().toStdString();
        if (row.kind != PreviewPage::Kind::Refused) {
            EXPECT_EQ(answer.path, row.path) << row.url.toString().toStdString();
            EXPECT_EQ(answer.width, row.width) << row.url.toString().toStdString();
        }
    }

    // A new page replaces the old one whole, under a new address: the browser, which keeps what
    // it loaded by address, asks again for a picture shown before at another width.
    page.set(QStringLiteral("/c/Tpc.htm"),
             {{QStringLiteral("/p/a.jpg"), 480}, {QStringLiteral("/p/b.jpg"), 0}}, 1.0);
    const QUrl newAddress = page.address(QStringLiteral("/c/Tpc.htm"));
    EXPECT_NE(newAddress, pageAddress);
    EXPECT_EQ(page.answer(on("/p/a.jpg")).kind, PreviewPage::Kind::Refused);
    // The old page itself, gone back to in the view's history, moved to the page on view.
    EXPECT_EQ(page.answer(pageAddress).kind, PreviewPage::Kind::Moved);
    EXPECT_EQ(page.answer(newAddress.resolved(QUrl(QStringLiteral("/p/a.jpg")))).width, 960);
    EXPECT_EQ(page.answer(newAddress.resolved(QUrl(QStringLiteral("/p/b.jpg")))).kind,
              PreviewPage::Kind::Picture);
    EXPECT_EQ(page.answer(newAddress.resolved(QUrl(QStringLiteral("/p/x.jpg")))).kind,
              PreviewPage::Kind::Refused);
}

TEST(PreviewPage, AddressesMapBackToTheFiles)
{
    PreviewPage page;
    for (const QString &path :
         {QStringLiteral("/home/me/a b#1/100%.jpg"), QStringLiteral("/x/山水?.png")}) {
        const QUrl url = page.address(path);
        EXPECT_EQ(url.scheme(), QStringLiteral("vimbrel"));
        EXPECT_EQ(PreviewPage::localPath(url), path);
        EXPECT_EQ(PreviewPage::localPath(QUrl(url.toString(QUrl::FullyEncoded))), path);
    }
    EXPECT_TRUE(PreviewPage::localPath(QUrl::fromLocalFile(QStringLiteral("/a.jpg"))).isEmpty());
}

// Each picture is found by its own bytes, as the page's address spells them: names that are not
// UTF-8 do not fall together, nor onto a file really named with U+FFFD.
TEST(PreviewPage, NamesThatAreNotUtf8AnswerTheirOwnFile)
{
    const QList<QPair<QByteArray, QString>> pictures = {
        {"/p/\xB9\xCF\xA4\xF9.jpg", QStringLiteral("/p/%B9%CF%A4%F9.jpg")},
        {"/p/\xB9\xCF\xA4\xFA.jpg", QStringLiteral("/p/%B9%CF%A4%FA.jpg")},
        {"/\xB9\xCF/caf\xE9 1.jpg", QStringLiteral("/%B9%CF/caf%E9%201.jpg")},
        {"/p/\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD.jpg",
         QStringLiteral("/p/\uFFFD\uFFFD\uFFFD\uFFFD.jpg")},
    };
    QHash<QString, int> widths;
    for (const auto &picture : pictures)
        widths.insert(FileNames::fromBytes(picture.first), 100);
    PreviewPage page;
    page.set(QStringLiteral("/c/Tpc.htm"), widths, 1.0);
    const QUrl pageAddress = page.address(QStringLiteral("/c/Tpc.htm"));
    for (const auto &[bytes, link] : pictures) {
        const QString path = FileNames::fromBytes(bytes);
        const PreviewPage::Answer answer = page.answer(pageAddress.resolved(QUrl(link)));
        EXPECT_EQ(answer.kind, PreviewPage::Kind::Picture) << link.toStdString();
        EXPECT_EQ(FileNames::toBytes(answer.path), bytes) << link.toStdString();
        EXPECT_EQ(PreviewPage::localPath(page.address(path)), path);
    }
}
