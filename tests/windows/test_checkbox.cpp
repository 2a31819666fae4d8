// The bitmap check box on real windows: pixels read back from the screen, real mouse and
// keyboard input, layouts, groups and GDI handle hygiene.
#include <algorithm>
#include <string>
#include <vector>

#include "components/Dxfcheckbox.h"
#include "components/Dxfres.h"
#include "forms/Streaming.h"
#include "support/WinTest.h"

using components::TdxfCheckBox;
using forms::TBitmap;

namespace {

// A strip in another cell size with the program's layout rules: square cells as high as the
// strip, four per style, magenta at each cell's bottom-left and around a square of the cell's
// own colour.
core::Bitmap TestStrip(int cell, int styles) {
    std::vector<core::PaletteEntry> palette(256, {255, 0, 255, 0});
    core::Bitmap strip(cell * 4 * styles, cell, 8, palette);
    for (int c = 0; c < 4 * styles; ++c) {
        palette[static_cast<size_t>(c + 1)] = {static_cast<uint8_t>(250 - c * 4), 100, static_cast<uint8_t>(c * 4), 0};
        for (int y = 3; y < cell - 3; ++y)
            for (int x = 3; x < cell - 3; ++x) strip.SetIndex(c * cell + x, y, static_cast<uint8_t>(c + 1));
    }
    strip.Palette() = palette;
    return strip;
}

struct Picture : TBitmap {
    explicit Picture(const core::Bitmap& pixels) { Assign(pixels); }
};

core::Rgb Rgb(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }

core::Bitmap Capture(forms::TWinControl* control) { return wintest::Capture(control->Handle()); }

class CheckBoxTest : public wintest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        components::InitializeDxfcheckboxUnit();
        saved_.Assign(components::GlyphStrip());
        form = new forms::TForm(app);
        form->SetBorderStyle(forms::TBorderStyle::None);
        form->SetBounds(50, 50, 400, 300);
        // Shown without activation, then brought forward: Wine treats an activated window as
        // one a window manager must withdraw, and waits two seconds for that on closing.
        SetWindowPos(form->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        SetForegroundWindow(form->Handle());
    }
    void TearDown() override {
        components::SetGlyphStrip(saved_);
        AppTest::TearDown();
        EXPECT_TRUE(reports.empty());
    }
    TdxfCheckBox* Box(int left, int top, int width, int height, const std::wstring& caption = L"") {
        auto* box = new TdxfCheckBox(form);
        box->SetAutoSize(false);
        box->SetBounds(left, top, width, height);
        box->SetCaption(caption);
        box->SetParent(form);
        box->OnClick = [this](forms::TObject* sender) { clicks.push_back(static_cast<TdxfCheckBox*>(sender)->Checked()); };
        return box;
    }
    // Expects the box's pixels in `area` to be strip cell `index` of `style`, seen from the
    // cell's (cellX, cellY), with the key showing the background.
    void ExpectCell(const core::Bitmap& shot, RECT area, int index, int cellX, int cellY, int style = 1) {
        core::Bitmap strip = components::GlyphStrip().ToCore();
        int cell = strip.Height(), origin = ((style - 1) * 4 + index) * cell;
        core::Rgb key = strip.Color(origin, cell - 1);
        int wrong = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                core::Rgb want = strip.Color(origin + cellX + x - area.left, cellY + y - area.top);
                if (want == key) want = Rgb(face);
                if (!(shot.Color(x, y) == want) && wrong++ < 3) ADD_FAILURE() << "pixel " << x << "," << y << " cell " << index;
            }
        EXPECT_EQ(wrong, 0);
    }
    // Counts the pixels of the area that have exactly this colour.
    static int Count(const core::Bitmap& shot, RECT area, COLORREF color) {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) n += shot.Color(x, y) == Rgb(color);
        return n;
    }
    void Click(TdxfCheckBox* box, int clicks) {
        wintest::PointAt(box->Handle(), POINT{5, 5});
        if (clicks == 1) wintest::SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
        else wintest::SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    }
    void Key(WORD key, bool up) {
        INPUT one{};
        one.type = INPUT_KEYBOARD;
        one.ki.wVk = key;
        one.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &one, sizeof(INPUT));
        wintest::Pump();
    }
    void Stroke(WORD key) {
        Key(key, false);
        Key(key, true);
    }
    forms::TForm* form = nullptr;
    std::vector<bool> clicks;  // the state each OnClick saw
    const COLORREF face = GetSysColor(COLOR_BTNFACE);

