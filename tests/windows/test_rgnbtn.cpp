// The shaped button on the sample window built from its stored layout and pictures: pixels read
// back from the screen, real mouse input, layouts, errors and GDI handle hygiene.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "components/Region.h"
#include "forms/Streaming.h"
#include "support/WinTest.h"

using components::TRgnBtn;
using forms::TBitmap;
using wintest::Raise;

namespace {

constexpr core::Rgb kWindow{128, 128, 128};  // the sample window's colour, clGray
constexpr core::Rgb kMagenta{255, 0, 255};   // the glyphs' key

struct Mouse {
    forms::TMouseButton button;
    forms::TShiftState shift;
    int x, y;
    bool pressed;  // the button's pressed flag as the event saw it
};

class RgnBtnTest : public wintest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        components::InitializeRegionUnit();
        form = Build(wintest::SampleLayout(L"TBUTTONSAMPLE"));
        // Shown without activation, then brought forward (see the check box tests).
        SetWindowPos(form->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        SetForegroundWindow(form->Handle());
        wintest::Pump();
    }

    wintest::TLayoutForm* Build(const core::LayoutObject& layout) {
        auto built = std::make_unique<wintest::TLayoutForm>(app);
        auto record = [this](const wchar_t* what) {
            return [this, what](forms::TObject* sender) {
                events.push_back(static_cast<TRgnBtn*>(sender)->Name() + what);
            };
        };
        built->PublishMethod("RgnBtnClick", record(L" click"));
        built->PublishMethod("RgnBtnDblClick", record(L" double click"));
        built->Load(layout);
        return built.release();
    }
    wintest::Raised LoadError(const core::LayoutObject& layout) {
        return Raise([&] { delete Build(layout); });
    }
    TRgnBtn* Button(int n) const {
        return dynamic_cast<TRgnBtn*>(form->FindComponent(L"RgnBtn" + std::to_wstring(n)));
    }
    // Records the mouse events that reach the button.
    void Watch(TRgnBtn* button) {
        button->OnMouseDown = [this, button](forms::TObject*, forms::TMouseButton b, forms::TShiftState s, int x, int y) {
            downs.push_back({b, s, x, y, button->Pressed()});
        };
        button->OnMouseUp = [this, button](forms::TObject*, forms::TMouseButton b, forms::TShiftState s, int x, int y) {
            ups.push_back({b, s, x, y, button->Pressed()});
        };
    }
    // Puts the pointer on (x, y) of the button, in the button's own coordinates.
    void PointAt(const TRgnBtn* button, int x, int y) { wintest::PointAt(form->Handle(), On(button, x, y)); }
    static POINT On(const TRgnBtn* button, int x, int y) { return POINT{button->Left() + x, button->Top() + y}; }
    // The left button pressed at one point of the window and released at another.
    void Drag(POINT from, POINT to) {
        wintest::PointAt(form->Handle(), from);
        wintest::SendMouse({MOUSEEVENTF_LEFTDOWN});
        wintest::PointAt(form->Handle(), to);
        wintest::SendMouse({MOUSEEVENTF_LEFTUP});
    }
    core::Bitmap Shot() { return wintest::Capture(form->Handle()); }
    std::vector<core::Rect> Rects(const TRgnBtn* button) const {
        return core::DecodeRgnData({button->RgnData(), static_cast<size_t>(button->RgnDataSize())});
    }

    // Counts the pixels of the button's rectangle that differ from the glyph stretched over
    // it, its key showing `under` (the window colour when null). A null glyph: nothing drawn.
    int Mismatches(const core::Bitmap& shot, const TRgnBtn* button, const TBitmap* glyph,
                   const core::Bitmap* under = nullptr) {
        core::Bitmap pixels = glyph ? glyph->ToCore() : core::Bitmap();
        int gw = pixels.Width(), gh = pixels.Height(), w = button->Width(), h = button->Height();
        core::Rgb key = glyph ? pixels.Color(0, gh - 1) : kMagenta;
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sx = button->Left() + x, sy = button->Top() + y;
                core::Rgb want = under ? under->Color(sx, sy) : kWindow;
                core::Rgb glyphColour = glyph ? pixels.Color(x * gw / w, y * gh / h) : key;
                if (!(glyphColour == key)) want = glyphColour;
                if (!(shot.Color(sx, sy) == want) && wrong++ < 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << " of " << testing::PrintToString(button->Name());
            }
        return wrong;
    }

