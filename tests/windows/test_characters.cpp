// The four character windows: start-up, walking with the real cursor, and handle hygiene.
#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "app/CharacterForm.h"
#include "app/Fenwa.h"
#include "app/Melka.h"
#include "app/Pelton.h"
#include "app/Program.h"
#include "app/Rugo.h"
#include "app/StatusWindow1.h"
#include "forms/Platform.h"
#include "forms/Streaming.h"
#include "forms/Text.h"
#include "support/ApiCalls.h"
#include "support/WinTest.h"

using namespace kurun;
using wintest::Api;

namespace {

// Counts the moves of one window (position changes the window manager saw).
class MoveCounter {
public:
    explicit MoveCounter(HWND window) {
        target_ = window;
        count_ = 0;
        hook_ = SetWindowsHookExW(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
    }
    ~MoveCounter() { UnhookWindowsHookEx(hook_); }
    int Count() const { return count_; }
private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->hwnd == target_ && message->message == WM_WINDOWPOSCHANGED &&
            !(reinterpret_cast<WINDOWPOS*>(message->lParam)->flags & SWP_NOMOVE))
            ++count_;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline HWND target_ = nullptr;
    static inline int count_ = 0;
    HHOOK hook_;
};

class CharactersTest : public wintest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app->SetTitle(kApplicationTitle);
        app->CreateForm(Form1);
        for (TCharacterForm* form : Characters())
            form->RgnList1->OnShowWnd = [this, form](forms::TObject*) { ++outlineChanges[form->CharacterIndex() - 1]; };
    }
    std::array<TCharacterForm*, 4> Characters() const { return {Form1, Form2, Form3, Form4}; }
    // One tick of a character with the cursor at (x, y).
    void Tick(TCharacterForm* form, int x, int y) {
        SetCursorPos(x, y);
        form->Timer1->Tick();
    }
    void Place(TCharacterForm* form, int left, int top) {
        form->SetLeft(left);
        form->SetTop(top);
    }
    // The one frame that draws.
    int ShownFrame(TCharacterForm* form) const {
        int shown = 0;
        for (int n = 1; n <= kFrameCount; ++n)
            if (form->Frame(n)->Shown()) shown = shown ? -1 : n;
        return shown;
    }
    std::array<int, 4> outlineChanges{};
};

TEST_F(CharactersTest, StartUpShowsFourShapedTopmostWindowsAtTheirPlaces) {
    struct Expected { const wchar_t* caption; int left, top, width, height; };
    const std::array<Expected, 4> roster = {{{L"Pelton", -50, 140, 132, 75},
                                             {L"Melka", -50, 364, 132, 77},
                                             {L"Rugo", -50, 600, 132, 89},
                                             {L"Fenwa", 980, 364, 132, 76}}};
    for (size_t i = 0; i < 4; ++i) {
        TCharacterForm* form = Characters()[i];
        SCOPED_TRACE(testing::Message() << "character " << i + 1);
        HWND window = form->Handle();
        wchar_t caption[64] = {};
        GetWindowTextW(window, caption, 64);
        EXPECT_EQ(std::wstring(caption), roster[i].caption);
        RECT rect;
        GetWindowRect(window, &rect);
        EXPECT_EQ(rect.left, roster[i].left);
        EXPECT_EQ(rect.top, roster[i].top);
        EXPECT_EQ(rect.right - rect.left, roster[i].width);
        EXPECT_EQ(rect.bottom - rect.top, roster[i].height);
        EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0);
        EXPECT_EQ(form->BorderStyle(), forms::TBorderStyle::None);
        EXPECT_EQ(form->BrushStyle(), forms::TBrushStyle::Clear);
        // Every window follows its ticked check box from the create handler on.
        EXPECT_TRUE(IsWindowVisible(window));
        // The outline is frame 1's before any tick.
        EXPECT_EQ(wintest::WindowRegionRects(window), wintest::RegionRects(form->Frame(1)->RegionHandle()));
        EXPECT_FALSE(wintest::WindowRegionRects(window).empty());
        EXPECT_EQ(ShownFrame(form), 1);
        EXPECT_EQ(form->WalkFrame(), 0);
        EXPECT_TRUE(form->Timer1->Enabled());
        EXPECT_EQ(form->Timer1->Interval(), 50u);
        ASSERT_NE(form->N1, nullptr);
        EXPECT_EQ(form->N1->Caption, L"設定ウィンドウを開く(&S)...");
        EXPECT_EQ(form->Frame(7)->Cursor, forms::crHandPoint);
        EXPECT_EQ(form->Frame(7)->PopupMenu(), form->PopupMenu1);
        EXPECT_EQ(form->Owner(), i == 0 ? static_cast<forms::TComponent*>(app) : Form1);
    }
    EXPECT_EQ(app->MainForm(), Form1);
}