private:
    TBitmap saved_;
};

TEST_F(CheckBoxTest, SettingsWindowBoxShowsTheCellCornerOnTheWindowColour) {
    // The strip comes from the program's resources, loaded once.
    ASSERT_EQ(components::GlyphStrip().Width(), 1008);
    ASSERT_EQ(components::GlyphStrip().Height(), 18);
    components::InitializeDxfcheckboxUnit();
    EXPECT_EQ(components::GlyphStrip().BitsPerPixel(), 8);
    TdxfCheckBox* box = Box(10, 10, 13, 13);
    EXPECT_EQ(box->Color(), forms::clBtnFace);
    ExpectCell(Capture(box), {0, 0, 13, 13}, 0, 0, 2);
    box->SetChecked(true);
    ExpectCell(Capture(box), {0, 0, 13, 13}, 1, 0, 2);
    // Nothing is erased: the paint covers everything.
    {
        forms::WindowDC dc(box->Handle());
        EXPECT_EQ(SendMessageW(box->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0), 1);
    }
    ExpectCell(Capture(box), {0, 0, 13, 13}, 1, 0, 2);
}

TEST_F(CheckBoxTest, CaptionAndFocusRectangleOnlyWithText) {
    TdxfCheckBox* box = Box(10, 10, 80, 20);
    box->SetFocus();
    wintest::Pump();
    ASSERT_TRUE(box->Focused());
    core::Bitmap shot = Capture(box);
    ExpectCell(shot, {0, 1, 18, 19}, 0, 0, 0);
    EXPECT_EQ(Count(shot, {18, 0, 80, 20}, face), 62 * 20) << "no text, no focus rectangle";

    box->SetCaption(L"Wg");
    shot = Capture(box);
    EXPECT_GT(Count(shot, {21, 1, 79, 19}, GetSysColor(COLOR_WINDOWTEXT)), 10);
    // The focus rectangle's left edge is column 20, just left of the clipped text.
    EXPECT_LT(Count(shot, {20, 0, 21, 20}, face), 18);
    form->SetFocus();
    wintest::Pump();
    EXPECT_EQ(Count(Capture(box), {20, 0, 21, 20}, face), 20);
}

TEST_F(CheckBoxTest, DisabledUsesGreyCellsAndEmbossedCaptionButOwnGlyphsUnchanged) {
    TdxfCheckBox* box = Box(10, 10, 80, 18, L"Off");
    box->SetEnabled(false);
    core::Bitmap shot = Capture(box);
    ExpectCell(shot, {0, 0, 18, 18}, 2, 0, 0);
    RECT text{19, 0, 80, 18};
    int white = Count(shot, text, RGB(255, 255, 255)), grey = Count(shot, text, RGB(128, 128, 128));
    EXPECT_GT(white, 5);
    EXPECT_GT(grey, 5);
    EXPECT_EQ(Count(shot, text, GetSysColor(COLOR_WINDOWTEXT)), 0);
    // White is the shadow one pixel right and down: the grey's top-left pixel has none above-left.
    for (int y = 0; y < 18; ++y)
        for (int x = 19; x < 80; ++x)
            if (shot.Color(x, y) == Rgb(RGB(128, 128, 128))) {
                EXPECT_NE(shot.Color(x - 1, y - 1), Rgb(RGB(255, 255, 255)));
                y = 18;
                break;
            }
    box->SetChecked(true);
    ExpectCell(Capture(box), {0, 0, 18, 18}, 3, 0, 0);

    core::Bitmap own(18, 18, 24);  // blue with a red bottom-left key
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x) own.SetColor(x, y, x < 4 && y > 13 ? core::Rgb{255, 0, 0} : core::Rgb{0, 0, 255});
    Picture glyph(own);
    box->SetCheckedBmp(&glyph);
    shot = Capture(box);
    EXPECT_EQ(Count(shot, {0, 0, 18, 18}, RGB(0, 0, 255)), 18 * 18 - 16);
    EXPECT_EQ(Count(shot, {0, 14, 4, 18}, face), 16);
}