    wintest::TLayoutForm* form = nullptr;
    std::vector<std::wstring> events;  // clicks and double clicks, from the layout's handlers
    std::vector<Mouse> downs, ups;
};

bool InWindowColour(const core::Bitmap& shot, const TRgnBtn* button) {
    for (int y = button->Top(); y < button->Top() + button->Height(); ++y)
        for (int x = button->Left(); x < button->Left() + button->Width(); ++x)
            if (!(shot.Color(x, y) == kWindow)) return false;
    return true;
}

int Count(const core::Bitmap& shot, core::Rgb colour) {
    int n = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) n += shot.Color(x, y) == colour;
    return n;
}

// ---- what the layout gives ----

TEST_F(RgnBtnTest, TheStoredLayoutGivesEachButtonItsGlyphsAndTheOutlineGdiBuilds) {
    for (int n = 1; n <= 4; ++n) {
        TRgnBtn* button = Button(n);
        ASSERT_NE(button, nullptr) << n;
        SCOPED_TRACE(testing::Message() << "RgnBtn" << n);
        EXPECT_EQ(button->Parent(), form);
        EXPECT_EQ(button->ControlStyle, forms::csCaptureMouse | forms::csClickEvents);
        core::Bitmap glyph = button->GetGlyph(1)->ToCore();
        EXPECT_EQ(glyph.BitsPerPixel(), 24);
        std::vector<uint8_t> stored(button->RgnData(), button->RgnData() + button->RgnDataSize());
        EXPECT_EQ(stored, wintest::GdiOutline(glyph));
        // A shape, not a rectangle: the corner is the key.
        EXPECT_GT(Rects(button).size(), 4u);
        ASSERT_NE(button->RegionHandle(), nullptr);
        EXPECT_FALSE(PtInRegion(button->RegionHandle(), 0, 0));
        // In the button's own coordinates; stretched with the button unless AutoSize holds it.
        int scale = button->AutoSize() ? 1 : 2;
        EXPECT_EQ(wintest::RegionRects(button->RegionHandle()), wintest::Placed(Rects(button), 0, 0, scale));
        EXPECT_EQ(button->Width(), glyph.Width() * scale);
        EXPECT_EQ(button->Height(), glyph.Height() * scale);
    }
    EXPECT_FALSE(Button(4)->AutoSize());
    EXPECT_TRUE(Button(2)->GetGlyph(3)->Empty());
    EXPECT_TRUE(Button(3)->GetGlyph(2)->Empty());
    EXPECT_FALSE(Button(1)->GetGlyph(2)->Empty());
    EXPECT_FALSE(Button(1)->GetGlyph(3)->Empty());
}

TEST_F(RgnBtnTest, ANewButtonIsBareAndTheUnitsClassesAreRegistered) {
    forms::TComponent owner(nullptr);
    for (const char* name : {"TRgnList", "TRgn", "TRgnBtn"})
        EXPECT_EQ(forms::CreateRegistered(name, &owner)->ClassName(), name);

    auto* button = new TRgnBtn(form);
    button->SetName(L"Bare");
    EXPECT_EQ(button->Width(), 25);
    EXPECT_EQ(button->Height(), 25);
    EXPECT_FALSE(button->AutoSize());
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(button->RgnData(), nullptr);
    EXPECT_EQ(button->RegionHandle(), nullptr);
    for (int n = 1; n <= 3; ++n) EXPECT_TRUE(button->GetGlyph(n)->Empty());
    for (int n : {0, 4}) EXPECT_TRUE(Raise<forms::ERangeError>([&] { button->GetGlyph(n); }).ofClass) << n;
    EXPECT_EQ(Raise([&] { button->UpdateRgn(); }).message, L"Bare のﾘｰｼﾞｮﾝ情報がありません");
    // It takes no part in the window's erasing.
    EXPECT_EQ(button->Perform(WM_ERASEBKGND), 1);

    // While designed: a first glyph sizes the button, and a press never looks pressed.
    button->SetState(forms::ComponentState::Designing, true);
    button->SetGlyph(1, Button(3)->GetGlyph(1));
    EXPECT_EQ(button->Width(), 34);
    EXPECT_EQ(button->Height(), 30);
    button->Loaded();
    EXPECT_EQ(button->RegionHandle(), nullptr);
    button->UpdateRgn();
    button->MouseDown(forms::TMouseButton::Left, forms::ssLeft, 17, 15);
    EXPECT_FALSE(button->Pressed());
}

