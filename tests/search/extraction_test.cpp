#include "search/extraction.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/inisettings.h"
#include "printing.h"

namespace vimbrel {
namespace {

const QString Host = QStringLiteral("img.test");

BrowserView::Element a(const QString &href)
{
    return {QStringLiteral("A"), href};
}

BrowserView::Element img(const QString &href)
{
    return {QStringLiteral("IMG"), href};
}

QString resultLink(const QString &carried)
{
    return QStringLiteral("http://img.test/i?ct=503316480&z=0&word=cat&objurl=") + carried;
}

QStringList extracted(Extraction::Rule rule, const QList<BrowserView::Element> &elements)
{
    ResultList list;
    list.append(QStringLiteral("left over from before"));
    Extraction::extract(rule, elements, Host, list);
    return list.entries();
}

TEST(Extraction, TheAddressBoxTextChoosesTheRule)
{
    using Extraction::Rule;
    EXPECT_EQ(Extraction::ruleFor(QStringLiteral("http://img.test/i?tn=baiduimage&word=x"), Host),
              Rule::SearchResult);
    EXPECT_EQ(Extraction::ruleFor(QStringLiteral("http://img.test/i?tn"), Host),
              Rule::SearchResult);
    EXPECT_EQ(Extraction::ruleFor(QStringLiteral("http://IMG.test/i?tn=baiduimage"), Host),
              Rule::Page);
    EXPECT_EQ(Extraction::ruleFor(QStringLiteral("https://img.test/i?tn=baiduimage"), Host),
              Rule::Page);
    EXPECT_EQ(Extraction::ruleFor(QStringLiteral(" http://img.test/i?tn=baiduimage"), Host),
              Rule::Page);
    EXPECT_EQ(Extraction::ruleFor(QStringLiteral("http://img.test/"), Host), Rule::Page);
    EXPECT_EQ(Extraction::ruleFor(QString(), Host), Rule::Page);
}

TEST(Extraction, SearchResultRuleTakesTheJpgAddressEachResultLinkCarries)
{
    const QList<BrowserView::Element> elements = {
        a(resultLink(QStringLiteral("http%3A%2F%2Fp.test%2Fone.jpg"))),
        a(resultLink(QStringLiteral("http%3A%2F%2Fp.test%2Fupper.JPG"))),
        a(resultLink(QStringLiteral("http%3A%2F%2Fp.test%2Flong.jpeg"))),
        a(resultLink(QStringLiteral("http%3A%2F%2Fp.test%2Fparams.jpg%3Fw%3D1"))),
        a(resultLink(QStringLiteral("http%3A%2F%2Fp.test%2Fparams.jpg&fr=1"))),
        // Only the upper-case escapes of "/" and ":" are decoded.
        a(resultLink(QStringLiteral("http%3a%2f%2fp.test%2flower.jpg"))),
        a(resultLink(QStringLiteral("https%3A%2F%2Fq.test%2Fa%20b%252F.jpg"))),
        // The last "http" counts.
        a(resultLink(
            QStringLiteral("http%3A%2F%2Fr.test%2F%3Fu%3Dhttp%3A%2F%2Fs.test%2Flast.jpg"))),
        a(resultLink(QStringLiteral("http%3A%2F%2Fp.test%2Fone.jpg"))), // duplicate: two entries
        // Other links, other tags, other case: passed over.
        a(QStringLiteral("http://img.test/i?tn=baiduimage&objurl=http%3A%2F%2Fp.test%2Fx.jpg")),
        a(QStringLiteral("http://IMG.test/i?ct=5033&objurl=http%3A%2F%2Fp.test%2Fx.jpg")),
        img(resultLink(QStringLiteral("http%3A%2F%2Fp.test%2Fimg.jpg"))),
        {QStringLiteral("a"), resultLink(QStringLiteral("http%3A%2F%2Fp.test%2Flower-tag.jpg"))},
        img(QStringLiteral("http://p.test/thumb.jpg")),
        // A script address dressed as a result: not taken.
        a(resultLink(QStringLiteral("httpjavascript%3Aalert(1)%2F%2F.jpg"))),
    };
    EXPECT_EQ(extracted(Extraction::Rule::SearchResult, elements),
              (QStringList{QStringLiteral("http://p.test/one.jpg"),
                           QStringLiteral("http%3a%2f%2fp.test%2flower.jpg"),
                           QStringLiteral("https://q.test/a%20b%252F.jpg"),
                           QStringLiteral("http://s.test/last.jpg"),
                           QStringLiteral("http://p.test/one.jpg")}));
}

TEST(Extraction, PageRuleTakesEveryPictureButGifs)
{
    const QList<BrowserView::Element> elements = {
        img(QStringLiteral("http://p.test/a.jpg")),
        img(QStringLiteral("http://p.test/a.jpg")),
        img(QStringLiteral("http://p.test/anim.gif")),
        img(QStringLiteral("http://p.test/ANIM.GIF")),
        img(QStringLiteral("http://p.test/b.png")),
        img(QStringLiteral("https://p.test/c.jpeg")),
        img(QStringLiteral("file:///home/u/d.bmp")),
        img(QStringLiteral("http://p.test/noextension")),
        img(QStringLiteral("http://p.test/e.gif?x=1")),
        img(QStringLiteral("data:image/png;base64,iVBORw0KGgo=")),
        img(QStringLiteral("javascript:alert(1)")),
        img(QStringLiteral(" JavaScript:alert(1)")),
        img(QStringLiteral("java\tscript:alert(1)")),
        img(QStringLiteral("vbscript:msgbox(1)")),
        img(QStringLiteral("about:blank")),
        img(QString()), // a picture without an address
        a(QStringLiteral("http://p.test/link.jpg")),
        {QStringLiteral("img"), QStringLiteral("http://p.test/lower-tag.jpg")},
        {QStringLiteral("DIV"), QStringLiteral("http://p.test/div.jpg")},
    };
    EXPECT_EQ(
        extracted(Extraction::Rule::Page, elements),
        (QStringList{
            QStringLiteral("http://p.test/a.jpg"), QStringLiteral("http://p.test/a.jpg"),
            QStringLiteral("http://p.test/ANIM.GIF"), QStringLiteral("http://p.test/b.png"),
            QStringLiteral("https://p.test/c.jpeg"), QStringLiteral("file:///home/u/d.bmp"),
            QStringLiteral("http://p.test/noextension"), QStringLiteral("http://p.test/e.gif?x=1"),
            QStringLiteral("data:image/png;base64,iVBORw0KGgo=")}));
}

TEST(Extraction, LinkedOriginalsTakeTheLinksThatNamePictures)
{
    const struct
    {
        const char *link;
        bool taken;
    } cases[] = {
        {"http://p.test/full.jpg", true},
        {"http://p.test/FULL.JPEG?w=1#x", true},
        {"http://p.test/a.png", true},
        {"http://p.test/a.webp", true},
        {"http://p.test/a.avif", true},
        {"http://p.test/a.tiff", true},
        {"http://p.test/a.bmp", true},
        {"file:///home/u/a.tif", true},
        {"http://p.test/page.html", false},
        {"http://p.test/a.jpg/", false},
        {"http://p.test/view?file=a.jpg", false},
        {"http://p.test/", false},
        {"javascript:alert(1)//a.jpg", false},
        {"", false},
        {"http://p.test/dir.jpg/page.htm", false},
    };
    const Extraction::Options on{true};
    const Extraction::Options off{};
    for (const auto &c : cases) {
        const BrowserView::Element thumb{QStringLiteral("IMG"),
                                         QStringLiteral("http://p.test/t.jpg"),
                                         QString::fromLatin1(c.link)};
        EXPECT_EQ(Extraction::pictureAddress(thumb, on), c.taken ? thumb.link : thumb.href)
            << c.link;
        EXPECT_EQ(Extraction::pictureAddress(thumb, off), thumb.href) << c.link;
    }
    // The ".gif" rule looks at the address taken.
    ResultList list;
    Extraction::extract(Extraction::Rule::Page,
                        {{QStringLiteral("IMG"), QStringLiteral("http://p.test/t.jpg"),
                          QStringLiteral("http://p.test/big.gif")}},
                        Host, list, on);
    EXPECT_EQ(list.count(), 0);
}

TEST(Extraction, LinkedOriginalsAreOffUnlessTheSettingSaysOn)
{
    QTemporaryDir dir;
    IniSettings settings(dir.filePath(QStringLiteral("ulvo.ini")));
    EXPECT_FALSE(Extraction::optionsFrom(settings).linkedOriginals);
    for (const char *on : {"1", "true", " On ", "YES"}) {
        settings.setValue(QStringLiteral("Search"), QStringLiteral("LinkedOriginals"),
                          QString::fromLatin1(on));
        EXPECT_TRUE(Extraction::optionsFrom(settings).linkedOriginals) << on;
    }
    for (const char *off : {"0", "false", "", "no", "2"}) {
        settings.setValue(QStringLiteral("Search"), QStringLiteral("LinkedOriginals"),
                          QString::fromLatin1(off));
        EXPECT_FALSE(Extraction::optionsFrom(settings).linkedOriginals) << off;
    }
}

TEST(Extraction, SchemesThatMayStandOnTheResultsPage)
{
    const struct
    {
        const char *address;
        bool accepted;
    } cases[] = {
        {"http://a/x.jpg", true},       {"HTTPS://a/x.jpg", true},
        {"file:///x.jpg", true},        {"data:image/png,x", true},
        {"relative/x.jpg", true},       {"x.jpg?a=b:c", true},
        {"/abs/x:y.jpg", true},         {"", true},
        {"javascript:alert(1)", false}, {"\x01javascript:alert(1)", false},
        {"jav\nascript:x", false},      {"vbscript:x", false},
        {"blob:http://a/1", false},     {"about:blank", false},
        {"c:\\x.jpg", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Extraction::acceptableScheme(QString::fromLatin1(c.address)), c.accepted)
            << c.address;
}

TEST(Extraction, NothingToTakeGivesAnEmptyList)
{
    EXPECT_TRUE(extracted(Extraction::Rule::Page, {}).isEmpty());
    EXPECT_TRUE(extracted(Extraction::Rule::SearchResult, {}).isEmpty());
    EXPECT_TRUE(
        extracted(Extraction::Rule::SearchResult, {img(QStringLiteral("http://p.test/a.jpg"))})
            .isEmpty());
}

TEST(Extraction, TheListStopsAt6001Entries)
{
    QList<BrowserView::Element> pictures, results;
    for (int i = 0; i < 10000; ++i) {
        pictures.append(img(QStringLiteral("http://p.test/%1.jpg").arg(i)));
        results.append(a(resultLink(QStringLiteral("http%3A%2F%2Fp.test%2F%1.jpg").arg(i))));
    }
    for (const auto &[rule, elements] : {std::pair{Extraction::Rule::Page, pictures},
                                         std::pair{Extraction::Rule::SearchResult, results}}) {
        ResultList list;
        Extraction::extract(rule, elements, Host, list);
        ASSERT_EQ(list.count(), ResultList::capacity);
        EXPECT_EQ(list.at(6000), QStringLiteral("http://p.test/6000.jpg"));
        EXPECT_EQ(list.at(6001), QString());
        EXPECT_FALSE(list.append(QStringLiteral("http://p.test/more.jpg")));
        EXPECT_EQ(list.count(), 6001);
    }
}

TEST(ResultList, OutsideTheEntriesIsEmpty)
{
    ResultList list;
    EXPECT_EQ(list.at(0), QString());
    EXPECT_TRUE(list.append(QStringLiteral("x")));
    EXPECT_EQ(list.at(0), QStringLiteral("x"));
    EXPECT_EQ(list.at(-1), QString());
    EXPECT_EQ(list.at(1), QString());
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

} // namespace
} // namespace vimbrel