TEST_F(CheckBoxTest, LargeOwnGlyphWidensTheGlyphRectangleAndCentresTheStripCell) {
    TdxfCheckBox* box = Box(10, 10, 60, 30);
    core::Bitmap own(24, 22, 24);
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 24; ++x) own.SetColor(x, y, y == 21 && x == 0 ? core::Rgb{1, 2, 3} : core::Rgb{0, 160, 0});
    Picture glyph(own);
    box->SetCheckedBmp(&glyph);
    // Glyph rectangle 24 x 22 at top (30 - 22) / 2 = 4; the 18 x 18 cell at (3, 2) inside it.
    ExpectCell(Capture(box), {3, 6, 21, 24}, 0, 0, 0);
    EXPECT_EQ(Count(Capture(box), {0, 4, 24, 6}, face), 48);
    box->SetChecked(true);
    core::Bitmap shot = Capture(box);
    EXPECT_EQ(Count(shot, {0, 4, 24, 26}, RGB(0, 160, 0)), 24 * 22 - 1);
    EXPECT_EQ(shot.Color(0, 25), Rgb(face));

    box->SetAlignment(components::taLeftJustify);  // the box goes to the right edge, the text stays off it
    box->SetCheckedBmp(nullptr);
    box->SetCaption(L"A caption too wide for the box");
    ExpectCell(Capture(box), {42, 6, 60, 24}, 1, 0, 0);
}

TEST_F(CheckBoxTest, StripSizeDecidesCellsAndStylesAndAnEmptyStripDrawsNoBox) {
    TdxfCheckBox* box = Box(10, 10, 40, 22);
    for (auto [set, want] : {std::pair{0, 1}, {-7, 1}, {14, 14}, {15, 14}, {99, 14}}) {
        box->SetStyle(set);
        EXPECT_EQ(box->Style(), want) << set;
    }
    ExpectCell(Capture(box), {0, 2, 18, 20}, 0, 0, 0, 14);

    components::SetGlyphStrip(Picture(TestStrip(20, 3)));  // not 18 high: cells are 20 x 20
    box->SetStyle(5);
    EXPECT_EQ(box->Style(), 3);
    box->SetChecked(true);
    ExpectCell(Capture(box), {0, 1, 20, 21}, 1, 0, 0, 3);

    components::SetGlyphStrip(TBitmap{});
    box->SetStyle(7);
    EXPECT_EQ(box->Style(), 7);
    box->SetStyle(0);
    EXPECT_EQ(box->Style(), 1);
    EXPECT_EQ(Count(Capture(box), {0, 0, 40, 22}, face), 40 * 22);
    box->SetCaption(L"x");
    box->SetAutoSize(true);
    EXPECT_EQ(box->Width(), box->Canvas().TextWidth(L"x") + 4);
}

