// The program's name as the information page gets it.
#include <gtest/gtest.h>

#include "core/Paths.h"

TEST(FileBaseName, DropsFolderAndOnlyTheLastExtension) {
    EXPECT_EQ(core::FileBaseName(L"C:\\Program Files\\kurun\\kurun.exe"), L"kurun");
    EXPECT_EQ(core::FileBaseName(L"C:\\tools\\a.b.exe"), L"a.b");
    EXPECT_EQ(core::FileBaseName(L"C:\\tools\\kurun"), L"kurun");
    EXPECT_EQ(core::FileBaseName(L"kurun.exe"), L"kurun");
}

TEST(FileBaseName, ADotInAFolderIsNoExtension) {
    EXPECT_EQ(core::FileBaseName(L"C:\\my.tools\\kurun"), L"kurun");
    EXPECT_EQ(core::FileBaseName(L"D:kurun.exe"), L"kurun");
    EXPECT_EQ(core::FileBaseName(L"Z:\\home\\me\\.hidden"), L"");
    EXPECT_EQ(core::FileBaseName(L"C:\\dir\\"), L"");
}
