#include <gtest/gtest.h>

#include "core/Numbers.h"

using core::NumberToBool;
using core::ParseInt32;

TEST(Numbers, SwitchValuesShowHideOrFallBack) {
    for (const wchar_t* shown : {L"1", L"2", L"-1", L"0x10", L"$1F", L" +7", L"\t0X1"})
        EXPECT_TRUE(NumberToBool(shown, false)) << shown;
    for (const wchar_t* hidden : {L"0", L"00", L"0x0", L"-0", L"$0", L"  0"})
        EXPECT_FALSE(NumberToBool(hidden, true)) << hidden;
    for (const wchar_t* notNumber :
         {L"yes", L"", L" ", L"1x", L"0x", L"$", L"-", L"+", L"1 ", L"- 1", L"+-1", L"0x-1", L"$$1", L"1.0",
          L"99999999999", L"１", L"0b1", L"x10"}) {
        EXPECT_TRUE(NumberToBool(notNumber, true)) << notNumber;
        EXPECT_FALSE(NumberToBool(notNumber, false)) << notNumber;
    }
}

TEST(Numbers, WholeSigned32BitRange) {
    EXPECT_EQ(ParseInt32(L"2147483647"), 2147483647);
    EXPECT_EQ(ParseInt32(L"-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseInt32(L"2147483648"), std::nullopt);
    EXPECT_EQ(ParseInt32(L"-2147483649"), std::nullopt);
    EXPECT_EQ(ParseInt32(L"0x7FFFFFFF"), 0x7FFFFFFF);
    EXPECT_EQ(ParseInt32(L"-$80000000"), INT32_MIN);
    EXPECT_EQ(ParseInt32(L"0x80000000"), std::nullopt);
    EXPECT_EQ(ParseInt32(L"$ffffffffffffffff1"), std::nullopt);
    EXPECT_EQ(ParseInt32(L"0000000000000000000042"), 42);
    EXPECT_EQ(ParseInt32(L"-0x1f"), -31);
}
