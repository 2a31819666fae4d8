// Out of the way of fullscreen programs, and back onto the monitors after a display change.
#include <array>
#include <vector>

#include "app/CharacterForm.h"
#include "app/DesktopWatch.h"
#include "app/Fenwa.h"
#include "app/Melka.h"
#include "app/Pelton.h"
#include "app/Program.h"
#include "app/Rugo.h"
#include "app/SettingsFile.h"
#include "app/StatusWindow1.h"
#include "forms/IniFiles.h"
#include "support/WinTest.h"

using namespace kurun;

namespace {

class DesktopTest : public wintest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app->SetTitle(kApplicationTitle);
        app->CreateForm(Form1);
        // Only the ticks and checks that a test makes.
        for (TCharacterForm* form : Characters()) form->Timer1->SetEnabled(false);
        Watch().Timer()->SetEnabled(false);
        ASSERT_FALSE(Watch().Monitors().empty());
    }
    static std::array<TCharacterForm*, 4> Characters() { return {Form1, Form2, Form3, Form4}; }
    static TDesktopWatch& Watch() { return *Form1->DesktopWatch1; }
    static std::vector<bool> AllMonitors(bool covered) { return std::vector<bool>(Watch().Monitors().size(), covered); }
    static core::Rect WorkArea() { return Watch().Monitors()[0].workArea; }
    static POINT Place(const TCharacterForm* form) { return {form->Left(), form->Top()}; }
    static bool Within(const core::Rect& inner, const core::Rect& outer) {
        return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
    }
};

TEST_F(DesktopTest, CoveredCharactersHideAndStandWhateverTheirCheckBoxesSayAndComeBack) {
    const core::Rect work = WorkArea();
    for (int n = 1; n <= 4; ++n) CharacterWindow(n)->SetBounds(work.left + 100 * n, work.top + 100, 132, 75);
    std::array<POINT, 4> before{};
    for (int n = 1; n <= 4; ++n) before[n - 1] = Place(CharacterWindow(n));

    Watch().KeepOutOfTheWay(AllMonitors(true));
    for (TCharacterForm* form : Characters()) {
        SCOPED_TRACE(form->CharacterIndex());
        EXPECT_TRUE(form->OutOfTheWay());
        EXPECT_FALSE(IsWindowVisible(form->Handle()));
        EXPECT_TRUE(StatusForm1->Checked(form->CharacterIndex()));  // the settings never see it
    }
    // Character 1 follows its ticked box at every tick, but stays hidden; nobody walks.
    SetCursorPos(work.left + 5, work.bottom - 5);
    for (int tick = 0; tick < 3; ++tick)
        for (TCharacterForm* form : Characters()) form->Timer1->Tick();
    for (int n = 1; n <= 4; ++n) {
        EXPECT_FALSE(IsWindowVisible(CharacterWindow(n)->Handle()));
        EXPECT_EQ(Place(CharacterWindow(n)).x, before[n - 1].x);
        EXPECT_EQ(Place(CharacterWindow(n)).y, before[n - 1].y);
        EXPECT_EQ(CharacterWindow(n)->WalkFrame(), 0);
    }
    // The settings window works as usual: a box ticked again keeps its character hidden, a
    // box unticked is saved as such, and the hiding is never saved.
    StatusForm1->CheckBoxClick(2);
    EXPECT_FALSE(IsWindowVisible(Form2->Handle()));
    StatusForm1->SetChecked(3, false);
    SaveSettings(*StatusForm1);
    const forms::TIniFile saved(settingsFile);
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(saved.ReadBool(L"Visible", L"Char0" + std::to_wstring(n), n != 3), n != 3) << n;

    // The fullscreen program has gone: each comes back where it stood, as its box says.
    Watch().KeepOutOfTheWay(AllMonitors(false));
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        EXPECT_FALSE(CharacterWindow(n)->OutOfTheWay());
        EXPECT_EQ(IsWindowVisible(CharacterWindow(n)->Handle()) != FALSE, n != 3);
        EXPECT_EQ(Place(CharacterWindow(n)).x, before[n - 1].x);
    }
    Form1->Timer1->Tick();
    EXPECT_NE(Place(Form1).x, before[0].x);  // walks again
    EXPECT_TRUE(reports.empty());
}

