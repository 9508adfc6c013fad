#include "app/maintitle.h"

#include <gtest/gtest.h>

#include "../search/printing.h"
#include "platform/filenames.h"

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
        // Big5 bytes of 舊照片, as an old archive names a folder
        {"/home/ann/\xC2\xC2\xB7\xD3\xA4\xF9/", "Vimbrel — /home/ann/舊照片"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(MainTitle::forFolder(FileNames::fromBytes(row.folder)),
                  QString::fromUtf8(row.title));
}