// ---- painting ----

TEST_F(RgnBtnTest, EachGlyphShowsWithItsKeyShowingWhatLiesBeneath) {
    core::Bitmap shot = Shot();
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(Mismatches(shot, Button(n), Button(n)->GetGlyph(1)), 0) << n;
    EXPECT_EQ(Count(shot, kMagenta), 0);

    // Over another button the key shows that button, not the window.
    TRgnBtn* lower = Button(1);
    TRgnBtn* upper = Button(2);
    upper->SetVisible(false);
    core::Bitmap under = Shot();
    upper->SetBounds(lower->Left() + 20, lower->Top() + 6, 0, 0);
    upper->SetVisible(true);
    upper->BringToFront();
    EXPECT_EQ(Mismatches(Shot(), upper, upper->GetGlyph(1), &under), 0);
    // Between the star's arms lies the play button: the key has something to show.
    core::Bitmap star = upper->GetGlyph(1)->ToCore();
    int overLower = 0;
    for (int y = 0; y < star.Height(); ++y)
        for (int x = 0; x < star.Width(); ++x)
            overLower += star.Color(x, y) == kMagenta && !(under.Color(upper->Left() + x, upper->Top() + y) == kWindow);
    EXPECT_GT(overLower, 50);
}

// ---- pressing ----

TEST_F(RgnBtnTest, APressInsideTheOutlineShowsThePressedGlyphUntilTheReleaseClicks) {
    TRgnBtn* button = Button(1);
    Watch(button);
    PointAt(button, 18, 18);
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN});
    EXPECT_TRUE(button->Pressed());
    EXPECT_EQ(Mismatches(Shot(), button, button->GetGlyph(2)), 0);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].button, forms::TMouseButton::Left);
    EXPECT_EQ(downs[0].x, 18);
    EXPECT_EQ(downs[0].y, 18);
    EXPECT_TRUE(downs[0].shift & forms::ssLeft);
    EXPECT_FALSE(downs[0].pressed) << "OnMouseDown comes first";
    EXPECT_TRUE(events.empty());

    wintest::SendMouse({MOUSEEVENTF_LEFTUP});
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(Mismatches(Shot(), button, button->GetGlyph(1)), 0);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_TRUE(ups[0].pressed) << "OnMouseUp comes first";
    EXPECT_EQ(events, std::vector<std::wstring>{L"RgnBtn1 click"});
}

TEST_F(RgnBtnTest, APressOnATransparentCornerLooksNormalButTheReleaseStillClicks) {
    TRgnBtn* button = Button(1);
    ASSERT_EQ(button->GetGlyph(1)->ToCore().Color(2, 2), kMagenta);
    PointAt(button, 2, 2);
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN});
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(Mismatches(Shot(), button, button->GetGlyph(1)), 0);
    wintest::SendMouse({MOUSEEVENTF_LEFTUP});
    EXPECT_EQ(events, std::vector<std::wstring>{L"RgnBtn1 click"});
}

TEST_F(RgnBtnTest, OnlyALeftReleaseOverTheButtonThatTookThePressIsAClick) {
    TRgnBtn* button = Button(1);
    Watch(button);
    // Dragged off and released on the window: the release still reaches the button.
    const POINT inside = On(button, 18, 18), off{220, 52};
    Drag(inside, off);
    EXPECT_FALSE(button->Pressed());
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].x, off.x - button->Left());
    // Released over another button, or pressed on the window and released over the button.
    Drag(inside, On(Button(2), 19, 19));
    Drag(off, inside);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(button->Pressed());
    // Off and back on before the release: a click.
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN});
    wintest::PointAt(form->Handle(), off);
    wintest::PointAt(form->Handle(), inside);
    wintest::SendMouse({MOUSEEVENTF_LEFTUP});
    EXPECT_EQ(events, std::vector<std::wstring>{L"RgnBtn1 click"});
}

