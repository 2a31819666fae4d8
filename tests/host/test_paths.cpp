// The program's name as the information page gets it, and its folder as the settings file's.
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

TEST(ExtractFilePath, FolderKeepsItsSeparatorWhateverTheFileIsCalled) {
    EXPECT_EQ(core::ExtractFilePath(L"C:\\Program Files\\kurun\\kurun.exe"), L"C:\\Program Files\\kurun\\");
    EXPECT_EQ(core::ExtractFilePath(L"C:\\Program Files\\kurun\\launcher.v2.exe"), L"C:\\Program Files\\kurun\\");
    EXPECT_EQ(core::ExtractFilePath(L"\\\\server\\share\\写真\\kurun"), L"\\\\server\\share\\写真\\");
    EXPECT_EQ(core::ExtractFilePath(L"C:kurun.exe"), L"C:");
    EXPECT_EQ(core::ExtractFilePath(L"kurun.exe"), L"");
    EXPECT_EQ(core::ExtractFilePath(L""), L"");
}

TEST(ExtractFileName, KeepsTheExtensionAndDropsEveryFolder) {
    EXPECT_EQ(core::ExtractFileName(L"C:\\Program Files\\kurun\\kurun.exe"), L"kurun.exe");
    EXPECT_EQ(core::ExtractFileName(L"\\\\server\\share\\写真\\launcher.v2.exe"), L"launcher.v2.exe");
    EXPECT_EQ(core::ExtractFileName(L"C:kurun.exe"), L"kurun.exe");
    EXPECT_EQ(core::ExtractFileName(L"kurun"), L"kurun");
    EXPECT_EQ(core::ExtractFileName(L"C:\\dir\\"), L"");
}
