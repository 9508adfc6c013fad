#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "platform/inisettings.h"
#include "platform/numberanswer.h"
#include "platform/pagefiles.h"
#include "platform/quietstart.h"
#include "platform/windowfit.h"

using namespace vimbrel;

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// ---- numbers typed into input boxes ----

struct NumberCase
{
    const char *text;
    int value;
    bool inRange;
    bool positive;
};

class NumberAnswerTest : public ::testing::TestWithParam<NumberCase>
{
};

TEST_P(NumberAnswerTest, LeadingNumberHalvesToEven)
{
    const NumberCase &c = GetParam();
    const NumberAnswer::Answer a = NumberAnswer::read(QString::fromUtf8(c.text));
    EXPECT_EQ(a.value, c.value) << c.text;
    EXPECT_EQ(a.inRange, c.inRange) << c.text;
    EXPECT_EQ(a.positive, c.positive) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, NumberAnswerTest,
    ::testing::Values(NumberCase{"45.5", 46, true, true}, NumberCase{"44.5", 44, true, true},
                      NumberCase{"2.5", 2, true, true}, NumberCase{"3.5", 4, true, true},
                      NumberCase{"0.5", 0, true, true}, NumberCase{"-2.5", -2, true, false},
                      NumberCase{"-3", -3, true, false}, NumberCase{"+7", 7, true, true},
                      NumberCase{"abc", 0, true, false}, NumberCase{"", 0, true, false},
                      NumberCase{"  12abc", 12, true, true}, NumberCase{"\t30", 30, true, true},
                      NumberCase{"1e3", 1000, true, true}, NumberCase{"2.5E1", 25, true, true},
                      NumberCase{"1e", 1, true, true}, NumberCase{".5", 0, true, true},
                      NumberCase{"1.", 1, true, true}, NumberCase{"-", 0, true, false},
                      NumberCase{"２", 0, true, false}, // full-width digits are not a number
                      NumberCase{"2147483647", 2147483647, true, true},
                      NumberCase{"-2147483648", -2147483647 - 1, true, false},
                      NumberCase{"2147483647.5", 0, false, true}, // rounds to 2^31
                      NumberCase{"2147483648", 0, false, true},
                      NumberCase{"99999999999", 0, false, true},
                      NumberCase{"-99999999999", 0, false, false},
                      NumberCase{"1e400", 0, false, true},
                      NumberCase{"1e99999999999999", 0, false, true}));

TEST(NumberAnswerTest, CancelIsZero)
{
    const NumberAnswer::Answer a = NumberAnswer::read(std::nullopt);
    EXPECT_EQ(a.value, 0);
    EXPECT_TRUE(a.inRange);
    EXPECT_FALSE(a.positive);
}

// ---- page files ----

TEST(PageFilesTest, LinesEndInCrLfAsUtf8)
{
    EXPECT_EQ(PageFiles::joinLines({QStringLiteral("<a>"), QStringLiteral("照片"), QString()}),
              QByteArray("<a>\r\n\xe7\x85\xa7\xe7\x89\x87\r\n\r\n"));
    EXPECT_EQ(PageFiles::joinLines({}), QByteArray());
}

TEST(PageFilesTest, FolderIsPrivateUnderTheCacheHome)
{
    QTemporaryDir cache;
    const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());

    const QString folder = PageFiles::folder();
    const QString page = PageFiles::path(QStringLiteral("Tpc.htm"));

    qputenv("XDG_CACHE_HOME", savedCache);

    EXPECT_EQ(folder, cache.path() + QStringLiteral("/ulvo"));
    EXPECT_EQ(page, cache.path() + QStringLiteral("/ulvo/Tpc.htm"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(QFileInfo(folder).permissions() &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                   QFile::WriteOther | QFile::ExeOther),
              QFile::Permissions());
    EXPECT_TRUE(QFileInfo(folder).permissions().testFlag(QFile::WriteOwner));
}

