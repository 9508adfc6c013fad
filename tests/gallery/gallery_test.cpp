#include "gallery/gallery.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "fakedialogs.h"
#include "platform/filenames.h"
#include "platform/inisettings.h"
#include "platform/pagefiles.h"

using namespace vimbrel;

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

constexpr int ViewWidth = 1000; // W0 = 970

class GalleryTest : public ::testing::Test
{
protected:
    GalleryTest()
        : gallery(dir.filePath(QStringLiteral("Tpc.htm")), [this](const QString &path) {
              ++widthCalls;
              return path.endsWith(QStringLiteral("wide.jpg")) ? 4000 : 100;
          })
    {
        gallery.setViewWidth(ViewWidth);
    }

    // Adds pictures to the collection; show() makes it the gallery's, on page 1.
    void fill(int count, const QString &folder = QStringLiteral("/pics/"))
    {
        for (int i = 0; i < count; ++i)
            pending.append(folder + QStringLiteral("p%1.jpg").arg(i));
    }
    void show()
    {
        gallery.showImages(std::move(pending));
        pending = ImageList();
    }

    QString pageText() const
    {
        QFile file(gallery.pageFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll());
    }

    QTemporaryDir dir;
    int widthCalls = 0;
    ImageList pending;
    Gallery gallery;
};

} // namespace

TEST_F(GalleryTest, FirstPageWritesThePageAndSetsTheLabels)
{
    fill(100);
    QSignalSpy built(&gallery, &Gallery::pageBuilt);
    show();
    EXPECT_EQ(built.count(), 1);

    EXPECT_TRUE(gallery.pageWritten());
    EXPECT_EQ(gallery.currentPage(), 1);
    EXPECT_EQ(gallery.pageCount(), 4);
    EXPECT_FALSE(gallery.previousEnabled());
    EXPECT_TRUE(gallery.nextEnabled());
    EXPECT_EQ(gallery.displayStyle(), DisplayStyle::Centre);
    EXPECT_EQ(widthCalls, 30);
    EXPECT_EQ(gallery.pathLabel(), QStringLiteral("當前路徑：/pics/"));
    EXPECT_EQ(gallery.countLabel(), QStringLiteral("圖片總數：100"));
    EXPECT_EQ(gallery.headerLabel(), QStringLiteral("Tarnell     第 1 頁  ， 共 4 頁"));

    const QString text = pageText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("<body bgcolor=#FFFFFF>\r\n<body oncontextmenu=")));
    EXPECT_TRUE(text.contains(
        QStringLiteral("title=p0.jpg ></a></p> \r\n\r\n<p><a href=\"/pics/p1.jpg\"")));
    EXPECT_TRUE(text.endsWith(QStringLiteral(" ></a></p> \r\n\r\n</div>\r\n</body>\r\n")));
}

TEST_F(GalleryTest, PagingThroughFourPages)
{
    fill(100);
    show();

    struct Step
    {
        bool next;
        int page;
        bool previousEnabled;
        bool nextEnabled;
        const char *firstPicture;
    };
    const Step steps[] = {
        {true, 2, true, true, "/pics/p30.jpg"},  {true, 3, true, true, "/pics/p60.jpg"},
        {true, 4, true, false, "/pics/p90.jpg"}, {false, 3, true, true, "/pics/p60.jpg"},
        {false, 2, true, true, "/pics/p30.jpg"}, {false, 1, false, true, "/pics/p0.jpg"},
    };
    for (const Step &s : steps) {
        ASSERT_TRUE(s.next ? gallery.nextPage() : gallery.previousPage());
        EXPECT_EQ(gallery.currentPage(), s.page);
        EXPECT_EQ(gallery.previousEnabled(), s.previousEnabled) << s.page;
        EXPECT_EQ(gallery.nextEnabled(), s.nextEnabled) << s.page;
        EXPECT_TRUE(pageText().contains(QStringLiteral("<p><a href=\"") +
                                        QString::fromUtf8(s.firstPicture) + QLatin1Char('"')))
            << s.page;
        EXPECT_EQ(gallery.pageCount(), 4);
    }
    gallery.jumpTo(4);
    EXPECT_EQ(pageText().count(QStringLiteral("<p><a href=")), 10);
}

