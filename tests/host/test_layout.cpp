#include <gtest/gtest.h>

#include <string>

#include "core/Layout.h"

using core::LayoutBytes;
using core::LayoutError;
using core::LayoutIdent;
using core::LayoutObject;
using core::LayoutSet;
using core::ParseLayout;
using core::WriteLayout;

namespace {

LayoutBytes Counting(size_t n) {
    LayoutBytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 7 + 1);
    return b;
}

LayoutObject Sample() {
    LayoutObject root{"Form1", "TForm1", {}, {}};
    root.properties = {
        {"Left", int64_t{-50}},
        {"Top", int64_t{9223372036854775807}},
        {"Tag", int64_t{-9223372036854775807 - 1}},
        {"BorderIcons", LayoutSet{}},
        {"Anchors", LayoutSet{{"akLeft", "akTop"}}},
        {"Caption", std::string("It's")},
        {"Font.Name", std::string("ＭＳ Ｐゴシック")},
        {"Hint", std::string("line\r\nnext\t'x'")},
        {"Empty", std::string()},
        {"Color", LayoutIdent{"clBtnFace"}},
        {"PopupMenu", LayoutIdent{"Form1.PopupMenu1"}},
        {"Nothing", LayoutBytes{}},
        {"Short", Counting(31)},
    };
    LayoutObject menu{"PopupMenu1", "TPopupMenu", {}, {}};
    menu.children.push_back({"N1", "TMenuItem", {{"Caption", std::string("設定ウィンドウを開く(&S)...")}}, {}});
    LayoutObject rgn{"Rgn1", "TRgn", {{"RgnBitmap.Data", Counting(100)}, {"RgnData", Counting(64)}}, {}};
    root.children = {LayoutObject{"RgnList1", "TRgnList", {}, {}}, menu, rgn};
    return root;
}