TEST_F(CheckBoxTest, CalcSizeFollowsGlyphsCaptionsAndFonts) {
    TdxfCheckBox* box = Box(10, 10, 13, 13);
    auto measure = [](const forms::TFont& font, const std::wstring& text) {
        forms::MemoryDC dc;
        forms::SelectedObject selected(dc.Get(), font.Handle());
        SIZE size{};
        GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    };
    box->SetCaption(L"Short");
    EXPECT_EQ(box->Width(), 13) << "AutoSize off";
    for (int height : {-9, -12, -30}) {
        forms::TFont font = box->Font();
        font.Height = height;
        box->SetFont(font);
        box->SetAutoSize(true);
        EXPECT_EQ(box->Width(), measure(font, L"Short").cx + 18 + 4) << height;
        EXPECT_EQ(box->Height(), std::max<int>(18, measure(font, L"Wg").cy + 2)) << height;
        box->SetCaption(L"A longer caption");
        EXPECT_EQ(box->Width(), measure(font, L"A longer caption").cx + 22) << "caption change";
        box->SetCaption(L"Short");
        box->SetAutoSize(false);
    }
    // A box that follows its parent's font follows a change of it.
    TdxfCheckBox* follower = Box(10, 40, 10, 10, L"Short");
    follower->SetAutoSize(true);
    forms::TFont big = form->Font();
    big.Height = -28;
    form->SetFont(big);
    EXPECT_EQ(follower->Font().Height, -28);
    EXPECT_EQ(follower->Height(), measure(big, L"Wg").cy + 2);
}

TEST_F(CheckBoxTest, ClicksToggleAndReportOnceEach) {
    TdxfCheckBox* box = Box(10, 10, 80, 18, L"Click");
    Click(box, 1);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, std::vector<bool>{true}) << "reported after the new state is stored";
    EXPECT_TRUE(box->Focused());

    int doubleClicks = 0;
    box->OnDblClick = [&](forms::TObject*) { ++doubleClicks; };
    Click(box, 2);  // toggles on the first release and on the second press
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, (std::vector<bool>{true, false, true}));

    clicks.clear();
    Key(VK_SPACE, false);
    EXPECT_TRUE(clicks.empty()) << "not on the press";
    Key(VK_SPACE, true);
    EXPECT_FALSE(box->Checked());
    Stroke(VK_RETURN);
    Stroke('A');
    EXPECT_EQ(clicks, std::vector<bool>{false});

    clicks.clear();
    box->SetChecked(false);
    EXPECT_TRUE(clicks.empty()) << "same value";
    box->SetChecked(true);
    EXPECT_EQ(clicks, std::vector<bool>{true});
}

TEST_F(CheckBoxTest, GroupKeepsOneCheckedWithoutReportingTheOthers) {
    std::vector<TdxfCheckBox*> group;
    for (int i = 0; i < 3; ++i) {
        group.push_back(Box(10, 10 + 25 * i, 60, 18));
        group.back()->SetGroupIndex(1);
        group.back()->SetChecked(true);
    }
    TdxfCheckBox* other = Box(100, 10, 60, 18);  // another group on the same parent
    other->SetGroupIndex(2);
    other->SetChecked(true);
    EXPECT_FALSE(group[0]->Checked());
    EXPECT_FALSE(group[1]->Checked());
    EXPECT_TRUE(group[2]->Checked());
    EXPECT_TRUE(other->Checked());
    EXPECT_EQ(clicks, std::vector<bool>(4, true)) << "one report per setter call, none for the unchecked";
    ExpectCell(Capture(group[0]), {0, 0, 18, 18}, 0, 0, 0);

    clicks.clear();
    group[2]->SetAllowAllUp(false);
    Click(group[2], 1);
    EXPECT_TRUE(group[2]->Checked()) << "the last one up stays";
    EXPECT_EQ(clicks, std::vector<bool>{true}) << "the click still reports";
    group[2]->SetAllowAllUp(true);
    Click(group[2], 1);
    EXPECT_FALSE(group[2]->Checked());

    TdxfCheckBox* sticky = Box(200, 10, 60, 18);
    sticky->SetGroupIndex(-1);
    sticky->SetChecked(true);
    sticky->SetChecked(false);
    EXPECT_TRUE(sticky->Checked());
    Click(sticky, 1);
    EXPECT_TRUE(sticky->Checked());
}