TEST_F(GalleryTest, EmptyListShowsAnEmptyPageAndRefusesTheLayoutCommands)
{
    // Before any page: the start texts.
    EXPECT_EQ(gallery.headerLabel(), QStringLiteral("Tarnell"));
    EXPECT_EQ(gallery.pathLabel(), QStringLiteral("當前路徑：未知"));
    ASSERT_TRUE(gallery.firstPage());
    EXPECT_EQ(gallery.headerLabel(), QStringLiteral("Tarnell     第 1 頁  ， 共 0 頁"));
    EXPECT_EQ(gallery.countLabel(), QStringLiteral("圖片總數：0"));
    // The page folder is the home folder until a page holds a picture.
    EXPECT_EQ(gallery.pathLabel(), QStringLiteral("當前路徑：") + QDir::homePath() + u'/');
    EXPECT_FALSE(gallery.nextEnabled());
    EXPECT_EQ(pageText(), QStringLiteral("<body bgcolor=#FFFFFF>\r\n<body oncontextmenu=self.event."
                                         "returnValue=false topmargin=0 leftmargin=0 rightmargin=0 "
                                         "bottommargin=0>\r\n<div align=center>\r\n</div>\r\n</"
                                         "body>\r\n"));

    EXPECT_FALSE(gallery.refresh());
    EXPECT_FALSE(gallery.cycleMatrixMode());
    EXPECT_FALSE(gallery.cycleDisplayStyle());
    EXPECT_EQ(gallery.matrixMode(), 0);
    EXPECT_EQ(gallery.displayStyle(), DisplayStyle::Centre);
}

TEST_F(GalleryTest, DisplayStyleCyclesStretchTileCentre)
{
    fill(3);
    show();
    gallery.cycleMatrixMode();
    gallery.cycleMatrixMode();
    ASSERT_EQ(gallery.matrixMode(), 2);
    widthCalls = 0;

    ASSERT_TRUE(gallery.cycleDisplayStyle());
    EXPECT_EQ(gallery.displayStyle(), DisplayStyle::Stretch);
    EXPECT_EQ(gallery.matrixMode(), 0);
    EXPECT_TRUE(pageText().contains(
        QStringLiteral("src=\"/pics/p0.jpg\"  width=970 title=p0.jpg ></a> \r\n")));
    EXPECT_TRUE(pageText().contains(QStringLiteral("<div align=center>")));

    ASSERT_TRUE(gallery.cycleDisplayStyle());
    EXPECT_EQ(gallery.displayStyle(), DisplayStyle::Tile);
    EXPECT_TRUE(pageText().contains(QStringLiteral("src=\"/pics/p0.jpg\" title=p0.jpg ></a>\r\n")));
    EXPECT_EQ(widthCalls, 0); // the styles never ask for picture widths

    ASSERT_TRUE(gallery.cycleDisplayStyle());
    EXPECT_EQ(gallery.displayStyle(), DisplayStyle::Centre);
    EXPECT_TRUE(pageText().contains(QStringLiteral("<p><a href=\"/pics/p0.jpg\"")));
    EXPECT_EQ(widthCalls, 3);

    // After a stretch page the matrix button goes on from mode 0.
    gallery.cycleDisplayStyle();
    ASSERT_EQ(gallery.displayStyle(), DisplayStyle::Stretch);
    gallery.cycleMatrixMode();
    EXPECT_EQ(gallery.matrixMode(), 1);
    EXPECT_EQ(gallery.displayStyle(), DisplayStyle::Centre);
    EXPECT_TRUE(pageText().contains(QStringLiteral("\"  width=480 title=p0.jpg ")));

    // Any page build ends a style: the next press is stretch again.
    gallery.cycleDisplayStyle();
    gallery.refresh();
    EXPECT_EQ(gallery.displayStyle(), DisplayStyle::Centre);
    gallery.cycleDisplayStyle();
    EXPECT_EQ(gallery.displayStyle(), DisplayStyle::Stretch);
}