TEST(PageFilesTest, WriteReplacesTheWholeFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Tpc.htm"));
    ASSERT_TRUE(PageFiles::writeLines(file, {QStringLiteral("a long first version")}));
    ASSERT_TRUE(PageFiles::writeLines(file, {QStringLiteral("b")}));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("b\r\n"));
}

TEST(PageFilesTest, PlantedSymlinkIsReplacedNotFollowed)
{
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("victim.txt"));
    {
        QFile f(victim);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    const QString page = dir.filePath(QStringLiteral("Tpc.htm"));
    ASSERT_TRUE(QFile::link(victim, page));

    ASSERT_TRUE(PageFiles::writeLines(page, {QStringLiteral("page")}));

    QFile v(victim);
    ASSERT_TRUE(v.open(QIODevice::ReadOnly));
    EXPECT_EQ(v.readAll(), QByteArray("keep me"));
    EXPECT_FALSE(QFileInfo(page).isSymLink());
    QFile p(page);
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    EXPECT_EQ(p.readAll(), QByteArray("page\r\n"));
}

TEST(PageFilesTest, UnwritablePlacesReturnFalse)
{
    QTemporaryDir dir;
    // A folder that does not exist, a path below a plain file, a folder in the file's place.
    EXPECT_FALSE(PageFiles::writeLines(dir.filePath(QStringLiteral("none/Tpc.htm")), {}));
    const QString plain = dir.filePath(QStringLiteral("plain"));
    ASSERT_TRUE(PageFiles::writeLines(plain, {}));
    EXPECT_FALSE(PageFiles::writeLines(plain + QStringLiteral("/Tpc.htm"), {}));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Tpc.htm")));
    EXPECT_FALSE(PageFiles::writeLines(dir.filePath(QStringLiteral("Tpc.htm")), {}));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("Tpc.htm"))).isDir());
    EXPECT_FALSE(PageFiles::writeLines(QString(), {}));
}

TEST(PageFilesTest, RemoveSaysWhetherThereWasAFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Tpc.htm"));
    EXPECT_FALSE(PageFiles::remove(file));
    ASSERT_TRUE(PageFiles::writeLines(file, {}));
    EXPECT_TRUE(PageFiles::remove(file));
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_FALSE(PageFiles::remove(QString()));
}

// ---- settings ----

TEST(IniSettingsTest, MissingKeyRoundTripAndCommas)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ulvo.ini"));
    {
        IniSettings settings(file);
        EXPECT_EQ(settings.value(QStringLiteral("Main"), QStringLiteral("PageFileCount")),
                  std::nullopt);
        settings.setValue(QStringLiteral("Main"), QStringLiteral("PageFileCount"),
                          QStringLiteral("45"));
        settings.setValue(QStringLiteral("Search"), QStringLiteral("List"), QStringLiteral("a,b"));
    }
    IniSettings again(file);
    EXPECT_EQ(again.value(QStringLiteral("Main"), QStringLiteral("PageFileCount")),
              QStringLiteral("45"));
    EXPECT_EQ(again.value(QStringLiteral("Search"), QStringLiteral("List")), QStringLiteral("a,b"));
    EXPECT_EQ(again.value(QStringLiteral("Search"), QStringLiteral("PageFileCount")), std::nullopt);
}

TEST(IniSettingsTest, GarbageFileDoesNotCrash)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ulvo.ini"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // Embedded NULs included: the length comes from the array, not from strlen.
        static constexpr char head[] = "[Main\n=\x01\x02\xff\xfe\n[[[\nPageFileCount\n\0\0\0=";
        QByteArray junk(head, sizeof head - 1);
        for (int i = 0; i < 200; ++i)
            junk += char(i * 37);
        f.write(junk);
    }
    IniSettings settings(file);
    const auto value = settings.value(QStringLiteral("Main"), QStringLiteral("PageFileCount"));
    (void)value; // whatever it reads, it must not crash
    settings.setValue(QStringLiteral("Main"), QStringLiteral("PageFileCount"),
                      QStringLiteral("60"));
    EXPECT_EQ(settings.value(QStringLiteral("Main"), QStringLiteral("PageFileCount")),
              QStringLiteral("60"));
}

