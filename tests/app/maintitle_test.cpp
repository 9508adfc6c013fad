#include "app/maintitle.h"

#include <gtest/gtest.h>

#include "../search/printing.h"

using namespace vimbrel;

TEST(MainTitle, NamesTheFolderOnShowAsTheDesktopWritesIt)
{
    const struct
    {
        const char *folder;
        const char *title;
    } rows[] = {
        {"", "Vimbrel"},
        {"/home/ann/Pictures/", "Vimbrel — /home/ann/Pictures"},
        {"/home/ann/相片 #1/", "Vimbrel — /home/ann/相片 #1"},
        {"/", "Vimbrel — /"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(MainTitle::forFolder(QString::fromUtf8(row.folder)),
                  QString::fromUtf8(row.title));
}