TEST_F(CharactersTest, CharacterOneRestsOverTheTopLeftOfItsSprite) {
    Place(Form1, 200, 200);
    const std::array<POINT, 4> corners = {{{200, 200}, {232, 200}, {200, 232}, {232, 232}}};
    for (POINT p : corners) Tick(Form1, p.x, p.y);
    EXPECT_EQ(Form1->Left(), 200);
    EXPECT_EQ(Form1->Top(), 200);
    EXPECT_EQ(outlineChanges[0], 0);
    EXPECT_EQ(ShownFrame(Form1), 1);
    EXPECT_EQ(Form1->WalkFrame(), 0);  // four standing ticks: 1, 2, 3, 0

    Tick(Form1, 216, 233);  // one below the box: down, frame index 1
    EXPECT_EQ(Form1->Top(), 202);
    EXPECT_EQ(ShownFrame(Form1), 6);
    Tick(Form1, 216, 201);  // one above the (moved) box: up
    EXPECT_EQ(Form1->Top(), 200);
    EXPECT_EQ(ShownFrame(Form1), 3);
}

TEST_F(CharactersTest, EachCharacterStopsAtItsOwnDistance) {
    struct Box { TCharacterForm* form; int low, high, step; };
    const std::array<Box, 3> boxes = {{{Form1, 0, 32, 2}, {Form2, -24, 12, 1}, {Form3, -48, 24, 2}}};
    for (const Box& box : boxes) {
        SCOPED_TRACE(box.form->Caption());
        Place(box.form, 300, 300);
        Tick(box.form, 300 + box.low, 300 + box.high);
        EXPECT_EQ(box.form->Left(), 300);
        EXPECT_EQ(box.form->Top(), 300);
        Tick(box.form, 300 + box.low - 1, 300);  // left of the box
        EXPECT_EQ(box.form->Left(), 300 - box.step);
        Place(box.form, 300, 300);
        Tick(box.form, 300 + box.high + 1, 300 + box.high + 1);  // right and below
        EXPECT_EQ(box.form->Left(), 300 + box.step);
        EXPECT_EQ(box.form->Top(), 300 + box.step);
    }
}

TEST_F(CharactersTest, MovingTickChangesOutlineAndPositionOnceStandingTickNever) {
    Place(Form3, 400, 400);
    MoveCounter moves(Form3->Handle());
    Tick(Form3, 100, 100);  // up and left: only the left frame is ever seen, one move for both steps
    EXPECT_EQ(outlineChanges[2], 1);
    EXPECT_EQ(moves.Count(), 1);
    EXPECT_EQ(Form3->Left(), 398);
    EXPECT_EQ(Form3->Top(), 398);
    EXPECT_EQ(ShownFrame(Form3), 9 + 1);  // the left frame stays: diagonal walking faces sideways
    EXPECT_EQ(wintest::WindowRegionRects(Form3->Handle()), wintest::RegionRects(Form3->Frame(10)->RegionHandle()));

    Tick(Form3, 398, 398);  // inside the box
    EXPECT_EQ(outlineChanges[2], 1);
    EXPECT_EQ(moves.Count(), 1);
    EXPECT_EQ(ShownFrame(Form3), 10);
    EXPECT_EQ(Form3->WalkFrame(), 2);

    Tick(Form3, 398, 500);  // standing ticks advanced the counter: resumes at index 3
    EXPECT_EQ(ShownFrame(Form3), 8);
    EXPECT_EQ(outlineChanges[2], 2);
    EXPECT_EQ(moves.Count(), 2);
}

