// Whole-factor scaling: the framework's scale change on plain forms, and the character and
// settings windows moving between monitors of 96 and 192 dpi (the platform's own message).
#include <windows.h>

#include <array>
#include <vector>

#include "app/CharacterForm.h"
#include "app/Fenwa.h"
#include "app/Melka.h"
#include "app/Pelton.h"
#include "app/Program.h"
#include "app/Rugo.h"
#include "app/StatusWindow1.h"
#include "components/Dxfres.h"
#include "forms/Dpi.h"
#include "forms/GraphicCtrls.h"
#include "support/WinTest.h"

using namespace kurun;

namespace {

// What the system sends a per-monitor aware window that reached a monitor of `dpi`.
void MoveToMonitor(forms::TCustomForm* form, int dpi, RECT suggested) {
    SendMessageW(form->Handle(), forms::WM_DPICHANGED_, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// Every picture pixel that is not the key is a scale x scale block of its colour at
// (left, top) + scale * (x, y) of the shot; the key shows whatever lies below, and so do the
// `covered` rectangles of the shot.
void ExpectBlocks(const core::Bitmap& shot, int left, int top, const core::Bitmap& picture, int scale,
                  const std::vector<RECT>& covered = {}) {
    const core::Rgb key = picture.Color(0, picture.Height() - 1);
    auto hidden = [&](int x, int y) {
        const RECT block{left + x * scale, top + y * scale, left + (x + 1) * scale, top + (y + 1) * scale};
        RECT overlap;
        for (const RECT& rect : covered)
            if (IntersectRect(&overlap, &rect, &block)) return true;
        return false;
    };
    int wrong = 0, compared = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const core::Rgb colour = picture.Color(x, y);
            if (colour == key || hidden(x, y)) continue;
            // A picture larger than the window is cut.
            if (left + x * scale < 0 || top + y * scale < 0 || left + (x + 1) * scale > shot.Width() ||
                top + (y + 1) * scale > shot.Height())
                continue;
            ++compared;
            for (int dy = 0; dy < scale; ++dy)
                for (int dx = 0; dx < scale; ++dx)
                    if (!(shot.Color(left + x * scale + dx, top + y * scale + dy) == colour)) ++wrong;
        }
    EXPECT_EQ(wrong, 0) << "screen pixels that differ from the picture's, scaled " << scale;
    EXPECT_GT(compared, picture.Width() * picture.Height() / 4) << "too little of the picture shows";
}

// What the settings window's controls cover of its skin.
std::vector<RECT> Covered(const TStatusForm1& form) {
    std::vector<RECT> rects;
    for (forms::TControl* control : form.Controls())
        if (control != form.Image1) rects.push_back(control->BoundsRect());
    return rects;
}

// The outline the layout stores for a frame, in picture pixels.
std::vector<core::Rect> StoredOutline(const components::TRgn* frame) {
    return core::DecodeRgnData({frame->RgnData(), static_cast<size_t>(frame->RgnDataSize())});
}

// Cell `index` of the check boxes' glyph strip (style 1), as a picture of its own.
core::Bitmap StripCell(int index) {
    const core::Bitmap strip = components::GlyphStrip().ToCore();
    const int cell = strip.Height();
    core::Bitmap picture(cell, cell, 24);
    for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x) picture.SetColor(x, y, strip.Color(index * cell + x, y));
    return picture;
}

// A control's place and size.
std::array<int, 4> Bounds(const forms::TControl& control) {
    return {control.Left(), control.Top(), control.Width(), control.Height()};
}

class ScalingTest : public wintest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app->SetTitle(kApplicationTitle);
        app->CreateForm(Form1);
        for (TCharacterForm* form : {static_cast<TCharacterForm*>(Form1), static_cast<TCharacterForm*>(Form2),
                                     static_cast<TCharacterForm*>(Form3), static_cast<TCharacterForm*>(Form4)})
            form->Timer1->SetEnabled(false);
    }
    // Where the sprite's feet are on the screen: the bottom centre of frame 1.
    static POINT Feet(TCharacterForm* form) {
        RECT sprite = form->Frame(1)->BoundsRect();
        return POINT{form->Left() + (sprite.left + sprite.right) / 2, form->Top() + sprite.bottom};
    }
    static RECT Suggested(forms::TCustomForm* form, int scale) {
        return RECT{form->Left(), form->Top(), form->Left() + form->Width() * scale, form->Top() + form->Height() * scale};
    }
};