std::string ErrorOf(std::string_view text) {
    try {
        ParseLayout(text);
    } catch (const LayoutError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(Layout, RoundTripsEveryValueKind) {
    LayoutObject root = Sample();
    std::string text = WriteLayout(root);
    EXPECT_EQ(ParseLayout(text), root);
    EXPECT_EQ(WriteLayout(ParseLayout(text)), text);
}

TEST(Layout, CanonicalTextIsKeptVerbatim) {
    const std::string text =
        "object Form1: TForm1\n"
        "  Left = -50\n"
        "  BorderIcons = []\n"
        "  Font.Style = [fsBold, fsItalic]\n"
        "  Caption = 'Pelton''s'\n"
        "  Font.Name = 'ＭＳ Ｐゴシック'\n"
        "  Hint = 'a'#13#10'b'\n"
        "  Small = {0A0B}\n"
        "  None = {}\n"
        "  object Rgn1: TRgn\n"
        "    RgnData = {\n"
        "      000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\n"
        "      2021}\n"
        "  end\n"
        "end\n";
    LayoutObject root = ParseLayout(text);
    EXPECT_EQ(WriteLayout(root), text);
    EXPECT_EQ(std::get<std::string>(root.Find("Caption")->value), "Pelton's");
    EXPECT_EQ(std::get<std::string>(root.Find("Hint")->value), "a\r\nb");
    EXPECT_EQ(std::get<LayoutBytes>(root.children[0].Find("RgnData")->value).size(), 34u);
}

TEST(Layout, BinaryLinesHoldAtMostSixtyFourDigits) {
    for (size_t n : {32u, 33u, 64u, 65u}) {
        LayoutObject root{"A", "TA", {{"Data", Counting(n)}}, {}};
        std::string text = WriteLayout(root);
        size_t lines = 0, begin = text.find("{\n") + 2;
        for (size_t end; (end = text.find('\n', begin)) != std::string::npos && text[begin] == ' '; begin = end + 1) {
            std::string line = text.substr(begin, end - begin);
            EXPECT_EQ(line.substr(0, 4), "    ");
            std::string digits = line.substr(4);
            if (!digits.empty() && digits.back() == '}') digits.pop_back();
            EXPECT_LE(digits.size(), 64u);
            ++lines;
        }
        EXPECT_EQ(lines, (n + 31) / 32) << n;
        EXPECT_EQ(ParseLayout(text), root);
    }
}

TEST(Layout, ReadsLenientInput) {
    // CRLF, a byte-order mark, lowercase hex, a split string and keywords in another case.
    LayoutObject root = ParseLayout(
        "\xEF\xBB\xBFOBJECT F: TF\r\n  S = 'ab' +\r\n    'cd'\r\n  B = {\r\n    0a ff}\r\n  END\r\n");
    EXPECT_EQ(std::get<std::string>(root.Find("S")->value), "abcd");
    EXPECT_EQ(std::get<LayoutBytes>(root.Find("B")->value), (LayoutBytes{0x0A, 0xFF}));
}

TEST(Layout, ErrorsNameTheLine) {
    struct Case {
        const char* text;
        const char* lineAndWords;
    };
    const Case cases[] = {
        {"object A: TA\n  Left = 1\n", "line 3: missing 'end'"},
        {"object A: TA\n  Left = \n  = 3\nend\n", "line 3: unexpected '='"},
        {"object A: TA\n  Data = {\n    0G}\nend\n", "line 3: bad hex"},
        {"object A: TA\n  Data = {\n    ABC}\nend\n", "line 3: odd number"},
        {"object A: TA\n  Data = {\n    AB\n", "line 2: binary block is not closed"},
        {"object A: TA\n  Caption = 'abc\nend\n", "line 2: unterminated string"},
        {"object A: TA\n  Left = 99999999999999999999\nend\n", "line 2: integer out of range"},
        {"object A: TA\n  Left = 1.5\nend\n", "line 2: unexpected '.5'"},
        {"object A: TA\n  Set = [a b]\nend\n", "line 2: expected ','"},
        {"object A TA\nend\n", "line 1: expected ':'"},
        {"object A: TA\nend\nend\n", "line 3: unexpected 'end'"},
        {"", "line 1: expected 'object'"},
        {"object A: TA\n  object B: TB\n  end\n  Left = 1\nend\n", "line 4: property 'Left' after a child"},
    };
    for (const Case& c : cases) {
        std::string message = ErrorOf(c.text);
        EXPECT_EQ(message.rfind(c.lineAndWords, 0), 0u) << c.text << "\n -> " << message;
    }
    std::string deep;
    for (int i = 0; i < 1000; ++i) deep += "object A: TA\n";
    EXPECT_NE(ErrorOf(deep).find("nested too deeply"), std::string::npos);
}

TEST(Layout, WriterRefusesNamesItCouldNotReadBack) {
    EXPECT_THROW(WriteLayout(LayoutObject{"A b", "TA", {}, {}}), LayoutError);
    EXPECT_THROW(WriteLayout(LayoutObject{"A", "TA", {{"X", LayoutIdent{"1x"}}}, {}}), LayoutError);
    EXPECT_THROW(WriteLayout(LayoutObject{"A", "TA", {{"X.", int64_t{1}}}, {}}), LayoutError);
    EXPECT_THROW(WriteLayout(LayoutObject{"A", "TA", {{"X", LayoutSet{{"a,b"}}}}, {}}), LayoutError);
}

TEST(Layout, FindAndSet) {
    LayoutObject root = Sample();
    EXPECT_EQ(std::get<int64_t>(root.Find("Left")->value), -50);
    EXPECT_EQ(root.Find("left"), nullptr);
    EXPECT_EQ(root.FindChild("PopupMenu1")->children[0].name, "N1");
    EXPECT_EQ(root.FindChild("N1"), nullptr);  // children only, not grandchildren

    LayoutObject& rgn = *root.FindChild("Rgn1");
    rgn.Set("RgnBitmap.Data", LayoutBytes{1});
    rgn.Set("Cursor", LayoutIdent{"crHandPoint"});
    ASSERT_EQ(rgn.properties.size(), 3u);
    EXPECT_EQ(rgn.properties[0].name, "RgnBitmap.Data");  // replaced in place
    EXPECT_EQ(std::get<LayoutBytes>(rgn.properties[0].value), LayoutBytes{1});
    EXPECT_EQ(rgn.properties[2].name, "Cursor");  // appended
}