TEST_F(CheckBoxTest, TabMovesTheFocusAlongTheTabStops) {
    TdxfCheckBox* first = Box(10, 10, 60, 18);
    TdxfCheckBox* skipped = Box(10, 40, 60, 18);
    TdxfCheckBox* last = Box(10, 70, 60, 18);
    skipped->TabStop = false;
    first->SetFocus();
    Stroke(VK_TAB);
    EXPECT_TRUE(last->Focused());
    Stroke(VK_TAB);
    EXPECT_TRUE(first->Focused());
}

core::LayoutObject BoxLayout(std::vector<core::LayoutProperty> properties) {
    core::LayoutObject root{"Form", "TForm", {}, {}};
    root.children.push_back({"CheckBox1", "TdxfCheckBox", std::move(properties), {}});
    return root;
}

TEST_F(CheckBoxTest, LayoutStoresWhatDiffersAndLoadingNeverReports) {
    TdxfCheckBox* box = Box(0, 0, 13, 13);
    core::LayoutObject stored = forms::TWriter::WriteComponent(box);
    std::vector<std::string> names;
    for (const auto& p : stored.properties) names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Left", "Top", "Width", "Height", "Checked", "AutoSize", "GroupIndex"}));

    box->SetAlignment(components::taLeftJustify);
    box->SetAllowAllUp(false);
    box->SetGroupIndex(3);
    box->SetStyle(4);
    box->SetChecked(true);
    Picture glyph(TestStrip(18, 1));
    box->SetUnCheckedBmp(&glyph);
    box->TabStop = false;
    stored = forms::TWriter::WriteComponent(box);
    int reported = 0;
    for (bool clickFirst : {false, true}) {
        std::vector<core::LayoutProperty> properties = stored.properties;
        core::LayoutProperty onClick{"OnClick", wintest::Ident("CheckBox1Click")};
        properties.insert(clickFirst ? properties.begin() : properties.end(), onClick);
        auto* loaded = forms::CreateForm<wintest::TLayoutForm>(app);
        TdxfCheckBox* copy = nullptr;
        loaded->PublishField("CheckBox1", copy);
        loaded->PublishMethod("CheckBox1Click", [&](forms::TObject*) { ++reported; });
        loaded->Load(BoxLayout(properties));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(reported, 0);
        EXPECT_EQ(forms::TWriter::WriteComponent(copy).properties, stored.properties);
        EXPECT_EQ(copy->GlyphUnChecked()->ToCore(), glyph.ToCore());
        copy->SetChecked(false);  // group 3 without all-up refuses, but reports the attempt
        EXPECT_EQ(reported, 1);
        reported = 0;
    }
}

TEST_F(CheckBoxTest, PaintingAndFreeingLeaveNoGdiObjectsAndTheBufferOnlyGrows) {
    auto cycle = [&](int width, int height) {
        TdxfCheckBox* box = Box(5, 5, width, height, L"Caption");
        for (int i = 0; i < 4; ++i) {
            box->SetChecked(i % 2 == 1);
            box->SetEnabled(i < 2);
            box->SetFocus();
            Capture(box);
        }
        delete box;
    };
    cycle(300, 40);
    int before = wintest::LiveGdiObjects();
    int width = components::PaintBuffer().Width(), height = components::PaintBuffer().Height();
    EXPECT_GE(width, 300);
    EXPECT_GE(height, 40);
    for (int i = 0; i < 20; ++i) cycle(50 + i, 20);
    EXPECT_EQ(wintest::LiveGdiObjects(), before);
    EXPECT_EQ(components::PaintBuffer().Width(), width) << "never shrinks";
    EXPECT_EQ(components::PaintBuffer().Height(), height);
}

}  // namespace