TEST_F(ScalingTest, CharacterMovedToADoubleDensityMonitorDoublesEverythingAndKeepsItsFeet) {
    Form1->Show();
    Form1->SetBounds(300, 200, Form1->Width(), Form1->Height());
    wintest::Pump();
    const RECT before = WindowRect(Form1->Handle());
    const POINT feet = Feet(Form1);
    const std::vector<core::Rect> outline = wintest::WindowRegionRects(Form1->Handle());
    ASSERT_FALSE(outline.empty());

    MoveToMonitor(Form1, 192, Suggested(Form1, 2));
    wintest::Pump();
    EXPECT_EQ(Form1->PixelScale(), 2);
    const RECT after = WindowRect(Form1->Handle());
    EXPECT_EQ(after.right - after.left, 2 * (before.right - before.left));
    EXPECT_EQ(after.bottom - after.top, 2 * (before.bottom - before.top));
    EXPECT_EQ(Feet(Form1).x, feet.x);
    EXPECT_EQ(Feet(Form1).y, feet.y);
    EXPECT_EQ(Form1->Frame(1)->Width(), 80);
    // The outline is the stored one with every corner doubled, at once.
    EXPECT_EQ(wintest::WindowRegionRects(Form1->Handle()), wintest::Placed(outline, 0, 0, 2));
    for (int n = 1; n <= kFrameCount; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(wintest::RegionRects(Form1->Frame(n)->RegionHandle()), wintest::Placed(StoredOutline(Form1->Frame(n)), 0, 0, 2));
    }
    // Every picture pixel is a 2 x 2 block: no smoothing.
    ExpectBlocks(wintest::Capture(Form1->Handle()), 0, 0, Form1->Frame(1)->RgnBitmap()->ToCore(), 2);
    wintest::SavePicture(Form1->Handle(), L"scaling-character-2x.bmp");

    // And back: the window as it was, pixel for pixel of its outline.
    MoveToMonitor(Form1, 96, Suggested(Form1, 1));
    wintest::Pump();
    EXPECT_EQ(Form1->PixelScale(), 1);
    const RECT back = WindowRect(Form1->Handle());
    EXPECT_EQ(back.left, before.left);
    EXPECT_EQ(back.top, before.top);
    EXPECT_EQ(back.right, before.right);
    EXPECT_EQ(back.bottom, before.bottom);
    EXPECT_EQ(wintest::WindowRegionRects(Form1->Handle()), outline);
    ExpectBlocks(wintest::Capture(Form1->Handle()), 0, 0, Form1->Frame(1)->RgnBitmap()->ToCore(), 1);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ScalingTest, ScaledCharacterWalksInScaledStepsAndShowsEachFrameScaled) {
    MoveToMonitor(Form3, 192, Suggested(Form3, 2));
    Form3->SetBounds(800, 800, Form3->Width(), Form3->Height());
    // Rugo's rest box is -48 .. 24 and its step 2 at 96 dpi: at 192 all doubled.
    SetCursorPos(800 - 96, 800 - 96);  // on the box's corner: stands
    Form3->Timer1->Tick();
    EXPECT_EQ(Form3->Left(), 800);
    EXPECT_EQ(Form3->Top(), 800);
    SetCursorPos(800 - 97, 800 + 48);  // one left of the box
    Form3->Timer1->Tick();
    EXPECT_EQ(Form3->Left(), 796);
    EXPECT_EQ(Form3->Top(), 800);
    wintest::Pump();
    // The frame the tick chose (left, index 2) is shown with its doubled outline.
    EXPECT_TRUE(Form3->Frame(9 + 2)->Shown());
    EXPECT_EQ(wintest::WindowRegionRects(Form3->Handle()), wintest::Placed(StoredOutline(Form3->Frame(11)), 0, 0, 2));
}

TEST_F(ScalingTest, CharacterFourFollowsCharacterOneAtEitherScale) {
    MoveToMonitor(Form4, 192, Suggested(Form4, 2));
    Form1->SetBounds(100, 100, Form1->Width(), Form1->Height());
    Form4->SetBounds(600, 600, Form4->Width(), Form4->Height());
    Form1->Show();
    for (int i = 0; i < 400; ++i) Form4->Timer1->Tick();
    // Fenwa's rest box -12 .. 32 doubled: it stands within -24 .. 64 of character 1's corner.
    EXPECT_GE(100 - Form4->Left(), -24);
    EXPECT_LE(100 - Form4->Left(), 64);
    EXPECT_GE(100 - Form4->Top(), -24);
    EXPECT_LE(100 - Form4->Top(), 64);
}

