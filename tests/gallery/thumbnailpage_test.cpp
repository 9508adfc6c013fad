#include "gallery/thumbnailpage.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>
#include <tuple>

#include "platform/filenames.h"

using namespace vimbrel;

// Readable failure messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

using namespace ThumbnailPage;

namespace {

const QString Body1 = QStringLiteral("<body bgcolor=#FFFFFF>");
const QString Body2 = QStringLiteral("<body oncontextmenu=self.event.returnValue=false topmargin=0 "
                                     "leftmargin=0 rightmargin=0 bottommargin=0>");
const QString DivOpen = QStringLiteral("<div align=center>");
const QString DivClose = QStringLiteral("</div>");
const QString BodyClose = QStringLiteral("</body>");

ImageList listOf(int count, const QString &folder = QStringLiteral("/pics/"))
{
    ImageList list;
    for (int i = 0; i < count; ++i)
        list.append(folder + QStringLiteral("p%1.jpg").arg(i));
    return list;
}

Request requestFor(const ImageList &list, int page = 1, int mode = 0,
                   DisplayStyle style = DisplayStyle::Centre)
{
    Request r;
    r.images = &list;
    r.currentPage = page;
    r.matrixMode = mode;
    r.style = style;
    r.w0 = 970;
    return r;
}

int noWidth(const QString &)
{
    return 0;
}

} // namespace

// ---- widths and page count ----

class BaseWidthTest : public ::testing::TestWithParam<std::tuple<int, int>>
{
};

