#include <QByteArray>

#include <gtest/gtest.h>

#include <vector>

#include "../search/printing.h"
#include "detail/detaillayout.h"
#include "detail/detailpage.h"
#include "detail/imagewalk.h"
#include "platform/pagefiles.h"

namespace vimbrel {
namespace {

QByteArray pageBytes(const QString &address)
{
    return PageFiles::joinLines(DetailPage::lines(address));
}

QByteArray expectedPage(const QByteArray &src)
{
    return "<body bgcolor=0>\r\n"
           "<body oncontextmenu=self.event.returnValue=false topmargin=0 leftmargin=0 "
           "rightmargin=0 bottommargin=0>\r\n"
           "<div align=center>\r\n"
           "<p><img border=\"1\" src=\"" +
           src +
           "\" title=\xE5\x9C\x96\xE5\x83\x8F ></p> \r\n"
           "\r\n"
           "</div>\r\n"
           "</body>\r\n";
}

struct PageCase
{
    const char *address;
    const char *src; // as written into the attribute
};

class DetailPageBytes : public ::testing::TestWithParam<PageCase>
{
};

TEST_P(DetailPageBytes, SixLinesAndAnEmptyOneAfterThePicture)
{
    EXPECT_EQ(pageBytes(QString::fromUtf8(GetParam().address)), expectedPage(GetParam().src));
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, DetailPageBytes,
    ::testing::Values(
        PageCase{"http://img.test/a/b.jpg", "http://img.test/a/b.jpg"},
        PageCase{"https://img.test/p.jpg?w=80&h=60", "https://img.test/p.jpg?w=80&h=60"},
        PageCase{"http://img.test/\xE5\x9C\x96.jpg", "http://img.test/\xE5\x9C\x96.jpg"},
        // Nothing may end the attribute or the tag, or become another address.
        PageCase{"http://x.test/a\"><script>alert(1)</script>.jpg",
                 "http://x.test/a%22%3E%3Cscript%3Ealert(1)%3C/script%3E.jpg"},
        PageCase{"http://x.test/a.jpg onerror=alert(1)", "http://x.test/a.jpg%20onerror=alert(1)"},
        PageCase{"http://x.test/a.jpg?x=1&copy;", "http://x.test/a.jpg?x=1&amp;copy;"},
        PageCase{"http://x.test/a\r\nb.jpg", "http://x.test/a%0D%0Ab.jpg"}, PageCase{"", ""}));

TEST(DetailPage, CaptionIsTheNameAndTheAddress)
{
    EXPECT_EQ(DetailPage::caption(QStringLiteral("http://img.test/a.jpg")),
              QStringLiteral("圖片詳情 - http://img.test/a.jpg"));
}

TEST(DetailPage, SuggestedFileName)
{
    const std::vector<std::pair<const char *, const char *>> cases = {
        {"http://img.test/a/b.jpg", "b.jpg"},
        {"http://img.test/a/b.jpg?w=80&h=60#top", "b.jpg"},
        {"http://img.test/%E5%9C%96%20one.png", "圖 one.png"},
        {"http://img.test/a%2F..%2F..%2Fetc%2Fpasswd", "passwd"},
        {"http://img.test/x%5C..%5Cboot.ini", "x..boot.ini"},
        {"http://img.test/a%3Ab%2A%3F%22%3C%3E%7C.jpg", "ab.jpg"},
        {"http://img.test/%0Aline%0D.jpg", "line.jpg"},
        {"http://img.test/..", "picture"},
        {"http://img.test/%2E%2E", "picture"},
        {"http://img.test/", "picture"},
        {"http://img.test", "picture"},
        {"data:image/gif;base64,R0lGODlhAQABAIAAAP", "picture"},
        {"", "picture"},
    };
    for (const auto &[address, name] : cases)
        EXPECT_EQ(DetailPage::suggestedFileName(QString::fromUtf8(address)),
                  QString::fromUtf8(name))
            << address;
    const QString longName = QString(300, QLatin1Char('n')) + QStringLiteral(".jpg");
    const QString suggested =
        DetailPage::suggestedFileName(QStringLiteral("http://img.test/") + longName);
    EXPECT_EQ(suggested.size(), 200);
    EXPECT_TRUE(suggested.endsWith(QLatin1String("n.jpg")));
}

TEST(ImageWalk, ThreeEntriesFromAFreshWindow)
{
    using ImageWalk::Step;
    ASSERT_EQ(ImageWalk::start, 1);
    // Next: entry 2, then round to 0; previous from 0: entry 2.
    EXPECT_EQ(ImageWalk::next(1, 3), (Step{2, 2}));
    EXPECT_EQ(ImageWalk::next(2, 3), (Step{0, 0}));
    EXPECT_EQ(ImageWalk::previous(0, 3), (Step{2, 2}));
    EXPECT_EQ(ImageWalk::previous(1, 3), (Step{0, 0}));
    EXPECT_EQ(ImageWalk::previous(2, 3), (Step{1, 1}));
}

TEST(ImageWalk, AnEmptyListShowsNothing)
{
    using ImageWalk::Step;
    EXPECT_EQ(ImageWalk::next(1, 0), (Step{0, -1}));
    EXPECT_EQ(ImageWalk::next(0, 0), (Step{0, -1}));
    EXPECT_EQ(ImageWalk::previous(0, 0), (Step{-1, -1}));
    EXPECT_EQ(ImageWalk::previous(1, 0), (Step{-1, -1}));
    EXPECT_EQ(ImageWalk::next(-1, 0), (Step{0, -1}));
}

TEST(ImageWalk, AListThatShrankGoesRoundWithinItsEntries)
{
    using ImageWalk::Step;
    // Position 40 was walked to in a list of 50; a new extraction left 3 entries.
    EXPECT_EQ(ImageWalk::previous(40, 3), (Step{2, 2}));
    EXPECT_EQ(ImageWalk::next(40, 3), (Step{0, 0}));
    EXPECT_EQ(ImageWalk::next(0, 1), (Step{0, 0}));
    EXPECT_EQ(ImageWalk::previous(0, 1), (Step{0, 0}));
    EXPECT_EQ(ImageWalk::next(6000, 6001), (Step{0, 0}));
    EXPECT_EQ(ImageWalk::previous(0, 6001), (Step{6000, 6000}));
}

TEST(DetailLayout, AtTheDesignSize)
{
    const DetailGeometry design = DetailGeometry::design();
    EXPECT_EQ(design.web, QRect(50, 50, 9255, 6735));
    EXPECT_EQ(design.cmd[0], QRect(2280, 8160, 1300, 495));
    EXPECT_EQ(design.cmd[3], QRect(3720, 8160, 1300, 495));
    EXPECT_EQ(design.cmd[1], QRect(6600, 8160, 1300, 495));
    EXPECT_EQ(design.cmd[2], QRect(8040, 8160, 1300, 495));
    EXPECT_EQ(design.cmd[4], QRect(11040, 8160, 1300, 495));
    EXPECT_EQ(design.cmd[5], QRect(12600, 8160, 1300, 495));
    EXPECT_EQ(design.cmb, QRect(-3240, 3120, 1470, 300));

    const DetailGeometry g =
        resized(design, DetailGeometry::DesignWidth, DetailGeometry::DesignHeight);
    EXPECT_EQ(g.web, QRect(50, 50, 15710, 8080));
    for (int i = 0; i < DetailGeometry::ButtonCount; ++i) {
        EXPECT_EQ(g.cmd[i].top(), 8180) << i;
        EXPECT_EQ(g.cmd[i].left(), design.cmd[i].left()) << i;
        EXPECT_EQ(g.cmd[i].size(), QSize(1300, 495)) << i;
    }
    EXPECT_EQ(g.cmb, design.cmb);
}

TEST(DetailLayout, TooSmallKeepsTheLastSizeButTheButtonsFollowTheEdge)
{
    const DetailGeometry wide = resized(DetailGeometry::design(), 20000, 10000);
    EXPECT_EQ(wide.web, QRect(50, 50, 19900, 9350));

    // Exactly at the limits: a view of no size.
    const DetailGeometry edge = resized(wide, 100, 650);
    EXPECT_EQ(edge.web, QRect(50, 50, 0, 0));
    EXPECT_EQ(edge.cmd[0].top(), 100);

    const DetailGeometry narrow = resized(wide, 99, 5000);
    EXPECT_EQ(narrow.web, QRect(50, 50, 19900, 4350)); // the width is kept
    const DetailGeometry flat = resized(wide, 3000, 600);
    EXPECT_EQ(flat.web, QRect(50, 50, 2900, 9350)); // the height is kept
    EXPECT_EQ(flat.cmd[5].top(), 50);

    const DetailGeometry gone = resized(wide, 0, 0);
    EXPECT_EQ(gone.web, wide.web);
    EXPECT_EQ(gone.cmd[2], QRect(8040, -550, 1300, 495));
}

} // namespace
} // namespace vimbrel