TEST_F(ScalingTest, ThousandsOfTicksAtDoubleScaleLeaveTheGdiObjectCountUnchanged) {
    std::array<TCharacterForm*, 4> all = {Form1, Form2, Form3, Form4};
    for (TCharacterForm* form : all) MoveToMonitor(form, 192, Suggested(form, 2));
    Form1->Show();
    auto tickAll = [&](int round) {
        SetCursorPos(round % 2 ? 50 : 900, round % 3 ? 60 : 700);
        for (TCharacterForm* form : all) form->Timer1->Tick();
        if (round % 50 == 0) wintest::Pump();
    };
    for (int round = 0; round < 50; ++round) tickAll(round);
    wintest::Pump();
    const int before = wintest::LiveGdiObjects();
    for (int round = 0; round < 1000; ++round) tickAll(round);
    wintest::Pump();
    EXPECT_EQ(wintest::LiveGdiObjects(), before);
    // Moving between monitors makes no handles either.
    for (int i = 0; i < 20; ++i) {
        MoveToMonitor(Form2, i % 2 ? 192 : 96, Suggested(Form2, 1));
        wintest::Pump();
    }
    EXPECT_EQ(wintest::LiveGdiObjects(), before);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ScalingTest, SettingsWindowTakesTheSuggestedPlaceAndScalesItsWholeLayout) {
    TStatusForm1& form = *StatusForm1;
    form.FormShow(nullptr);
    form.Show();
    wintest::Pump();
    std::vector<std::array<int, 4>> designed;
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto* control = dynamic_cast<forms::TControl*>(form.Component(i))) designed.push_back(Bounds(*control));
    const int fontHeight = form.Edit[0]->Font().Height;
    const RECT editBefore = WindowRect(form.Edit[0]->Handle());

    RECT suggested{150, 120, 150 + 700, 120 + 700};
    MoveToMonitor(&form, 192, suggested);
    wintest::Pump();
    const RECT window = WindowRect(form.Handle());
    EXPECT_EQ(window.left, 150);
    EXPECT_EQ(window.top, 120);
    EXPECT_EQ(window.right - window.left, 700);
    EXPECT_EQ(window.bottom - window.top, 700);
    // Every control doubled in place and size, the edit boxes' windows too, fonts twice as tall.
    size_t k = 0;
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto* control = dynamic_cast<forms::TControl*>(form.Component(i))) {
            SCOPED_TRACE(forms::Narrow(control->Name()));
            const std::array<int, 4>& d = designed[k++];
            if (dynamic_cast<forms::TLabel*>(control)) {  // sized by its text
                EXPECT_EQ(control->Left(), 2 * d[0]);
                EXPECT_EQ(control->Top(), 2 * d[1]);
                EXPECT_GT(control->Height(), d[3]);
            } else {
                EXPECT_EQ(Bounds(*control), (std::array<int, 4>{2 * d[0], 2 * d[1], 2 * d[2], 2 * d[3]}));
            }
        }
    EXPECT_EQ(form.Edit[0]->Font().Height, 2 * fontHeight);
    const RECT edit = WindowRect(form.Edit[0]->Handle());
    EXPECT_EQ(edit.right - edit.left, 2 * (editBefore.right - editBefore.left));
    // The skin and the portrait painted into it: each pixel a 2 x 2 block.
    ExpectBlocks(wintest::Capture(form.Handle()), 0, 0, form.Image1->Picture().ToCore(), 2, Covered(form));
    wintest::SavePicture(form.Handle(), L"scaling-settings-2x.bmp");
    // The ticked box's glyph too, in the check box's own window.
    ASSERT_TRUE(form.CheckBox[0]->Checked());
    // A glyph larger than the box is cut as at scale 1: by whole picture pixels.
    const core::Bitmap ticked = StripCell(1);
    const int top = (form.CheckBox[0]->Height() / 2 - ticked.Height()) / 2 * 2;
    ExpectBlocks(wintest::Capture(form.CheckBox[0]->Handle()), 0, top, ticked, 2);

    // A click on the doubled "next row" arrow selects the next row.
    const int selected = form.SelectedChar;
    wintest::PointAt(form.Handle(), POINT{form.Image3->Parent()->Left() + form.Image3->Width() / 2,
                                          form.Image3->Parent()->Top() + form.Image3->Height() / 2});
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    EXPECT_EQ(form.SelectedChar, (selected + 1) % kRowCount);

    MoveToMonitor(&form, 96, RECT{20, 30, 20 + 350, 30 + 350});
    wintest::Pump();
    k = 0;
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto* control = dynamic_cast<forms::TControl*>(form.Component(i))) {
            SCOPED_TRACE(forms::Narrow(control->Name()));
            EXPECT_EQ(Bounds(*control), designed[k++]);
        }
    EXPECT_EQ(form.Edit[0]->Font().Height, fontHeight);
    EXPECT_EQ(WindowRect(form.Handle()).left, 20);
    ExpectBlocks(wintest::Capture(form.Handle()), 0, 0, form.Image1->Picture().ToCore(), 1, Covered(form));
    form.Hide();
    EXPECT_TRUE(reports.empty());
}

