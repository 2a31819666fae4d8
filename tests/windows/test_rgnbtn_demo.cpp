// The sample window's shaped buttons in every state, kept so the look can be judged: one row
// per button, normal, pressed and disabled from left to right, then a star over the play
// button and the capsule at twice and at half its size. It writes the window's picture beside
// the program as rgnbtn_demo.bmp:
//
//   cmake --build --preset windows --target test_rgnbtn_demo
//   bash scripts/xvfb.sh bash scripts/wine-run.sh build/windows/test_rgnbtn_demo.exe
//   convert build/windows/rgnbtn_demo.bmp -scale 300% build/rgnbtn_demo.png   # enlarged
#include <string>

#include "components/Region.h"
#include "forms/Streaming.h"
#include "support/WinTest.h"

using components::TRgnBtn;

namespace {

class RgnBtnDemo : public wintest::AppTest {
protected:
    // A copy of a sample button with all its glyphs, placed at (left, top).
    TRgnBtn* Copy(const TRgnBtn* source, int left, int top, int width = 0, int height = 0) {
        auto* button = new TRgnBtn(form);
        button->SetParent(form);
        for (int n = 1; n <= 3; ++n) button->SetGlyph(n, source->GetGlyph(n));
        const forms::TBitmap* glyph = source->GetGlyph(1);
        button->SetBounds(left, top, width ? width : glyph->Width(), height ? height : glyph->Height());
        button->UpdateRgn();
        return button;
    }
    // Pressed in the middle, as a held mouse button leaves it.
    static void Hold(TRgnBtn* button) {
        button->MouseDown(forms::TMouseButton::Left, forms::ssLeft, button->Width() / 2, button->Height() / 2);
    }
    wintest::TLayoutForm* form = nullptr;
};

TEST_F(RgnBtnDemo, ShowsEveryStateAndSavesAPicture) {
    components::InitializeRegionUnit();
    form = new wintest::TLayoutForm(app);
    form->PublishMethod("RgnBtnClick", [](forms::TObject*) {});
    form->PublishMethod("RgnBtnDblClick", [](forms::TObject*) {});
    form->Load(wintest::SampleLayout(L"TBUTTONSAMPLE"));
    form->SetBounds(20, 20, 240, 176);
    SetWindowPos(form->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    auto sample = [&](int n) { return dynamic_cast<TRgnBtn*>(form->FindComponent(L"RgnBtn" + std::to_wstring(n))); };
    auto place = [](TRgnBtn* button, int left, int top) {
        button->SetBounds(left, top, button->Width(), button->Height());
        button->UpdateRgn();
    };

    // A row per button: normal, pressed, disabled (the star has no disabled glyph).
    const int rowTop[4] = {8, 52, 96, 140};
    for (int n = 1; n <= 4; ++n) {
        TRgnBtn* button = sample(n);
        ASSERT_NE(button, nullptr);
        int top = rowTop[n - 1];
        if (n < 4) place(button, 8, top);
        else Copy(button, 8, top);
        Hold(Copy(button, 52, top));
        Copy(button, 96, top)->SetEnabled(false);
    }
    // The layout's capsule at twice its glyph's size, and a copy at half of it.
    place(sample(4), 150, 96);
    Hold(Copy(sample(4), 150, 132, 60, 32));
    Copy(sample(4), 214, 140, 15, 8);
    // Keyed pixels show what lies beneath, here another button.
    Copy(sample(1), 150, 8);
    Copy(sample(2), 174, 24);
    wintest::Pump();

    wintest::SavePicture(form->Handle(), L"rgnbtn_demo.bmp");
    EXPECT_TRUE(reports.empty());
}

}  // namespace
