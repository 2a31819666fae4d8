#include <gtest/gtest.h>

#include "core/FileNames.h"

using core::ExtractFilePath;

TEST(FileNames, FolderKeepsItsSeparatorWhateverTheFileIsCalled) {
    EXPECT_EQ(ExtractFilePath(L"C:\\Program Files\\kurun\\kurun.exe"), L"C:\\Program Files\\kurun\\");
    EXPECT_EQ(ExtractFilePath(L"C:\\Program Files\\kurun\\launcher.v2.exe"), L"C:\\Program Files\\kurun\\");
    EXPECT_EQ(ExtractFilePath(L"\\\\server\\share\\写真\\kurun"), L"\\\\server\\share\\写真\\");
    EXPECT_EQ(ExtractFilePath(L"C:kurun.exe"), L"C:");
    EXPECT_EQ(ExtractFilePath(L"kurun.exe"), L"");
    EXPECT_EQ(ExtractFilePath(L""), L"");
}
