#include <gtest/gtest.h>

#include "core/TextEncoding.h"

using core::DetectTextEncoding;
using core::TextEncoding;

TEST(TextEncoding, MarksThenValidUtf8WithNonAsciiThenAnsi) {
    EXPECT_EQ(DetectTextEncoding("\xFF\xFE[a]"), TextEncoding::Utf16);
    EXPECT_EQ(DetectTextEncoding("\xFE\xFF"), TextEncoding::Utf16);
    EXPECT_EQ(DetectTextEncoding("\xEF\xBB\xBF[a]"), TextEncoding::Utf8);
    // Notepad's UTF-8 without a mark.
    EXPECT_EQ(DetectTextEncoding("Char01=C:\\Users\\Zo\xC3\xAB\\\xE5\x86\x99\xE7\x9C\x9F\\x.bat"), TextEncoding::Utf8);
    // Plain ASCII, Shift-JIS letters, and broken UTF-8 stay in the ANSI code page.
    EXPECT_EQ(DetectTextEncoding("[Visible]\r\nChar01=1\r\n"), TextEncoding::Ansi);
    EXPECT_EQ(DetectTextEncoding(""), TextEncoding::Ansi);
    EXPECT_EQ(DetectTextEncoding("C:\\\x8E\xCA\x90\x5E\\\x8B\x4E\x93\xAE.bat"), TextEncoding::Ansi);  // 写真\起動
    EXPECT_EQ(DetectTextEncoding("\xC0\xAF"), TextEncoding::Ansi);          // overlong '/'
    EXPECT_EQ(DetectTextEncoding("\xED\xA0\x80"), TextEncoding::Ansi);      // a surrogate
    EXPECT_EQ(DetectTextEncoding("\xF4\x90\x80\x80"), TextEncoding::Ansi);  // past U+10FFFF
    EXPECT_EQ(DetectTextEncoding("\xE6\x97"), TextEncoding::Ansi);          // cut short
}

TEST(TextEncoding, Utf8BecomesAUtf16FileWithItsMark) {
    EXPECT_EQ(core::Utf8ToUtf16("\xEF\xBB\xBFZo\xC3\xAB\xE5\x86\x99\xF0\x9F\x98\x80"), u"Zoë写😀");
    // Each malformed byte shows as one replacement character; nothing is dropped silently.
    EXPECT_EQ(core::Utf8ToUtf16("a\xC0\xAF" "b"), u"a\uFFFD\uFFFDb");
    EXPECT_EQ(core::Utf16File(u"A写"), std::string("\xFF\xFE" "A\0\x99\x51", 6));
}