TEST_F(DesktopTest, ThisProgramsOwnFullscreenWindowNeverCounts) {
    const core::Rect monitor = Watch().Monitors()[0].bounds;
    forms::WindowHandle cover(CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP, monitor.left, monitor.top,
                                              monitor.right - monitor.left, monitor.bottom - monitor.top, nullptr,
                                              nullptr, GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(cover);
    ShowWindow(cover.Get(), SW_SHOW);
    SetForegroundWindow(cover.Get());
    wintest::Pump();
    ASSERT_EQ(GetForegroundWindow(), cover.Get());

    const std::optional<core::ForegroundWindow> foreground = CurrentForeground();
    ASSERT_TRUE(foreground);
    EXPECT_EQ(foreground->bounds, monitor);
    EXPECT_FALSE(foreground->hasCaption);
    EXPECT_FALSE(foreground->isShell);
    EXPECT_TRUE(foreground->isOwn);
    Watch().CheckFullscreen();
    for (TCharacterForm* form : Characters()) EXPECT_FALSE(form->OutOfTheWay());

    // The same window of another program would count: it has no caption and covers the monitor.
    core::ForegroundWindow other = *foreground;
    other.isOwn = false;
    EXPECT_TRUE(core::CoveredMonitors(other, core::ShellState::Normal, Watch().Monitors())[0]);
}

TEST_F(DesktopTest, ADisplayChangeBringsWindowsLeftOnNoMonitorIntoTheWorkArea) {
    const core::Rect work = WorkArea();
    const core::Rect monitor = Watch().Monitors()[0].bounds;
    Form1->SetBounds(monitor.left - 20, monitor.top + 200, 132, 75);   // partly on it: stays
    Form2->SetBounds(monitor.right + 3000, monitor.bottom + 3000, 132, 75);  // a monitor that went
    Form3->SetBounds(monitor.left - 2000, monitor.top + 300, 132, 75);       // one left of it that went
    Form4->SetVisible(false);
    Form4->SetBounds(monitor.left + 300, monitor.bottom + 500, 132, 75);     // hidden ones too
    StatusForm1->SetBounds(monitor.left - 2000, monitor.top - 2000, StatusForm1->Width(), StatusForm1->Height());
    const POINT first = Place(Form1);
    const core::Rect firstVisible = VisibleRect(Form1->Handle());

    SendMessageW(app->Handle(), WM_DISPLAYCHANGE, 32, MAKELPARAM(monitor.right - monitor.left, monitor.bottom - monitor.top));

    EXPECT_EQ(Place(Form1).x, first.x);
    EXPECT_EQ(Place(Form1).y, first.y);
    EXPECT_LT(firstVisible.left, monitor.left);
    for (forms::TWinControl* window : std::initializer_list<forms::TWinControl*>{Form2, Form3, Form4, StatusForm1}) {
        SCOPED_TRACE(window->Caption());
        const core::Rect visible = VisibleRect(window->Handle());
        EXPECT_TRUE(Within(visible, work)) << visible.left << "," << visible.top << " " << visible.right << ","
                                           << visible.bottom;
        RECT bounds{};
        GetWindowRect(window->Handle(), &bounds);
        EXPECT_EQ(bounds.left, window->Left());
        EXPECT_EQ(bounds.top, window->Top());
    }
    // Straight in: the coordinate that still fits is kept.
    EXPECT_EQ(Form3->Top(), monitor.top + 300);
    EXPECT_EQ(VisibleRect(Form4->Handle()).bottom, work.bottom);
    EXPECT_EQ(VisibleRect(StatusForm1->Handle()).left, work.left);
    EXPECT_EQ(VisibleRect(StatusForm1->Handle()).top, work.top);
    EXPECT_FALSE(IsWindowVisible(Form4->Handle()));
    EXPECT_TRUE(reports.empty());
}

}  // namespace