// What each kind of tick asks of the window system, counted at the program's own calls.
TEST_F(CharactersTest, EachTickAsksTheWindowSystemForNoMoreThanItShows) {
    for (TCharacterForm* form : Characters()) form->Timer1->SetEnabled(false);  // only the ticks below
    Form1->Show();
    Place(Form1, 600, 600);
    wintest::Pump();
    // Counts one tick and the repaint after it; the cursor reads of the tick alone, as the
    // pointer's arrival may make the window read it too.
    int cursorReads = 0;
    auto counted = [&](int x, int y) {
        SetCursorPos(x, y);
        wintest::Pump();
        auto calls = std::make_unique<wintest::ApiCalls>();
        Form1->Timer1->Tick();
        cursorReads = (*calls)[Api::GetCursorPos];
        wintest::Pump();
        return calls;
    };

    auto diagonal = counted(0, 0);
    EXPECT_EQ((*diagonal)[Api::SetWindowRgn], 1);
    EXPECT_EQ((*diagonal)[Api::SetWindowPos], 1);
    // The old frame hidden, the new one shown and brought up: one repaint request for the three.
    EXPECT_EQ((*diagonal)[Api::InvalidateRect] + (*diagonal)[Api::RedrawWindow], 1);
    EXPECT_LE((*diagonal)[Api::BeginPaint], 1);
    EXPECT_EQ(cursorReads, 1);
    EXPECT_EQ(ShownFrame(Form1), 9 + 1);
    diagonal.reset();

    // Standing ticks only read the cursor; the counter goes on to 2, 3, 0.
    for (int i = 0; i < 3; ++i) {
        auto standing = counted(Form1->Left() + 16, Form1->Top() + 16);
        EXPECT_EQ(standing->WindowCalls(), 0);
        EXPECT_EQ(cursorReads, 1);
    }
    EXPECT_EQ(Form1->WalkFrame(), 0);

    // Left again with frame index 1: that frame is shown already, so the window only moves.
    auto same = counted(0, Form1->Top() + 16);
    EXPECT_EQ(Form1->Left(), 596);
    EXPECT_EQ(ShownFrame(Form1), 10);
    EXPECT_EQ((*same)[Api::SetWindowRgn], 0);
    EXPECT_EQ((*same)[Api::InvalidateRect] + (*same)[Api::RedrawWindow], 0);
    EXPECT_EQ((*same)[Api::SetWindowPos], 1);
    EXPECT_EQ(wintest::WindowRegionRects(Form1->Handle()), wintest::RegionRects(Form1->Frame(10)->RegionHandle()));
    EXPECT_EQ(outlineChanges[0], 1);
}

TEST_F(CharactersTest, CharacterFourFollowsCharacterOneAndWaitsWhileItIsHidden) {
    Form1->Show();
    Place(Form1, -50, 140);
    Place(Form4, 100, 300);
    Form4->Timer1->Tick();  // window 1 is up and to the left, at negative x
    EXPECT_EQ(Form4->Left(), 99);
    EXPECT_EQ(Form4->Top(), 299);
    EXPECT_EQ(ShownFrame(Form4), 9 + 1);

    Form1->Hide();
    int walkFrame = Form4->WalkFrame();
    int changes = outlineChanges[3];
    for (int i = 0; i < 5; ++i) Form4->Timer1->Tick();
    EXPECT_EQ(Form4->Left(), 99);
    EXPECT_EQ(Form4->Top(), 299);
    EXPECT_EQ(Form4->WalkFrame(), walkFrame);
    EXPECT_EQ(outlineChanges[3], changes);
    EXPECT_EQ(ShownFrame(Form4), 10);
}