TEST_F(RgnBtnTest, RightAndMiddlePressesLookPressedButNeverClick) {
    TRgnBtn* button = Button(1);
    Watch(button);
    PointAt(button, 18, 18);
    wintest::SendMouse({MOUSEEVENTF_RIGHTDOWN});
    EXPECT_TRUE(button->Pressed());
    wintest::SendMouse({MOUSEEVENTF_RIGHTUP});
    EXPECT_FALSE(button->Pressed());

    // Nothing holds the mouse for the right button: released elsewhere, the button stays
    // pressed until a release over it.
    wintest::SendMouse({MOUSEEVENTF_RIGHTDOWN});
    wintest::PointAt(form->Handle(), POINT{220, 52});
    wintest::SendMouse({MOUSEEVENTF_RIGHTUP});
    EXPECT_TRUE(button->Pressed());
    EXPECT_EQ(Mismatches(Shot(), button, button->GetGlyph(2)), 0);
    PointAt(button, 18, 18);
    wintest::SendMouse({MOUSEEVENTF_MIDDLEDOWN});
    EXPECT_TRUE(button->Pressed());
    wintest::SendMouse({MOUSEEVENTF_MIDDLEUP});
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[2].button, forms::TMouseButton::Middle);
    EXPECT_EQ(ups.size(), 2u);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(reports.empty());
}

TEST_F(RgnBtnTest, ADoubleClickIsTwoPressesEachWithItsPressedLook) {
    TRgnBtn* button = Button(2);
    Watch(button);
    PointAt(button, 19, 19);
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    EXPECT_EQ(events, (std::vector<std::wstring>{L"RgnBtn2 click", L"RgnBtn2 click"}));
    ASSERT_EQ(downs.size(), 2u);
    ASSERT_EQ(ups.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(downs[i].shift & forms::ssDouble) << i;
        EXPECT_TRUE(ups[i].pressed) << i;
    }
    EXPECT_FALSE(button->Pressed());
}

TEST_F(RgnBtnTest, DisabledShowsGlyph3OrElseGlyph1AndTakesNoPress) {
    Button(1)->SetEnabled(false);
    Button(2)->SetEnabled(false);
    core::Bitmap shot = Shot();
    EXPECT_EQ(Mismatches(shot, Button(1), Button(1)->GetGlyph(3)), 0);
    EXPECT_EQ(Mismatches(shot, Button(2), Button(2)->GetGlyph(1)), 0) << "no Glyph3";

    PointAt(Button(1), 18, 18);
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    EXPECT_FALSE(Button(1)->Pressed());
    EXPECT_TRUE(events.empty());

    Button(1)->SetEnabled(true);
    EXPECT_EQ(Mismatches(Shot(), Button(1), Button(1)->GetGlyph(1)), 0);
}

TEST_F(RgnBtnTest, WithoutAPressedGlyphAPressShowsNothingUntilReleased) {
    TRgnBtn* button = Button(3);
    PointAt(button, 17, 12);
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN});
    EXPECT_TRUE(button->Pressed());
    EXPECT_TRUE(InWindowColour(Shot(), button));
    wintest::SendMouse({MOUSEEVENTF_LEFTUP});
    EXPECT_EQ(Mismatches(Shot(), button, button->GetGlyph(1)), 0);
    EXPECT_EQ(events, std::vector<std::wstring>{L"RgnBtn3 click"});
}

// ---- size and scale ----