// The system asks for the size at the new density before it suggests a rectangle.
TEST_F(ScalingTest, FormAnswersTheSizeItWillTakeAtANewDensity) {
    SIZE size{};
    LRESULT handled = SendMessageW(StatusForm1->Handle(), forms::WM_GETDPISCALEDSIZE_, 288, reinterpret_cast<LPARAM>(&size));
    EXPECT_TRUE(handled);
    EXPECT_EQ(size.cx, 3 * StatusForm1->Width());
    EXPECT_EQ(size.cy, 3 * StatusForm1->Height());
    SendMessageW(StatusForm1->Handle(), forms::WM_GETDPISCALEDSIZE_, 120, reinterpret_cast<LPARAM>(&size));
    EXPECT_EQ(size.cx, StatusForm1->Width());  // 125 % is drawn at 1
}

}  // namespace

namespace {

using FormScaling = wintest::AppTest;

// The framework's scale change on a plain form: nested controls, a font handed down, a round trip.
TEST_F(FormScaling, ScalesItsControlsAndFontsByARatioAndBackExactly) {
    auto* form = forms::CreateForm<wintest::TLayoutForm>(app);
    form->Load(core::ParseLayout(R"(object Form: TForm
  Left = 10
  Top = 20
  Width = 300
  Height = 200
  BorderStyle = bsNone
  Font.Height = -12
  object Panel1: TPanel
    Left = 5
    Top = 6
    Width = 100
    Height = 50
    object Label1: TLabel
      Left = 3
      Top = 4
      Caption = 'Text'
    end
  end
  object Shape1: TShape
    Left = 110
    Top = 10
    Width = 20
    Height = 10
  end
end
)"));
    auto* panel = dynamic_cast<forms::TControl*>(form->FindComponent(L"Panel1"));
    auto* label = dynamic_cast<forms::TLabel*>(form->FindComponent(L"Label1"));
    auto* shape = dynamic_cast<forms::TControl*>(form->FindComponent(L"Shape1"));
    ASSERT_TRUE(panel && label && shape);
    const std::array<int, 4> labelBefore = Bounds(*label);

    form->ChangeScale(3, 1);
    EXPECT_EQ(Bounds(*form), (std::array<int, 4>{10, 20, 900, 600}));  // the place is the caller's
    EXPECT_EQ(form->PixelScale(), 3);
    EXPECT_EQ(Bounds(*panel), (std::array<int, 4>{15, 18, 300, 150}));
    EXPECT_EQ(Bounds(*shape), (std::array<int, 4>{330, 30, 60, 30}));
    EXPECT_EQ(shape->PixelScale(), 3);
    EXPECT_EQ(form->Font().Height, -36);
    // The label's font comes from its parent, scaled once; its size follows its text.
    EXPECT_EQ(label->Font().Height, -36);
    EXPECT_EQ(label->Left(), 9);
    EXPECT_EQ(label->Top(), 12);
    EXPECT_GT(label->Height(), 2 * labelBefore[3]);

    form->ChangeScale(1, 3);
    EXPECT_EQ(Bounds(*form), (std::array<int, 4>{10, 20, 300, 200}));
    EXPECT_EQ(Bounds(*panel), (std::array<int, 4>{5, 6, 100, 50}));
    EXPECT_EQ(Bounds(*shape), (std::array<int, 4>{110, 10, 20, 10}));
    EXPECT_EQ(Bounds(*label), labelBefore);
    EXPECT_EQ(label->Font().Height, -12);
    EXPECT_EQ(label->PixelScale(), 1);
    // Nonsense ratios change nothing.
    form->ChangeScale(0, 1);
    form->ChangeScale(2, -1);
    EXPECT_EQ(Bounds(*panel), (std::array<int, 4>{5, 6, 100, 50}));
    EXPECT_TRUE(reports.empty());
}

}  // namespace