TEST_F(CharactersTest, CharacterOneFollowsItsSwitchOnEveryTick) {
    StatusForm1->SetChecked(1, false);
    Form1->Show();
    Place(Form1, 200, 200);
    Tick(Form1, 216, 216);
    EXPECT_FALSE(Form1->Visible());
    EXPECT_FALSE(IsWindowVisible(Form1->Handle()));
    Tick(Form1, 216, 400);  // hidden, it keeps walking
    EXPECT_EQ(Form1->Top(), 202);
    StatusForm1->CheckBox[0]->SetChecked(true);
    Tick(Form1, 216, 216);
    EXPECT_TRUE(IsWindowVisible(Form1->Handle()));
}

TEST_F(CharactersTest, TenThousandTicksLeaveTheGdiObjectCountUnchanged) {
    Form1->Show();
    auto tickAll = [&](int round) {
        SetCursorPos(round % 2 ? 50 : 900, round % 3 ? 60 : 700);
        for (TCharacterForm* form : Characters()) form->Timer1->Tick();
        if (round % 50 == 0) wintest::Pump();
    };
    for (int round = 0; round < 50; ++round) tickAll(round);  // settle caches (fonts, cursors)
    wintest::Pump();
    int before = wintest::LiveGdiObjects();
    for (int round = 0; round < 2500; ++round) tickAll(round);
    wintest::Pump();
    EXPECT_EQ(wintest::LiveGdiObjects(), before);
    EXPECT_TRUE(reports.empty());
}

// Alt+F4 reaches a character as the system's close command: a character is not closed.
TEST_F(CharactersTest, TheSystemCloseCommandLeavesEveryCharacterShown) {
    for (TCharacterForm* form : Characters()) {
        SCOPED_TRACE(form->Caption());
        SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_CLOSE | 2, 0);  // the low bits are the system's
        EXPECT_TRUE(IsWindowVisible(form->Handle()));
        EXPECT_TRUE(form->Visible());
    }
    EXPECT_FALSE(app->Terminated());
    EXPECT_TRUE(StatusForm1->Checked(2));
}