TEST_F(RgnBtnTest, AResizedButtonShowsAndHitTestsItsGlyphAtTheSameScale) {
    // RgnBtn4 shows its 30 x 16 glyph at twice the size, all of it: a press far from the
    // glyph's own size still falls inside the picture and its outline.
    TRgnBtn* button = Button(4);
    ASSERT_EQ(button->GetGlyph(1)->Width(), 30);
    ASSERT_FALSE(PtInRegion(button->RegionHandle(), 1, 1));
    PointAt(button, 50, 22);
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN});
    EXPECT_TRUE(button->Pressed());
    EXPECT_EQ(Mismatches(Shot(), button, button->GetGlyph(2)), 0);
    wintest::SendMouse({MOUSEEVENTF_LEFTUP});
    PointAt(button, 1, 1);
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN});
    EXPECT_FALSE(button->Pressed());
    wintest::SendMouse({MOUSEEVENTF_LEFTUP});
    EXPECT_EQ(events, (std::vector<std::wstring>{L"RgnBtn4 click", L"RgnBtn4 click"}));

    // The outline lies in the button's own coordinates: it moves with the button.
    button->SetBounds(button->Left() - 20, button->Top() - 10, 60, 32);
    PointAt(button, 50, 22);
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN});
    EXPECT_TRUE(button->Pressed());
    wintest::SendMouse({MOUSEEVENTF_LEFTUP});

    // Shrunk, the picture keeps its key out too.
    button->SetBounds(button->Left(), button->Top(), 15, 8);
    button->UpdateRgn();
    RECT box{};
    GetRgnBox(button->RegionHandle(), &box);
    EXPECT_LE(box.right, 15);
    EXPECT_LE(box.bottom, 8);
    EXPECT_TRUE(PtInRegion(button->RegionHandle(), 7, 4));
    EXPECT_FALSE(PtInRegion(button->RegionHandle(), 0, 0));
    core::Bitmap shot = Shot();
    EXPECT_EQ(Count(shot, kMagenta), 0);
    EXPECT_FALSE(InWindowColour(shot, button));
}

TEST_F(RgnBtnTest, AutoSizeHoldsTheButtonAtGlyph1sSize) {
    TRgnBtn* button = Button(1);
    button->SetBounds(button->Left(), button->Top(), 80, 80);
    EXPECT_EQ(button->Width(), 36);
    button->SetAutoSize(false);
    button->SetBounds(button->Left(), button->Top(), 72, 72);
    EXPECT_EQ(button->Width(), 72);
    button->UpdateRgn();
    EXPECT_EQ(wintest::RegionRects(button->RegionHandle()), wintest::Placed(Rects(button), 0, 0, 2));
    button->SetAutoSize(true);
    EXPECT_EQ(button->Width(), 36);
    EXPECT_EQ(button->Height(), 36);
    button->UpdateRgn();
    EXPECT_EQ(wintest::RegionRects(button->RegionHandle()), Rects(button));

    // A new first glyph at run time leaves the size; setting AutoSize again, even to the
    // value it has, takes the glyph's.
    button->SetGlyph(1, Button(3)->GetGlyph(1));
    EXPECT_EQ(button->Width(), 36);
    button->SetAutoSize(true);
    EXPECT_EQ(button->Width(), 34);
    EXPECT_EQ(button->Height(), 30);
}

// ---- glyphs and outline data ----