TEST_F(GalleryTest, MatrixModeWrapsAfterThree)
{
    fill(1);
    show();
    for (int expected : {1, 2, 3, 0, 1}) {
        gallery.cycleMatrixMode();
        EXPECT_EQ(gallery.matrixMode(), expected);
    }
}

TEST_F(GalleryTest, LargerPageSizeKeepsThePageWithinTheCount)
{
    fill(100, QStringLiteral("/first/"));
    show();
    gallery.jumpTo(4);
    gallery.setPageSize(200);
    ASSERT_TRUE(gallery.refresh());
    EXPECT_EQ(gallery.currentPage(), 1);
    EXPECT_EQ(gallery.pageCount(), 1);
    EXPECT_FALSE(gallery.nextEnabled());
    EXPECT_FALSE(gallery.previousEnabled());
    EXPECT_EQ(gallery.pathLabel(), QStringLiteral("當前路徑：/first/"));
    EXPECT_EQ(pageText().count(QStringLiteral("<a href")), 100);
}

// ---- a new page size while a page is on view ----

struct PageSizeCase
{
    const char *label;
    int pictures;
    int oldSize;
    int page; // on view when the size changes
    int newSize;
    int expectedPage;
    int expectedPages;
    bool next;
};

class PageSizeTest : public ::testing::TestWithParam<PageSizeCase>
{
};