// A close request from another program, to any character, ends the program as the tray's exit
// does, even while the settings window is open.
TEST_F(CharactersTest, ACloseRequestToAnyCharacterEndsTheProgram) {
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(testing::Message() << "character " << n);
        if (n > 1) {
            TearDown();
            SetUp();
        }
        SendMessageW(CharacterWindow(n)->Handle(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(app->Terminated());
        EXPECT_TRUE(IsWindow(CharacterWindow(n)->Handle()));
    }
    TearDown();
    SetUp();
    UINT_PTR request = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        PostMessageW(Form3->Handle(), WM_CLOSE, 0, 0);
    });
    Form2->N1Click(nullptr);
    KillTimer(nullptr, request);
    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(StatusForm1->Visible());
    EXPECT_EQ(GetFileAttributesW(settingsFile.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing saved";
}

// The characters stand while paused from the tray, while nobody can see them (a locked or
// disconnected session, a dark display) and while a power saver is on; they walk again only when
// the last reason has ended. The settings' close button during a pause leaves them standing.
TEST_F(CharactersTest, PauseAndRestStandTheCharactersUntilTheLastReasonEnds) {
    auto running = [] {
        bool all = true, any = false;
        for (int n = 1; n <= 4; ++n) {
            all &= CharacterWindow(n)->Timer1->Enabled();
            any |= CharacterWindow(n)->Timer1->Enabled();
        }
        EXPECT_EQ(all, any) << "the four timers run together";
        return all;
    };
    auto session = [&](WPARAM code) { SendMessageW(app->Handle(), WM_WTSSESSION_CHANGE, code, 0); };
    auto power = [&](const GUID& setting, DWORD value) {
        struct { GUID setting; DWORD length; DWORD data; } block{setting, sizeof(DWORD), value};
        return SendMessageW(app->Handle(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&block));
    };
    constexpr GUID kDisplay = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
    constexpr GUID kBatterySaver = {0xe00958c0, 0xc213, 0x4ace, {0xac, 0x77, 0xfe, 0xcc, 0xed, 0x2e, 0xee, 0xa5}};
    constexpr GUID kEnergySaver = {0x550e8400, 0xe29b, 0x41d4, {0xa7, 0x16, 0x44, 0x66, 0x55, 0x44, 0x00, 0x00}};
    forms::TMenuItem* pause = StatusForm1->Pause1;
    auto choosePause = [&] {
        forms::TPopupMenu::PopupHook = [&](forms::TPopupMenu*, POINT) { return pause; };
        StatusForm1->PopupMenu1->Popup(0, 0);
        forms::TPopupMenu::PopupHook = nullptr;
    };
    ASSERT_TRUE(running());
    EXPECT_EQ(pause->Caption, L"一時停止(&P)");
    EXPECT_FALSE(pause->Checked);

    struct Step { const char* what; std::function<void()> act; bool walks, paused = false; };
    const std::vector<Step> steps = {
        {"lock", [&] { session(WTS_SESSION_LOCK); }, false},
        {"unlock", [&] { session(WTS_SESSION_UNLOCK); }, true},
        {"remote disconnect", [&] { session(WTS_REMOTE_DISCONNECT); }, false},
        {"console connect", [&] { session(WTS_CONSOLE_CONNECT); }, true},
        {"display off", [&] { EXPECT_EQ(power(kDisplay, 0), TRUE); }, false},
        {"display dimmed", [&] { power(kDisplay, 2); }, true},
        {"battery saver on", [&] { power(kBatterySaver, 1); }, false},
        {"lock meanwhile", [&] { session(WTS_SESSION_LOCK); }, false},
        {"battery saver off", [&] { power(kBatterySaver, 0); }, false},
        {"unlock at last", [&] { session(WTS_SESSION_UNLOCK); }, true},
        {"energy saver on", [&] { power(kEnergySaver, 2); }, false},
        {"energy saver off", [&] { power(kEnergySaver, 0); }, true},
        {"paused", choosePause, false, true},
        {"display off while paused", [&] { power(kDisplay, 0); }, false, true},
        {"display on while paused", [&] { power(kDisplay, 1); }, false, true},
        {"the settings closed with their button while paused", [&] {
             static bool closed;
             closed = false;
             UINT_PTR press = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
                 KillTimer(nullptr, id);
                 StatusForm1->Image5Click(nullptr);
                 closed = true;
             });
             Form2->N1Click(nullptr);
             KillTimer(nullptr, press);
             EXPECT_TRUE(closed);
         }, false, true},
        {"resumed", choosePause, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(running(), step.walks);
        EXPECT_EQ(pause->Checked, step.paused);
    }
    EXPECT_TRUE(reports.empty());
}

