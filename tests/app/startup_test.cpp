#include "app/startup.h"

#include <gtest/gtest.h>

using namespace vimbrel;

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
    EXPECT_EQ(StartUp::pageSizeFrom(stored), c.pageSize) << (c.stored ? c.stored : "(none)");
}

INSTANTIATE_TEST_SUITE_P(StartUp, PageSizeSetting,
                         ::testing::Values(StoredSize{nullptr, 30}, StoredSize{"", 30},
                                           StoredSize{"250", 30}, StoredSize{"12", 30},
                                           StoredSize{"30", 30}, StoredSize{"200", 200},
                                           StoredSize{"201", 30}, StoredSize{"45.5", 46},
                                           StoredSize{"44.5", 44}, StoredSize{" 60 ", 60},
                                           StoredSize{"abc", 30}, StoredSize{"60abc", 30},
                                           StoredSize{"99999999999999", 30}, StoredSize{"-50", 30},
                                           StoredSize{"nan", 30}, StoredSize{"inf", 30}));

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

TEST(StartUp, PerPageLabel)
{
    EXPECT_EQ(StartUp::perPageLabel(30), QStringLiteral("每頁顯示：30"));
}