// The page keeps its number while the new count allows it, else it is the last page; the page
// on view is not rebuilt, and a step back, a step on or a jump shows pictures, never an empty
// page beyond the count.
TEST_P(PageSizeTest, ThePageStaysWithinTheNewCount)
{
    const PageSizeCase &c = GetParam();
    QTemporaryDir dir;
    Gallery gallery(dir.filePath(QStringLiteral("Tpc.htm")), [](const QString &) { return 0; });
    IniSettings settings(dir.filePath(QStringLiteral("ulvo.ini")));
    ImageList list;
    for (int i = 0; i < c.pictures; ++i)
        list.append(QStringLiteral("/p/%1.jpg").arg(i));
    gallery.setPageSize(c.oldSize);
    gallery.showImages(std::move(list));
    ASSERT_TRUE(gallery.jumpTo(c.page));

    QSignalSpy built(&gallery, &Gallery::pageBuilt);
    FakeDialogs dialogs;
    dialogs.inputAnswers = {QString::number(c.newSize)};
    ASSERT_TRUE(gallery.askPageSize(dialogs, settings));
    EXPECT_EQ(built.count(), 0); // the page on view stays until the next build
    EXPECT_EQ(gallery.currentPage(), c.expectedPage);
    EXPECT_EQ(gallery.pageCount(), c.expectedPages);
    EXPECT_EQ(gallery.nextEnabled(), c.next);
    EXPECT_EQ(gallery.previousEnabled(), c.expectedPage >= 2);

    // Whatever comes next shows pictures under a header within the count.
    const auto shows = [&] {
        return gallery.pagePictures().size() > 0 && gallery.currentPage() <= gallery.pageCount();
    };
    if (gallery.previousEnabled()) {
        gallery.previousPage();
        EXPECT_TRUE(shows()) << gallery.headerLabel().toStdString();
        gallery.nextPage();
    }
    gallery.refresh();
    EXPECT_TRUE(shows()) << gallery.headerLabel().toStdString();
    EXPECT_EQ(gallery.nextEnabled(), c.next);
    dialogs.inputAnswers = {QString::number(c.expectedPages + 1)};
    EXPECT_FALSE(gallery.askJump(dialogs)); // beyond the new count: told, not shown
    EXPECT_TRUE(dialogs.calls.contains(
        QStringLiteral("message|Vimbrel|總共只有 %1 頁，您超出範圍了！|0").arg(c.expectedPages)));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PageSizeTest,
    ::testing::Values(
        // 250 pictures on page 9 of 30 a page, then 50 a page: page 5 of 5, not "第 8 頁，共 5 頁"
        PageSizeCase{"LastPageToFewerPages", 250, 30, 9, 50, 5, 5, false},
        PageSizeCase{"MiddlePageBeyondTheNewCount", 250, 30, 7, 100, 3, 3, false},
        PageSizeCase{"PageThatBecomesTheLast", 100, 30, 2, 50, 2, 2, false},
        PageSizeCase{"PageWithinTheNewCount", 250, 50, 2, 100, 2, 3, true},
        PageSizeCase{"SmallerPagesKeepTheNumber", 250, 50, 5, 30, 5, 9, true},
        PageSizeCase{"FirstPage", 40, 30, 1, 200, 1, 1, false}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(GalleryTest, PathLabelFollowsTheFirstPictureOfThePage)
{
    fill(30, QStringLiteral("/a/"));
    fill(5, QStringLiteral("/b/c/"));
    show();
    EXPECT_EQ(gallery.pathLabel(), QStringLiteral("當前路徑：/a/"));
    gallery.nextPage();
    EXPECT_EQ(gallery.pathLabel(), QStringLiteral("當前路徑：/b/c/"));
    // A folder named in Big5 is read as text, not as the bytes the path keeps.
    fill(30, FileNames::fromBytes("/\xB9\xCF/"));
    show();
    EXPECT_EQ(gallery.pathLabel(), QStringLiteral("當前路徑：/圖/"));
}

TEST_F(GalleryTest, ModeZeroScalesWidePicturesOnly)
{
    pending.append(QStringLiteral("/p/wide.jpg"));
    pending.append(QStringLiteral("/p/small.jpg"));
    show();
    EXPECT_TRUE(
        pageText().contains(QStringLiteral("src=\"/p/wide.jpg\" width=970 title=wide.jpg")));
    EXPECT_TRUE(pageText().contains(QStringLiteral("src=\"/p/small.jpg\" title=small.jpg")));
}

TEST(GalleryWriteTest, UnwritablePageFileIsRecordedNotFatal)
{
    QTemporaryDir dir;
    Gallery gallery(dir.filePath(QStringLiteral("missing/folder/Tpc.htm")),
                    [](const QString &) { return 0; });
    ImageList two;
    two.append(QStringLiteral("/p/a.jpg"));
    two.append(QStringLiteral("/p/b.jpg"));
    gallery.setPageSize(1);
    gallery.showImages(std::move(two));
    EXPECT_FALSE(gallery.pageWritten());
    EXPECT_TRUE(gallery.nextEnabled());
    EXPECT_EQ(gallery.pageCount(), 2);
    EXPECT_EQ(gallery.pathLabel(), QStringLiteral("當前路徑：/p/"));
    EXPECT_TRUE(gallery.nextPage());
    EXPECT_EQ(gallery.currentPage(), 2);
}

// ---- the jump command ----

namespace {

const QString JumpPrompt = QStringLiteral("input|跳轉頁面至|請輸入即將跳轉的頁面序號……|");

QString tooFar(int pages)
{
    return QStringLiteral("message|Vimbrel|總共只有 %1 頁，您超出範圍了！|0").arg(pages);
}

} // namespace

struct JumpCase
{
    const char *label;
    std::vector<std::optional<const char *>> answers;
    int pictures;
    int expectedPage; // from page 3
    int messages;     // out-of-range messages shown
    bool moved;
};

class JumpTest : public ::testing::TestWithParam<JumpCase>
{
};

TEST_P(JumpTest, Answers)
{
    const JumpCase &c = GetParam();
    QTemporaryDir dir;
    Gallery gallery(dir.filePath(QStringLiteral("Tpc.htm")), [](const QString &) { return 0; });
    ImageList list;
    for (int i = 0; i < c.pictures; ++i)
        list.append(QStringLiteral("/p/%1.jpg").arg(i));
    gallery.showImages(std::move(list));
    gallery.jumpTo(3);
    const int pages = gallery.pageCount();

    FakeDialogs dialogs;
    for (const auto &answer : c.answers)
        dialogs.inputAnswers.push_back(answer ? std::optional<QString>(QString::fromUtf8(*answer))
                                              : std::nullopt);
    EXPECT_EQ(gallery.askJump(dialogs), c.moved);
    EXPECT_EQ(gallery.currentPage(), c.expectedPage);
    EXPECT_EQ(gallery.previousEnabled(), c.expectedPage >= 2);

    // Every out-of-range answer gets the message and the question again, with the same default.
    QStringList expected;
    for (int i = 0; i < c.messages; ++i)
        expected << JumpPrompt + QStringLiteral("3") << tooFar(pages);
    expected << JumpPrompt + QStringLiteral("3");
    EXPECT_EQ(dialogs.calls, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, JumpTest,
    ::testing::Values(
        JumpCase{"InRange", {"2"}, 100, 2, 0, true}, JumpCase{"FirstPage", {"1"}, 100, 1, 0, true},
        JumpCase{"Beyond", {"5", std::nullopt}, 100, 3, 1, false},
        JumpCase{"BeyondThenInRange", {"5", "9", "4"}, 100, 4, 2, true},
        JumpCase{"HalfDown", {"2.5"}, 100, 2, 0, true},
        JumpCase{"HalfUp", {"3.5"}, 100, 4, 0, true},
        JumpCase{"Cancel", {std::nullopt}, 100, 3, 0, false},
        JumpCase{"Empty", {""}, 100, 3, 0, false}, JumpCase{"Letters", {"abc"}, 100, 3, 0, false},
        JumpCase{"LeadingNumber", {" 4 pages"}, 100, 4, 0, true},
        JumpCase{"Negative", {"-3"}, 100, 3, 0, false}, JumpCase{"Zero", {"0"}, 100, 3, 0, false},
        JumpCase{"HugePositive", {"99999999999", std::nullopt}, 100, 3, 1, false},
        JumpCase{"HugeNegative", {"-99999999999"}, 100, 3, 0, false},
        JumpCase{"EmptyListEveryPositive", {"1", "3", "0.4"}, 0, 3, 2, false}),
    [](const auto &info) { return std::string(info.param.label); });

// ---- the page size setting ----

struct StoredSize
{
    const char *stored; // nullptr: no setting
    int pageSize;
};

void PrintTo(const StoredSize &c, std::ostream *out)
{
    *out << (c.stored ? c.stored : "(none)") << " -> " << c.pageSize;
}

class PageSizeSetting : public ::testing::TestWithParam<StoredSize>
{
};

TEST_P(PageSizeSetting, IsReadAsAWholeNumberInRange)
{
    const StoredSize c = GetParam();
    const std::optional<QString> stored =
        c.stored ? std::optional<QString>(QString::fromUtf8(c.stored)) : std::nullopt;
    EXPECT_EQ(Gallery::pageSizeFrom(stored), c.pageSize) << (c.stored ? c.stored : "(none)");
}

INSTANTIATE_TEST_SUITE_P(Stored, PageSizeSetting,
                         ::testing::Values(StoredSize{nullptr, 30}, StoredSize{"", 30},
                                           StoredSize{"250", 30}, StoredSize{"12", 30},
                                           StoredSize{"30", 30}, StoredSize{"200", 200},
                                           StoredSize{"201", 30}, StoredSize{"45.5", 46},
                                           StoredSize{"44.5", 44}, StoredSize{" 60 ", 60},
                                           StoredSize{"abc", 30}, StoredSize{"60abc", 30},
                                           StoredSize{"99999999999999", 30}, StoredSize{"-50", 30},
                                           StoredSize{"nan", 30}, StoredSize{"inf", 30}));

TEST(GalleryFolderTest, OpenFolderListsAndBuildsPageOneOnce)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("pics"));
    QDir().mkpath(folder);
    for (const char *name : {"b10.jpg", "b2.jpg", "notes.txt"}) {
        QFile file(folder + u'/' + QString::fromLatin1(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    Gallery gallery(dir.filePath(QStringLiteral("Tpc.htm")), [](const QString &) { return 10; });
    QSignalSpy built(&gallery, &Gallery::pageBuilt);
    gallery.openFolder(folder);
    EXPECT_EQ(built.count(), 1);
    EXPECT_EQ(gallery.countLabel(), QStringLiteral("圖片總數：2"));
    EXPECT_EQ(gallery.images().at(0), folder + QStringLiteral("/b2.jpg"));
    EXPECT_EQ(gallery.pathLabel(), QStringLiteral("當前路徑：") + folder + u'/');
    EXPECT_EQ(gallery.headerLabel(), QStringLiteral("Tarnell     第 1 頁  ， 共 1 頁"));
}