// The whole program, asked from outside to close while it runs: it removes its icon, saves
// nothing and returns 0. The tray's own window ignores the request (taskkill asks every window).
TEST(CloseFromOutside, EndsTheProgramCleanly) {
    std::vector<DWORD> trayCommands;
    forms::Platform().NotifyIcon = [&](DWORD command, NOTIFYICONDATAW&) {
        trayCommands.push_back(command);
        return true;
    };
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring settings = temp + std::wstring(L"kurun-close-test.ini");
    DeleteFileW(settings.c_str());
    RedirectSettingsFile(settings);
    static bool trayWindowKept = false;
    UINT_PTR request = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        HWND tray = StatusForm1->TrayIcon1->CallbackWindow();
        SendMessageW(tray, WM_CLOSE, 0, 0);
        trayWindowKept = IsWindow(tray);
        PostMessageW(Form4->Handle(), WM_CLOSE, 0, 0);
    });
    std::vector<std::wstring> reports;
    const int result = RunProgram([&](forms::TApplication& application) {
        application.OnException = [&](forms::TObject*, const forms::Exception& e) { reports.push_back(e.Message()); };
    });
    KillTimer(nullptr, request);
    EXPECT_TRUE(reports.empty());
    RedirectSettingsFile(L"");
    forms::Platform() = forms::DefaultPlatform();
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(trayWindowKept);
    ASSERT_FALSE(trayCommands.empty());
    EXPECT_EQ(trayCommands.back(), static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(std::count(trayCommands.begin(), trayCommands.end(), static_cast<DWORD>(NIM_ADD)), 1);
    EXPECT_EQ(GetFileAttributesW(settings.c_str()), INVALID_FILE_ATTRIBUTES);
}

// The version resource and the manifest's identity carry the build's one version number.
TEST(ProgramFile, SaysWhatItIsAndCarriesOneVersion) {
    HMODULE self = GetModuleHandleW(nullptr);
    auto resource = [&](LPCWSTR name, LPCWSTR type) {
        HRSRC found = FindResourceW(self, name, type);
        if (!found) return std::string();
        const char* data = static_cast<const char*>(LockResource(LoadResource(self, found)));
        return std::string(data, SizeofResource(self, found));
    };
    const std::string version = resource(MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    ASSERT_FALSE(version.empty());
    auto has = [&](const std::wstring& text) {
        return version.find(std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2)) != std::string::npos;
    };
    const std::wstring number = forms::Widen(KURUN_VERSION);
    for (const wchar_t* key : {L"ProductName", L"FileDescription", L"FileVersion", L"ProductVersion",
                               L"LegalCopyright", L"OriginalFilename"})
        EXPECT_TRUE(has(key)) << forms::Narrow(key);
    EXPECT_TRUE(has(L"kurun.exe"));
    EXPECT_TRUE(has(number));
    const size_t fixed = version.find("\xBD\x04\xEF\xFE");
    ASSERT_NE(fixed, std::string::npos);
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, version.data() + fixed, sizeof info);
    const std::string dotted = std::to_string(HIWORD(info.dwFileVersionMS)) + "." + std::to_string(LOWORD(info.dwFileVersionMS)) +
                               "." + std::to_string(HIWORD(info.dwFileVersionLS));
    EXPECT_EQ(dotted, KURUN_VERSION);
    EXPECT_EQ(info.dwProductVersionMS, info.dwFileVersionMS);
    const std::string manifest = resource(MAKEINTRESOURCEW(1), RT_MANIFEST);
    EXPECT_NE(manifest.find("name=\"kurun\" version=\"" KURUN_VERSION ".0\""), std::string::npos) << manifest;
}

// The program reports a layout that fails to load and ends normally.
TEST(StartUpFailure, IsReportedAndTheProgramEndsWithZero) {
    static bool reading = false;
    forms::TReader::LayoutSource = [](const std::wstring& name) -> std::optional<core::LayoutObject> {
        if (name != L"TFORM3" || reading) return std::nullopt;
        reading = true;
        core::LayoutObject layout = forms::TReader::LayoutResource(name);
        reading = false;
        for (core::LayoutObject& child : layout.children)
            if (child.name == "Rgn3")
                for (core::LayoutProperty& property : child.properties)
                    if (property.name == "RgnData") property.value = core::LayoutBytes{};
        return layout;
    };
    std::vector<std::wstring> reports;
    int result = RunProgram([&](forms::TApplication& application) {
        application.OnException = [&](forms::TObject*, const forms::Exception& e) { reports.push_back(e.Message()); };
    });
    forms::TReader::LayoutSource = nullptr;
    EXPECT_EQ(result, 0);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], L"Rgn3 のﾘｰｼﾞｮﾝ情報がありません");
}

}  // namespace