TEST_P(BaseWidthTest, PixelsLessThirty)
{
    EXPECT_EQ(baseWidth(std::get<0>(GetParam())), std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Pixels, BaseWidthTest,
                         ::testing::Values(std::make_tuple(1000, 970), std::make_tuple(1001, 971),
                                           std::make_tuple(30, 0), std::make_tuple(0, -30)));

class MatrixWidthTest : public ::testing::TestWithParam<std::tuple<int, int, int>>
{
};

TEST_P(MatrixWidthTest, HalvesGoToEven)
{
    const auto [w0, mode, expected] = GetParam();
    EXPECT_EQ(matrixWidth(w0, mode), expected) << "W0 " << w0 << " mode " << mode;
}

INSTANTIATE_TEST_SUITE_P(Modes, MatrixWidthTest,
                         ::testing::Values(std::make_tuple(970, 0, 970),
                                           std::make_tuple(970, 1, 480),
                                           std::make_tuple(970, 2, 316),
                                           std::make_tuple(970, 3, 234), // 234.5
                                           std::make_tuple(971, 1, 480), // 480.5
                                           std::make_tuple(973, 1, 482), // 481.5
                                           std::make_tuple(974, 3, 236), // 235.5
                                           std::make_tuple(971, 2, 317), // 316.67
                                           std::make_tuple(969, 2, 316)));

TEST(PageCountTest, CeilingAndEmpty)
{
    EXPECT_EQ(pageCount(0, 30), 0);
    EXPECT_EQ(pageCount(1, 30), 1);
    EXPECT_EQ(pageCount(30, 30), 1);
    EXPECT_EQ(pageCount(31, 30), 2);
    EXPECT_EQ(pageCount(100, 30), 4);
    EXPECT_EQ(pageCount(20001, 200), 101);
    EXPECT_EQ(pageCount(5, 0), 0); // no division by zero
}

// ---- the line forms ----

struct LineCase
{
    const char *name;
    int mode;
    DisplayStyle style;
    int width;
    int pictureWidth;
    const char *line;
};

class PictureLineTest : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(PictureLineTest, ExactForm)
{
    const LineCase &c = GetParam();
    EXPECT_EQ(pictureLine(QStringLiteral("/pics/a.jpg"), c.mode, c.style, c.width, c.pictureWidth),
              QString::fromUtf8(c.line));
    // The width the previews are made for is the one the line gives the picture.
    const QString line = QString::fromUtf8(c.line);
    const qsizetype at = line.indexOf(QStringLiteral(" width="));
    const int written = at < 0 ? 0 : line.mid(at + 7).section(u' ', 0, 0).toInt();
    EXPECT_EQ(widthAttribute(c.mode, c.style, c.width, c.pictureWidth), written);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PictureLineTest,
    ::testing::Values(LineCase{"Mode0Wider", 0, DisplayStyle::Centre, 970, 971,
                               "<p><a href=\"/pics/a.jpg\" target=\"_blank\"><img border=\"1\" "
                               "src=\"/pics/a.jpg\" width=970 title=a.jpg ></a></p> "},
                      LineCase{"Mode0Exact", 0, DisplayStyle::Centre, 970, 970,
                               "<p><a href=\"/pics/a.jpg\" target=\"_blank\"><img border=\"1\" "
                               "src=\"/pics/a.jpg\" title=a.jpg ></a></p> "},
                      LineCase{"Mode0Unknown", 0, DisplayStyle::Centre, 970, 0,
                               "<p><a href=\"/pics/a.jpg\" target=\"_blank\"><img border=\"1\" "
                               "src=\"/pics/a.jpg\" title=a.jpg ></a></p> "},
                      LineCase{"Mode1", 1, DisplayStyle::Centre, 480, 0,
                               "<a href=\"/pics/a.jpg\" target=\"_blank\"><img border=\"1\" "
                               "src=\"/pics/a.jpg\"  width=480 title=a.jpg ></a> "},
                      LineCase{"Mode3", 3, DisplayStyle::Centre, 234, 5000,
                               "<a href=\"/pics/a.jpg\" target=\"_blank\"><img border=\"1\" "
                               "src=\"/pics/a.jpg\"  width=234 title=a.jpg ></a> "},
                      LineCase{"Stretch", 0, DisplayStyle::Stretch, 970, 0,
                               "<a href=\"/pics/a.jpg\" target=\"_blank\"><img border=\"1\" "
                               "src=\"/pics/a.jpg\"  width=970 title=a.jpg ></a> "},
                      LineCase{"Tile", 2, DisplayStyle::Tile, 0, 0,
                               "<a href=\"/pics/a.jpg\" target=\"_blank\"><img border=\"1\" "
                               "src=\"/pics/a.jpg\" title=a.jpg ></a>"}),
    [](const auto &info) { return std::string(info.param.name); });

// The whole page for each layout: the div only in mode 0 and the two styles, an empty line after
// every picture, the widths of W0 = 970, widthOf asked only in centred mode 0.
struct PageCase
{
    const char *name;
    int mode;
    DisplayStyle style;
    bool div;
    const char *widthPart; // between src="..." and title=
    const char *lineOpen;
    const char *lineEnd;
    bool asksWidth;
};

class PageLayoutTest : public ::testing::TestWithParam<PageCase>
{
};

TEST_P(PageLayoutTest, Lines)
{
    const PageCase &c = GetParam();
    const ImageList list = listOf(2);
    int asked = 0;
    const Result result = build(requestFor(list, 1, c.mode, c.style), [&](const QString &) {
        ++asked;
        return 2000;
    });

    QStringList expected{Body1, Body2};
    if (c.div)
        expected << DivOpen;
    for (int i = 0; i < 2; ++i) {
        const QString p = QStringLiteral("/pics/p%1.jpg").arg(i);
        expected << QString::fromUtf8(c.lineOpen) + QStringLiteral("<a href=\"") + p +
                        QStringLiteral("\" target=\"_blank\"><img border=\"1\" src=\"") + p +
                        QString::fromUtf8(c.widthPart) + QStringLiteral("title=p%1.jpg").arg(i) +
                        QString::fromUtf8(c.lineEnd)
                 << QString();
    }
    if (c.div)
        expected << DivClose;
    expected << BodyClose;

    EXPECT_EQ(result.lines, expected);
    EXPECT_EQ(asked, c.asksWidth ? 2 : 0);
    EXPECT_EQ(result.pageFolder, QStringLiteral("/pics/"));
    EXPECT_EQ(result.pictureCount, 2);
    EXPECT_FALSE(result.nextEnabled);
    EXPECT_EQ(result.pageCount, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PageLayoutTest,
    ::testing::Values(
        PageCase{"Mode0", 0, DisplayStyle::Centre, true, "\" width=970 ", "<p>", " ></a></p> ",
                 true},
        PageCase{"Mode1", 1, DisplayStyle::Centre, false, "\"  width=480 ", "", " ></a> ", false},
        PageCase{"Mode2", 2, DisplayStyle::Centre, false, "\"  width=316 ", "", " ></a> ", false},
        PageCase{"Mode3", 3, DisplayStyle::Centre, false, "\"  width=234 ", "", " ></a> ", false},
        PageCase{"Stretch", 0, DisplayStyle::Stretch, true, "\"  width=970 ", "", " ></a> ", false},
        PageCase{"StretchIgnoresMode", 3, DisplayStyle::Stretch, true, "\"  width=970 ", "",
                 " ></a> ", false},
        PageCase{"Tile", 0, DisplayStyle::Tile, true, "\" ", "", " ></a>", false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ThumbnailPageTest, BackgroundGoesIntoTheFirstLine)
{
    const ImageList list = listOf(1);
    Request r = requestFor(list);
    r.background = QStringLiteral("#000000");
    EXPECT_EQ(build(r, noWidth).lines.first(), QStringLiteral("<body bgcolor=#000000>"));
}

TEST(ThumbnailPageTest, EmptyListHoldsOnlyTheFrame)
{
    const ImageList list;
    const Result centred = build(requestFor(list), noWidth);
    EXPECT_EQ(centred.lines, (QStringList{Body1, Body2, DivOpen, DivClose, BodyClose}));
    EXPECT_FALSE(centred.nextEnabled);
    EXPECT_EQ(centred.pageCount, 0);
    EXPECT_EQ(centred.pictureCount, 0);
    EXPECT_TRUE(centred.pageFolder.isEmpty());

    const Result mode2 = build(requestFor(list, 1, 2), noWidth);
    EXPECT_EQ(mode2.lines, (QStringList{Body1, Body2, BodyClose}));

    Request withoutList;
    EXPECT_EQ(build(withoutList, noWidth).pictureCount, 0);
}

TEST(ThumbnailPageTest, ThirtyOneAndThirtyPictures)
{
    const ImageList list31 = listOf(31);
    const Result page1 = build(requestFor(list31, 1), noWidth);
    EXPECT_EQ(page1.pictureCount, 30);
    EXPECT_TRUE(page1.nextEnabled);
    EXPECT_EQ(page1.pageCount, 2);

    const Result page2 = build(requestFor(list31, 2), noWidth);
    EXPECT_EQ(page2.pictureCount, 1);
    EXPECT_FALSE(page2.nextEnabled);
    EXPECT_EQ(page2.pageCount, 2);
    EXPECT_TRUE(page2.lines.at(3).contains(QStringLiteral("/pics/p30.jpg")));

    const ImageList list30 = listOf(30);
    const Result full = build(requestFor(list30, 1), noWidth);
    EXPECT_EQ(full.pictureCount, 30);
    EXPECT_FALSE(full.nextEnabled); // a full page that ends the list
    EXPECT_EQ(full.pageCount, 1);
    EXPECT_EQ(full.lines.size(), 2 + 1 + 60 + 2);
}

TEST(ThumbnailPageTest, PageBeyondTheEndHoldsNoPicture)
{
    const ImageList list = listOf(40);
    for (int page : {3, 1000, 2147483647}) {
        const Result result = build(requestFor(list, page), noWidth);
        EXPECT_EQ(result.pictureCount, 0) << page;
        EXPECT_TRUE(result.pageFolder.isEmpty()) << page;
        EXPECT_FALSE(result.nextEnabled) << page;
        EXPECT_EQ(result.pageCount, 2) << page;
        EXPECT_EQ(result.lines.size(), 5) << page;
    }
    // A page before the first (no collection yet) shows nothing either.
    EXPECT_EQ(build(requestFor(list, 0), noWidth).pictureCount, 0);
}

TEST(ThumbnailPageTest, PageFolderIsTheFirstPicturesFolder)
{
    ImageList list;
    list.append(QStringLiteral("/a/one.jpg"));
    list.append(QStringLiteral("/b/c/two.jpg"));
    Request r = requestFor(list);
    r.pageSize = 1;
    EXPECT_EQ(build(r, noWidth).pageFolder, QStringLiteral("/a/"));
    r.currentPage = 2;
    EXPECT_EQ(build(r, noWidth).pageFolder, QStringLiteral("/b/c/"));
}

TEST(ThumbnailPageTest, ModeZeroScalesOnlyWiderPictures)
{
    ImageList list;
    for (const char *name : {"/p/exact.jpg", "/p/wider.jpg", "/p/unknown.jpg", "/p/small.jpg"})
        list.append(QString::fromUtf8(name));
    const Result result = build(requestFor(list), [](const QString &path) {
        if (path.endsWith(QStringLiteral("exact.jpg")))
            return 970;
        if (path.endsWith(QStringLiteral("wider.jpg")))
            return 971;
        if (path.endsWith(QStringLiteral("small.jpg")))
            return 12;
        return 0;
    });
    EXPECT_FALSE(result.lines.at(3).contains(QStringLiteral("width=")));
    EXPECT_TRUE(result.lines.at(5).contains(QStringLiteral("\" width=970 title=wider.jpg ")));
    EXPECT_FALSE(result.lines.at(7).contains(QStringLiteral("width=")));
    EXPECT_FALSE(result.lines.at(9).contains(QStringLiteral("width=")));
    ASSERT_EQ(result.pictures.size(), 4);
    EXPECT_EQ(result.pictures.at(1).path, QStringLiteral("/p/wider.jpg"));
    const QList<int> widths = {result.pictures.at(0).width, result.pictures.at(1).width,
                               result.pictures.at(2).width, result.pictures.at(3).width};
    EXPECT_EQ(widths, (QList<int>{0, 970, 0, 0}));
}

// ---- file names that are not safe as they stand ----

struct EscapeCase
{
    const char *label;
    const char *path;
    const char *address; // the href and src value
    const char *title;   // what follows title=
};

class EscapingTest : public ::testing::TestWithParam<EscapeCase>
{
};

TEST_P(EscapingTest, TileLine)
{
    const EscapeCase &c = GetParam();
    const QString address = QString::fromUtf8(c.address);
    const QString expected = QStringLiteral("<a href=\"") + address +
                             QStringLiteral("\" target=\"_blank\"><img border=\"1\" src=\"") +
                             address + QStringLiteral("\" title=") + QString::fromUtf8(c.title) +
                             QStringLiteral(" ></a>");
    // The path as the listing holds it: its bytes kept, whatever their encoding.
    EXPECT_EQ(pictureLine(FileNames::fromBytes(c.path), 0, DisplayStyle::Tile, 0, 0), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, EscapingTest,
    ::testing::Values(
        EscapeCase{"Plain", "/p/a_b-c.(1)[2]{3}+~!;,@$.jpg", "/p/a_b-c.(1)[2]{3}+~!;,@$.jpg",
                   "a_b-c.(1)[2]{3}+~!;,@$.jpg"},
        EscapeCase{"Chinese", "/照片/風景 一.jpg", "/照片/風景%20一.jpg", "\"風景 一.jpg\""},
        EscapeCase{"ChineseSafe", "/照片/風景.jpg", "/照片/風景.jpg", "風景.jpg"},
        EscapeCase{"Blank", "/p/a b.jpg", "/p/a%20b.jpg", "\"a b.jpg\""},
        EscapeCase{"TrailingBlank", "/p/a.jpg ", "/p/a.jpg%20", "\"a.jpg \""},
        EscapeCase{"DoubleQuote", "/p/a\"b.jpg", "/p/a%22b.jpg", "\"a&#34;b.jpg\""},
        EscapeCase{"SingleQuote", "/p/a'b.jpg", "/p/a'b.jpg", "\"a&#39;b.jpg\""},
        EscapeCase{"Angles", "/p/<b>.jpg", "/p/%3Cb%3E.jpg", "\"&#60;b&#62;.jpg\""},
        EscapeCase{"Ampersand", "/p/a&amp;b.jpg", "/p/a%26amp;b.jpg", "\"a&#38;amp;b.jpg\""},
        EscapeCase{"Equals", "/p/a=b.jpg", "/p/a=b.jpg", "\"a=b.jpg\""},
        EscapeCase{"Backtick", "/p/a`b.jpg", "/p/a`b.jpg", "\"a&#96;b.jpg\""},
        EscapeCase{"Hash", "/p/a#1.jpg", "/p/a%231.jpg", "a#1.jpg"},
        EscapeCase{"Percent", "/p/a%41.jpg", "/p/a%2541.jpg", "a%41.jpg"},
        EscapeCase{"Question", "/p/a?x=1.jpg", "/p/a%3Fx=1.jpg", "\"a?x=1.jpg\""},
        EscapeCase{"Backslash", "/p/a\\b.jpg", "/p/a%5Cb.jpg", "a\\b.jpg"},
        EscapeCase{"Newline", "/p/a\nb.jpg", "/p/a%0Ab.jpg", "\"a&#10;b.jpg\""},
        EscapeCase{"FolderWithBlank", "/my pics/a.jpg", "/my%20pics/a.jpg", "a.jpg"},
        EscapeCase{"OnError", "/p/x onerror=alert(1) .jpg", "/p/x%20onerror=alert(1)%20.jpg",
                   "\"x onerror=alert(1) .jpg\""},
        EscapeCase{"ScriptTag", "/p/a\"><script>alert(1)<\\script>.jpg",
                   "/p/a%22%3E%3Cscript%3Ealert(1)%3C%5Cscript%3E.jpg",
                   "\"a&#34;&#62;&#60;script&#62;alert(1)&#60;\\script&#62;.jpg\""},
        EscapeCase{"SchemeLike", "javascript:alert(1)", "javascript%3Aalert(1)",
                   "javascript:alert(1)"},
        EscapeCase{"DriveLetter", "C:/p/a.jpg", "C:/p/a.jpg", "a.jpg"},
        // Names that are not UTF-8 link to their own bytes and show a readable title.
        EscapeCase{"Big5", "/p/\xB9\xCF\xA4\xF9.jpg", "/p/%B9%CF%A4%F9.jpg", "圖片.jpg"},
        EscapeCase{"Big5Folder", "/\xB9\xCF/a b.jpg", "/%B9%CF/a%20b.jpg", "\"a b.jpg\""},
        EscapeCase{"Latin1", "/p/caf\xE9.jpg", "/p/caf%E9.jpg", "caf\\xE9.jpg"},
        EscapeCase{"RealReplacement", "/p/\xEF\xBF\xBD.jpg", "/p/\xEF\xBF\xBD.jpg",
                   "\xEF\xBF\xBD.jpg"},
        EscapeCase{"AstralLowHalf", "/p/\xF0\x90\x82\x80.jpg", "/p/\xF0\x90\x82\x80.jpg",
                   "\xF0\x90\x82\x80.jpg"}),
    [](const auto &info) { return std::string(info.param.label); });

// Whatever the name, a picture line is one img inside one link: quotes balance and no markup
// starts inside an attribute.
TEST(EscapingTest, HostileNamesStayInsideTheirAttributes)
{
    const QStringList names{
        QStringLiteral("x onerror=alert(1) .jpg"),
        QStringLiteral("a\"><script>alert(1)<\\script>.jpg"),
        QStringLiteral("a\"><script>.jpg"),
        QStringLiteral("a' onload='alert(1)'.jpg"),
        QStringLiteral("`onerror=alert(1)`.jpg"),
        QStringLiteral("a\r\n<img src=x onerror=alert(1)>.jpg"),
    };
    for (const QString &name : names) {
        for (DisplayStyle style :
             {DisplayStyle::Centre, DisplayStyle::Stretch, DisplayStyle::Tile}) {
            const QString line = pictureLine(QStringLiteral("/p/") + name, 0, style, 970, 2000);
            EXPECT_EQ(line.count(QLatin1Char('<')), line.startsWith(QStringLiteral("<p>")) ? 5 : 3)
                << qPrintable(line);
            EXPECT_EQ(line.count(QLatin1Char('>')), line.startsWith(QStringLiteral("<p>")) ? 5 : 3)
                << qPrintable(line);
            EXPECT_EQ(line.count(QLatin1Char('"')), 10) << qPrintable(line);
            EXPECT_FALSE(line.contains(QLatin1Char('\n'))) << qPrintable(line);
        }
    }
}