namespace {

// The lines of one logging category while it lives.
class CategoryLines
{
public:
    explicit CategoryLines(const char *category)
    {
        s_category = category;
        s_lines.clear();
        m_previous = qInstallMessageHandler(&CategoryLines::handle);
    }
    ~CategoryLines() { qInstallMessageHandler(m_previous); }
    [[nodiscard]] const QStringList &lines() const { return s_lines; }

private:
    static void handle(QtMsgType, const QMessageLogContext &context, const QString &text)
    {
        if (context.category && qstrcmp(context.category, s_category) == 0)
            s_lines.append(text);
    }
    static inline const char *s_category = nullptr;
    static inline QStringList s_lines;
    QtMessageHandler m_previous = nullptr;
};

} // namespace

TEST(IniSettingsTest, ASettingsFileThatCannotBeWrittenLeavesALogLine)
{
    QTemporaryDir dir;
    // A file where the settings' folder should be: no one can write below it, root included.
    const QString blocker = dir.filePath(QStringLiteral("ulvo"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    CategoryLines log("vimbrel.settings");
    IniSettings settings(blocker + QStringLiteral("/ulvo.ini"));
    settings.setValue(QStringLiteral("Main"), QStringLiteral("PageFileCount"),
                      QStringLiteral("60"));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().front().contains(QStringLiteral("ulvo.ini")));
}

TEST(PageFilesTest, AnOpenExistingFolderIsClosedToOthers)
{
    QTemporaryDir cache;
    const QString folder = cache.path() + QStringLiteral("/ulvo");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadOther | QFile::ExeOther | QFile::WriteOther);
    const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    const QString used = PageFiles::folder();
    qputenv("XDG_CACHE_HOME", savedCache);
    EXPECT_EQ(used, folder);
    EXPECT_FALSE(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::WriteOther));
}

// ---- a quiet start ----

TEST(QuietStartTest, GpuIsSwitchedOffOnlyWithoutOneAndWithoutTheUsersOwnFlags)
{
    EXPECT_EQ(QuietStart::chromiumFlags(QByteArray(), false), QByteArray("--disable-gpu"));
    EXPECT_EQ(QuietStart::chromiumFlags(QByteArray(), true), QByteArray());
    EXPECT_EQ(QuietStart::chromiumFlags("--enable-logging", false), QByteArray("--enable-logging"));
}

TEST(WindowFitTest, AWindowAndItsFrameStayInsideTheScreensArea)
{
    const QMargins frame(8, 40, 8, 8);
    const QRect area(0, 24, 683, 360); // a panel at the top
    const struct
    {
        QSize wanted;
        QSize inner;
    } sizes[] = {
        {{400, 200}, {400, 200}},  // fits: as designed
        {{972, 511}, {667, 312}},  // the search window at a scale factor of 2
        {{1054, 200}, {667, 200}}, // only as much as needed
    };
    for (const auto &c : sizes)
        EXPECT_EQ(WindowFit::innerSize(c.wanted, area, frame), c.inner);

    const struct
    {
        QPoint wanted;
        QSize outer;
        QPoint place;
    } places[] = {
        {{10, 40}, {300, 200}, {10, 40}},     // inside: stays
        {{500, 300}, {300, 200}, {383, 184}}, // over the bottom right: moved in
        {{-20, 0}, {300, 200}, {0, 24}},      // above and left of it
        {{50, 50}, {900, 500}, {0, 24}},      // larger: its title bar stays on the screen
    };
    for (const auto &c : places)
        EXPECT_EQ(WindowFit::topLeft(c.wanted, c.outer, area), c.place);
}