TEST_F(RgnBtnTest, AssigningGlyphsAtRunTime) {
    TRgnBtn* button = Button(1);
    HWND window = form->Handle();
    auto repaintPending = [&] { return GetUpdateRect(window, nullptr, FALSE) != FALSE; };
    UpdateWindow(window);

    // Pressed and disabled glyphs: no repaint, no outline work; they show at the next paint.
    const uint8_t* data = button->RgnData();
    button->SetGlyph(2, Button(2)->GetGlyph(2));
    button->SetGlyph(3, Button(3)->GetGlyph(3));
    EXPECT_FALSE(repaintPending());
    EXPECT_EQ(button->RgnData(), data);
    EXPECT_EQ(button->GetGlyph(2)->ToCore(), Button(2)->GetGlyph(2)->ToCore());

    // Its own picture: nothing happens.
    HRGN region = button->RegionHandle();
    button->SetGlyph(1, button->GetGlyph(1));
    EXPECT_EQ(button->RegionHandle(), region);
    EXPECT_EQ(button->RgnData(), data);

    // Another first glyph: its outline at once, a region only after UpdateRgn.
    TBitmap heart;
    heart.Assign(*Button(3)->GetGlyph(1));
    button->SetGlyph(1, &heart);
    EXPECT_EQ(std::vector<uint8_t>(button->RgnData(), button->RgnData() + button->RgnDataSize()),
              wintest::GdiOutline(heart.ToCore()));
    EXPECT_EQ(button->RegionHandle(), nullptr);
    PointAt(button, 17, 12);
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN});
    EXPECT_FALSE(button->Pressed()) << "no region yet";
    wintest::SendMouse({MOUSEEVENTF_LEFTUP});
    button->UpdateRgn();
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN});
    EXPECT_TRUE(button->Pressed());
    wintest::SendMouse({MOUSEEVENTF_LEFTUP});

    // An empty picture: refused, and the button is left bare and repainted.
    UpdateWindow(window);
    TBitmap empty;
    for (TBitmap* value : {&empty, static_cast<TBitmap*>(nullptr)}) {
        wintest::Raised raised = Raise<forms::EInvalidGraphic>([&] { button->SetGlyph(1, value); });
        EXPECT_TRUE(raised.ofClass);
        EXPECT_EQ(raised.message, L"ﾋﾞｯﾄﾏｯﾌﾟが正しくｾｯﾄされていません");
        EXPECT_TRUE(button->GetGlyph(1)->Empty());
        EXPECT_EQ(button->RgnData(), nullptr);
        EXPECT_EQ(button->RgnDataSize(), 0);
        EXPECT_EQ(button->RegionHandle(), nullptr);
        EXPECT_TRUE(repaintPending());
    }
    EXPECT_TRUE(InWindowColour(Shot(), button));
    // The click is the framework's; only the pressed look needs the outline.
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN});
    EXPECT_FALSE(button->Pressed());
    wintest::SendMouse({MOUSEEVENTF_LEFTUP});
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(RgnBtnTest, MissingOrDamagedOutlineDataIsRefused) {
    core::LayoutObject layout = wintest::SampleLayout(L"TBUTTONSAMPLE");
    core::LayoutObject noData = layout;
    noData.FindChild("RgnBtn2")->Set("RgnData", core::LayoutBytes{});
    EXPECT_EQ(LoadError(noData).message, L"RgnBtn2 のﾘｰｼﾞｮﾝ情報がありません");

    core::LayoutObject noGlyph = layout;
    std::erase_if(noGlyph.FindChild("RgnBtn3")->properties,
                  [](const core::LayoutProperty& p) { return p.name == "Glyph1.Data"; });
    EXPECT_EQ(LoadError(noGlyph).message, L"RgnBtn3:Glyph1 のﾋﾞｯﾄﾏｯﾌﾟが正しくありません");

    core::LayoutObject damaged = layout;
    auto& block = std::get<core::LayoutBytes>(damaged.FindChild("RgnBtn1")->Find("RgnData")->value);
    block[8] = static_cast<uint8_t>(block[8] + 3);  // more rectangles than the block holds
    EXPECT_EQ(LoadError(damaged).message, L"ﾘｰｼﾞｮﾝが作成できません");

    // At run time: a failed check leaves the region; a failed creation leaves none.
    TRgnBtn* button = Button(1);
    HRGN region = button->RegionHandle();
    TBitmap saved;
    saved.Assign(*button->GetGlyph(1));
    button->GetGlyph(1)->Clear();
    EXPECT_EQ(Raise([&] { button->UpdateRgn(); }).message, L"RgnBtn1:Glyph1 のﾋﾞｯﾄﾏｯﾌﾟが正しくありません");
    EXPECT_EQ(button->RegionHandle(), region);
    button->GetGlyph(1)->Assign(saved);
    forms::TMemoryStream stream(block);
    button->ReadRgnData(stream);
    EXPECT_EQ(Raise([&] { button->UpdateRgn(); }).message, L"ﾘｰｼﾞｮﾝが作成できません");
    EXPECT_EQ(button->RegionHandle(), nullptr);
    button->DestroyRgn();
    EXPECT_EQ(button->RgnData(), nullptr);
    EXPECT_EQ(button->RgnDataSize(), 0);
}

