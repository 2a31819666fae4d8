// A window of check boxes in every style, state, alignment and caption kind, kept so the look
// can be judged. It writes the window's picture beside the program as checkbox_demo.bmp:
//
//   cmake --build --preset windows --target test_checkbox_demo
//   bash scripts/xvfb.sh bash scripts/wine-run.sh build/windows/test_checkbox_demo.exe
//   convert build/windows/checkbox_demo.bmp -scale 300% build/checkbox_demo.png   # enlarged
#include <iostream>
#include <string>

#include "components/Dxfcheckbox.h"
#include "components/Dxfres.h"
#include "forms/Text.h"
#include "support/WinTest.h"

using components::TdxfCheckBox;

namespace {

class CheckBoxDemo : public wintest::AppTest {
protected:
    TdxfCheckBox* Add(int left, int top, const std::wstring& caption, bool checked, int style = 1) {
        auto* box = new TdxfCheckBox(form);
        box->SetParent(form);
        box->SetCaption(caption);
        box->SetStyle(style);
        box->SetChecked(checked);
        box->CalcSize();
        box->SetBounds(left, top, box->Width(), box->Height());
        return box;
    }
    forms::TForm* form = nullptr;
};

// A 20 x 20 glyph of one colour with a lighter frame, keyed by its bottom-left pixel.
core::Bitmap OwnGlyph(core::Rgb color) {
    core::Bitmap glyph(20, 20, 24);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            int dx = x - 10, dy = y - 10;
            bool inside = dx * dx + dy * dy < 64, ring = !inside && dx * dx + dy * dy < 90;
            glyph.SetColor(x, y, inside ? color : ring ? core::Rgb{40, 40, 40} : core::Rgb{255, 0, 255});
        }
    return glyph;
}

TEST_F(CheckBoxDemo, ShowsEveryLookAndSavesAPicture) {
    components::InitializeDxfcheckboxUnit();
    form = new forms::TForm(app);
    form->SetBorderStyle(forms::TBorderStyle::None);
    form->SetBounds(20, 20, 540, 300);
    SetWindowPos(form->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    SetForegroundWindow(form->Handle());

    // Every style: unchecked and checked, enabled and disabled.
    for (int style = 1; style <= 14; ++style) {
        int left = 10 + (style - 1) / 7 * 270, top = 8 + (style - 1) % 7 * 24;
        Add(left, top, L"Style " + std::to_wstring(style), false, style);
        for (int state = 1; state < 4; ++state)
            Add(left + 80 + state * 26, top, L"", state % 2 == 1, style)->SetEnabled(state < 2);
    }

    // The settings window's switches: 13 x 13, no caption, on the window colour.
    for (int i = 0; i < 4; ++i) {
        TdxfCheckBox* box = Add(10 + i * 20, 184, L"", i != 2);
        box->SetAutoSize(false);
        box->SetBounds(10 + i * 20, 184, 13, 13);
    }
    Add(100, 182, L"キャラの表示/非表示", true);
    TdxfCheckBox* left = Add(280, 182, L"Box at the right (taLeftJustify)", true);
    left->SetAlignment(components::taLeftJustify);

    Add(10, 210, L"Disabled, checked", true)->SetEnabled(false);
    Add(150, 210, L"Disabled", false)->SetEnabled(false);
    TdxfCheckBox* focused = Add(280, 210, L"Focused", false);

    // An exclusive group: one of three.
    for (int i = 0; i < 3; ++i) {
        TdxfCheckBox* member = Add(10 + i * 90, 236, L"Group " + std::wstring(1, L'A' + i), false, 12);
        member->SetGroupIndex(1);
        member->SetChecked(i == 1);
    }
    TdxfCheckBox* large = Add(280, 236, L"Large font", true, 4);
    forms::TFont font = large->Font();
    font.Height = -20;
    large->SetFont(font);

    forms::TBitmap on, off;
    on.Assign(OwnGlyph({40, 170, 60}));
    off.Assign(OwnGlyph({200, 60, 50}));
    for (int i = 0; i < 2; ++i) {
        TdxfCheckBox* own = Add(10 + i * 140, 270, i ? L"Own, disabled" : L"Own glyphs", i == 0);
        own->SetCheckedBmp(&on);
        own->SetUnCheckedBmp(&off);
        own->SetEnabled(i == 0);
    }
    TdxfCheckBox* clipped = Add(280, 270, L"A caption cut off at the control's edge", false, 2);
    clipped->SetAutoSize(false);
    clipped->SetWidth(150);
    focused->SetFocus();
    wintest::Pump();

    RECT client{};
    GetClientRect(form->Handle(), &client);
    forms::TBitmap shot;
    shot.SetSize(client.right, client.bottom);
    forms::WindowDC dc(form->Handle());
    BitBlt(shot.Canvas().Handle(), 0, 0, client.right, client.bottom, dc.Get(), 0, 0, SRCCOPY);
    core::Bitmap picture = shot.ToCore();
    picture.Normalise();  // 24 bits: every viewer reads those

    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path(module);
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"checkbox_demo.bmp";
    picture.Save(forms::Narrow(path));
    std::wcout << L"picture: " << path << std::endl;
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(focused->Focused());
}

}  // namespace
