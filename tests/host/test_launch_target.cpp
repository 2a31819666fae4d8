// Text that may become a character's target, and how a target is named in short.
#include <gtest/gtest.h>

#include "core/LaunchTarget.h"

TEST(LaunchTargetFromText, TakesPathsAndWebAddressesTrimmedAndNothingElse) {
    const struct {
        const wchar_t* text;
        const wchar_t* target;  // null: refused
    } cases[] = {
        {L"C:\\Tools\\notepad.exe", L"C:\\Tools\\notepad.exe"},
        {L"  \"d:\\My Files\\a b.txt\"\r\n", L"d:\\My Files\\a b.txt"},
        {L"\\\\server\\share\\写真", L"\\\\server\\share\\写真"},
        {L"Z:\\", L"Z:\\"},
        {L"https://example.org/a?b=c", L"https://example.org/a?b=c"},
        {L" HTTP://Example.org ", L"HTTP://Example.org"},
        {L"\"http://example.org/\"", L"http://example.org/"},
        {L"notepad.exe", nullptr},
        {L"C:relative.txt", nullptr},
        {L"\\rooted\\but\\no\\drive", nullptr},
        {L"\\\\\\three", nullptr},
        {L"ftp://example.org", nullptr},
        {L"http://", nullptr},
        {L"mailto:a@example.org", nullptr},
        {L"C:\\a.txt\nC:\\b.txt", nullptr},
        {L"", nullptr},
        {L"   ", nullptr},
    };
    for (const auto& c : cases) {
        const auto target = core::LaunchTargetFromText(c.text);
        if (c.target)
            EXPECT_EQ(target.value_or(L"(refused)"), c.target) << c.text;
        else
            EXPECT_FALSE(target) << c.text;
    }
}

TEST(ShortTargetName, NamesFilesFoldersAndAddressesAsAUserKnowsThem) {
    EXPECT_EQ(core::ShortTargetName(L"C:\\Tools\\notepad.exe"), L"notepad.exe");
    EXPECT_EQ(core::ShortTargetName(L"C:\\Users\\me\\写真\\"), L"写真");
    EXPECT_EQ(core::ShortTargetName(L"\\\\server\\share"), L"share");
    EXPECT_EQ(core::ShortTargetName(L"D:\\"), L"D:\\");
    EXPECT_EQ(core::ShortTargetName(L"https://example.org/a/b.html"), L"https://example.org/a/b.html");
    EXPECT_EQ(core::DescribeTarget(L"ﾐﾛｯﾄ", L"notepad.exe", L"（未設定）"), L"ﾐﾛｯﾄ: notepad.exe");
    EXPECT_EQ(core::DescribeTarget(L"ﾄｩｰﾗ", L"", L"（未設定）"), L"ﾄｩｰﾗ: （未設定）");
}
