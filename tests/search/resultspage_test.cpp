#include "search/resultspage.h"

#include <gtest/gtest.h>

#include "pagehtml/pagehtml.h"
#include "platform/pagefiles.h"
#include "printing.h"

namespace vimbrel {
namespace {

ResultList listOf(const QStringList &addresses)
{
    ResultList list;
    for (const QString &address : addresses)
        list.append(address);
    return list;
}

const QString A = QStringLiteral("http://p.test/a.jpg");
const QString B = QStringLiteral("http://p.test/d/b.png?w=1&h=2");

TEST(ResultsPage, ExtractionPagesHaveTheirExactBytes)
{
    const ResultList list = listOf({A, B});
    EXPECT_EQ(
        PageFiles::joinLines(ResultsPage::extractionLines(Extraction::Rule::SearchResult, list)),
        QByteArray("<body oncontextmenu=\"return false\" topmargin=0 leftmargin=0 rightmargin=0 "
                   "bottommargin=0>\r\n"
                   "<center><p><a href=\"http://p.test/a.jpg\" target=\"_blank\"><img border=\"1\" "
                   "src=\"http://p.test/a.jpg\"></a></p></center>\r\n\r\n"
                   "<center><p><a href=\"http://p.test/d/b.png?w=1&h=2\" target=\"_blank\"><img "
                   "border=\"1\" src=\"http://p.test/d/b.png?w=1&h=2\"></a></p></center>\r\n\r\n"));
    EXPECT_EQ(
        PageFiles::joinLines(ResultsPage::extractionLines(Extraction::Rule::Page, list)),
        QByteArray("<body oncontextmenu=\"return false\" topmargin=0 leftmargin=0 rightmargin=0 "
                   "bottommargin=0>\r\n"
                   "<a href=\"http://p.test/a.jpg\" target=\"_blank\"><img border=\"1\" "
                   "src=\"http://p.test/a.jpg\"></a> \r\n\r\n"
                   "<a href=\"http://p.test/d/b.png?w=1&h=2\" target=\"_blank\"><img border=\"1\" "
                   "src=\"http://p.test/d/b.png?w=1&h=2\"></a> \r\n\r\n"));
    for (const auto rule : {Extraction::Rule::SearchResult, Extraction::Rule::Page})
        EXPECT_EQ(ResultsPage::extractionLines(rule, ResultList()).size(), 1);
}

TEST(ResultsPage, RelayoutInEveryMatrixMode)
{
    const ResultList list = listOf({A, B});
    const QString head = QStringLiteral(
        "<body bgcolor=#C0C0C0>|<body oncontextmenu=self.event.returnValue=false topmargin=0 "
        "leftmargin=0 rightmargin=0 bottommargin=0>|");
    EXPECT_EQ(
        ResultsPage::relayoutLines(list, 0, 999, QStringLiteral("#C0C0C0")).join(QLatin1Char('|')),
        head + QStringLiteral("<div align=center>|"
                              "<center><a href=\"http://p.test/a.jpg\" target=\"_blank\"><img "
                              "border=\"1\" src=\"http://p.test/a.jpg\"></a> </center>||"
                              "<center><a href=\"http://p.test/d/b.png?w=1&h=2\" target=\"_blank\">"
                              "<img border=\"1\" src=\"http://p.test/d/b.png?w=1&h=2\"></a> "
                              "</center>||</div>|</body>"));
    for (int mode = 1; mode <= 4; ++mode) {
        const int w = ResultsPage::matrixWidth(15000, mode);
        EXPECT_EQ(ResultsPage::relayoutLines(list, mode, w, QStringLiteral("#C0C0C0"))
                      .join(QLatin1Char('|')),
                  head + QStringLiteral(
                             "<a href=\"http://p.test/a.jpg\" target=\"_blank\"><img border=\"1\" "
                             "src=\"http://p.test/a.jpg\" width=%1></a>||"
                             "<a href=\"http://p.test/d/b.png?w=1&h=2\" target=\"_blank\"><img "
                             "border=\"1\" src=\"http://p.test/d/b.png?w=1&h=2\" width=%1></a>||"
                             "</body>")
                             .arg(w))
            << mode;
    }
    EXPECT_EQ(ResultsPage::relayoutLines(ResultList(), 0, 0, QStringLiteral("#FFFFFF")).size(), 5);
    EXPECT_EQ(ResultsPage::relayoutLines(ResultList(), 3, 0, QStringLiteral("#FFFFFF")).size(), 3);
}

TEST(ResultsPage, WidthsOfTheMatrixModes)
{
    EXPECT_EQ(ResultsPage::viewWidth0(15000), 960);
    const int expected[] = {960, 960, 480, 313, 232};
    for (int mode = 0; mode <= 4; ++mode)
        EXPECT_EQ(ResultsPage::matrixWidth(15000, mode), expected[mode]) << mode;
    EXPECT_EQ(ResultsPage::viewWidth0(15015), 961);
    EXPECT_EQ(ResultsPage::matrixWidth(15015, 2), 480); // 480.5: halves to even
    EXPECT_EQ(ResultsPage::viewWidth0(15045), 963);
    EXPECT_EQ(ResultsPage::matrixWidth(15045, 2), 482); // 481.5
}

TEST(ResultsPage, HostileAddressesCannotLeaveTheirAttribute)
{
    const struct
    {
        QString address;
        QString written;
    } cases[] = {
        {QStringLiteral("data:image/svg+xml,\"><script>alert(1)</script>"),
         QStringLiteral("data:image/svg+xml,%22%3E%3Cscript%3Ealert(1)%3C/script%3E")},
        {QStringLiteral("http://p.test/a b.jpg onerror=alert(1)"),
         QStringLiteral("http://p.test/a%20b.jpg%20onerror=alert(1)")},
        {QStringLiteral("http://p.test/\t\r\n\x7F`\\^{|}\u0085.jpg"),
         QStringLiteral("http://p.test/%09%0D%0A%7F%60%5C%5E%7B%7C%7D%C2%85.jpg")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PageHtml::attributeAddress(c.address), c.written);
        const ResultList list = listOf({c.address});
        QStringList pages = ResultsPage::extractionLines(Extraction::Rule::Page, list) +
                            ResultsPage::extractionLines(Extraction::Rule::SearchResult, list);
        for (int mode = 0; mode <= 4; ++mode)
            pages += ResultsPage::relayoutLines(list, mode, 100, QStringLiteral("#FFFFFF"));
        for (const QString &line : pages) {
            EXPECT_FALSE(line.contains(QLatin1String("<script"))) << line.toStdString();
            EXPECT_EQ(line.count(QLatin1Char('"')) % 2, 0) << line.toStdString();
            EXPECT_FALSE(line.contains(QLatin1Char('\n')));
        }
    }
    // The colour is program-made, but it still cannot add an attribute.
    EXPECT_EQ(
        ResultsPage::relayoutLines(ResultList(), 1, 1, QStringLiteral("#FF0000 onload=x")).first(),
        QStringLiteral("<body bgcolor=#FF0000onloadx>"));
}

} // namespace
} // namespace vimbrel