TEST_F(RgnBtnTest, TheLayoutStoresWhatDiffersAndAlwaysTheOutline) {
    auto* bare = new TRgnBtn(form);
    bare->SetName(L"RgnBtn5");
    bare->SetParent(form);
    core::LayoutObject written = forms::TWriter::WriteRoot(form);
    auto names = [&](const char* child) {
        std::vector<std::string> result;
        for (const auto& p : written.FindChild(child)->properties) result.push_back(p.name);
        return result;
    };
    EXPECT_EQ(names("RgnBtn3"), (std::vector<std::string>{"Left", "Top", "Width", "Height", "Cursor", "AutoSize",
                                                          "Glyph1.Data", "Glyph3.Data", "RgnData"}));
    EXPECT_EQ(names("RgnBtn5"), (std::vector<std::string>{"Left", "Top", "Width", "Height", "RgnData"}));
    EXPECT_TRUE(std::get<core::LayoutBytes>(written.FindChild("RgnBtn5")->Find("RgnData")->value).empty());

    // What was written loads back the same, outlined without a scan.
    written.children.pop_back();
    uint64_t scans = core::ScanCount();
    wintest::TLayoutForm* again = Build(written);
    EXPECT_EQ(core::ScanCount(), scans);
    for (int n = 1; n <= 4; ++n) {
        auto* copy = dynamic_cast<TRgnBtn*>(again->FindComponent(L"RgnBtn" + std::to_wstring(n)));
        ASSERT_NE(copy, nullptr);
        for (int g = 1; g <= 3; ++g) EXPECT_EQ(copy->GetGlyph(g)->ToCore(), Button(n)->GetGlyph(g)->ToCore());
        EXPECT_EQ(wintest::RegionRects(copy->RegionHandle()), wintest::RegionRects(Button(n)->RegionHandle()));
    }
    delete again;

    // Every published property and event of the button loads.
    core::LayoutObject full = wintest::SampleLayout(L"TBUTTONSAMPLE");
    auto& properties = full.FindChild("RgnBtn1")->properties;
    for (const char* event : {"OnMouseDown", "OnMouseMove", "OnMouseUp", "OnDragDrop", "OnDragOver", "OnEndDrag",
                              "OnStartDrag"})
        properties.push_back({event, wintest::Ident("RgnBtnClick")});
    for (auto [name, ident] : {std::pair{"DragCursor", "crDrag"}, {"DragMode", "dmAutomatic"},
                               {"ParentShowHint", "False"}, {"ShowHint", "True"}, {"HelpType", "htKeyword"},
                               {"Enabled", "False"}, {"Visible", "True"}})
        properties.push_back({name, wintest::Ident(ident)});
    properties.push_back({"Hint", std::string("Play")});
    properties.push_back({"HelpKeyword", std::string("play")});
    properties.push_back({"HelpContext", int64_t{3}});
    properties.push_back({"Tag", int64_t{7}});
    wintest::TLayoutForm* loaded = Build(full);
    auto* button = dynamic_cast<TRgnBtn*>(loaded->FindComponent(L"RgnBtn1"));
    EXPECT_EQ(button->Tag, 7);
    EXPECT_EQ(button->Hint, L"Play");
    EXPECT_FALSE(button->Enabled());
    ASSERT_TRUE(button->OnMouseDown);
    button->OnMouseDown(button, forms::TMouseButton::Left, 0, 0, 0);
    EXPECT_EQ(events, std::vector<std::wstring>{L"RgnBtn1 click"});
    delete loaded;
}

// ---- handles ----

TEST_F(RgnBtnTest, ThousandsOfPressesAndRebuiltWindowsLeaveTheHandleCountAlone) {
    HWND window = form->Handle();
    size_t clicks = 0;
    auto press = [&](int i) {
        TRgnBtn* button = Button(i % 4 + 1);
        LPARAM at = MAKELPARAM(button->Left() + button->Width() / 2, button->Top() + button->Height() / 2);
        if (i % 7 == 0) button->SetEnabled(!button->Enabled());
        clicks += button->Enabled();
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        wintest::Pump();
        UpdateWindow(window);
        PostMessageW(window, WM_LBUTTONUP, 0, at);
        wintest::Pump();
        UpdateWindow(window);
    };
    for (int i = 0; i < 56; ++i) press(i);  // every button pressed in both states once
    events.clear();
    clicks = 0;
    int before = wintest::LiveGdiObjects();
    for (int i = 0; i < 3000; ++i) press(i);
    EXPECT_EQ(wintest::LiveGdiObjects(), before);
    EXPECT_EQ(events.size(), clicks);
    EXPECT_GT(clicks, 1000u);

    core::LayoutObject layout = wintest::SampleLayout(L"TBUTTONSAMPLE");
    auto rebuild = [&] {
        wintest::TLayoutForm* other = Build(layout);
        wintest::Capture(other->Handle());
        delete other;
    };
    rebuild();
    before = wintest::LiveGdiObjects();
    for (int i = 0; i < 3; ++i) rebuild();
    EXPECT_EQ(wintest::LiveGdiObjects(), before);
}

}  // namespace
