// The tray icon: what it tells the shell and when, the events its notifications become, its
// menu, the owner-window hook, animation in every timer mode, and loading from a layout. The
// shell is watched through the platform seam: the real notification area cannot be read here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/trayicon.h"
#include "forms/Platform.h"
#include "forms/Streaming.h"
#include "support/WinTest.h"

using components::TIconImageList;
using components::TTimerMode;
using components::TTimerPool;
using components::TTrayIcon;

namespace {

// An icon file with one size x size, 24-bit image of one colour; its bottom-left quarter is
// transparent.
std::vector<uint8_t> IconFile(int size, COLORREF colour) {
    const size_t colourStride = (static_cast<size_t>(size) * 3 + 3) / 4 * 4;
    const size_t maskStride = (static_cast<size_t>(size) + 31) / 32 * 4;
    const size_t imageSize = 40 + (colourStride + maskStride) * static_cast<size_t>(size);
    std::vector<uint8_t> file(22 + imageSize);
    auto put = [&](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    };
    put(2, 1, 2), put(4, 1, 2);                                    // icon file, one image
    file[6] = static_cast<uint8_t>(size), file[7] = static_cast<uint8_t>(size);
    put(10, 1, 2), put(12, 24, 2), put(14, static_cast<uint32_t>(imageSize), 4), put(18, 22, 4);
    put(22, 40, 4), put(26, static_cast<uint32_t>(size), 4), put(30, static_cast<uint32_t>(2 * size), 4);
    put(34, 1, 2), put(36, 24, 2);
    for (int row = 0; row < size; ++row) {  // bottom-up
        for (int x = 0; x < size; ++x) {
            size_t at = 62 + static_cast<size_t>(row) * colourStride + static_cast<size_t>(x) * 3;
            file[at] = GetBValue(colour), file[at + 1] = GetGValue(colour), file[at + 2] = GetRValue(colour);
            if (row < size / 2 && x < size / 2) {
                size_t maskAt = 62 + colourStride * static_cast<size_t>(size) + static_cast<size_t>(row) * maskStride;
                file[maskAt + static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return file;
}

// A pixel of an icon's colour image and whether its mask makes it transparent.
struct IconPoint {
    COLORREF colour;
    bool transparent;
};
IconPoint IconPixel(HICON icon, int x, int y) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {CLR_INVALID, false};
    forms::BitmapHandle colour(info.hbmColor), mask(info.hbmMask);
    forms::MemoryDC dc;
    dc.Select(colour.Get());
    COLORREF pixel = GetPixel(dc.Get(), x, y);
    dc.Select(mask.Get());
    return {pixel, GetPixel(dc.Get(), x, y) != 0};
}

struct ShellCall {
    DWORD command;
    NOTIFYICONDATAW data;
    COLORREF centre;  // the icon's colour while the call ran (animation icons go right after)
    DWORD thread;
};

class TrayTest : public wintest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        forms::Platform().NotifyIcon = [this](DWORD command, NOTIFYICONDATAW& data) {
            calls.push_back({command, data, data.hIcon ? IconPixel(data.hIcon, 8, 4).colour : CLR_INVALID,
                             GetCurrentThreadId()});
            return command != NIM_ADD || addsAccepted;
        };
        form = new forms::TForm(app);
        form->SetBounds(40, 40, 120, 80);
        form->OnClose = [this](forms::TObject*) { closes++; };
        form->Show();
    }
    void TearDown() override {
        AppTest::TearDown();
        forms::Platform().NotifyIcon = savedNotifyIcon;
        forms::TPopupMenu::PopupHook = nullptr;
    }
    // A tray icon as a layout leaves it: active, its icon in the notification area.
    TTrayIcon* ActiveTray() {
        auto* tray = new TTrayIcon(form);
        tray->Icon().LoadFromFileBytes(IconFile(32, RGB(0, 0, 160)));
        tray->Loaded();
        calls.clear();
        return tray;
    }
    std::vector<DWORD> Commands() const {
        std::vector<DWORD> commands;
        for (const ShellCall& call : calls) commands.push_back(call.command);
        return commands;
    }
    // Handles messages until `done` or a generous deadline; waiting, not timing.
    template <class Done>
    bool PumpUntil(Done done) {
        for (DWORD start = GetTickCount(); !done(); Sleep(5)) {
            if (GetTickCount() - start > 10000) return false;
            wintest::Pump();
        }
        return true;
    }
    void Notify(TTrayIcon* tray, UINT mouseMessage) {
        SendMessageW(tray->CallbackWindow(), TTrayIcon::WM_TRAYNOTIFY, 0, mouseMessage);
    }

    decltype(forms::TPlatformSeam::NotifyIcon) savedNotifyIcon = forms::Platform().NotifyIcon;
    std::vector<ShellCall> calls;
    bool addsAccepted = true;
    forms::TForm* form = nullptr;
    int closes = 0;
};

TEST_F(TrayTest, EveryRecordNamesTheCallbackWindowIdZeroAndTheTipCutTo63Characters) {
    TTrayIcon* tray = ActiveTray();
    tray->SetHint(std::wstring(70, L'a'));
    tray->SetHint(std::wstring(70, L'a'));  // unchanged: nothing sent
    delete tray;
    ASSERT_EQ(Commands(), (std::vector<DWORD>{NIM_MODIFY, NIM_DELETE}));
    const NOTIFYICONDATAW& record = calls[0].data;
    EXPECT_EQ(record.cbSize, NOTIFYICONDATAW_V1_SIZE);
    EXPECT_EQ(record.uID, 0u);
    EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(record.uCallbackMessage, 0x465u);
    EXPECT_NE(record.hWnd, nullptr);
    EXPECT_EQ(calls[0].centre, RGB(0, 0, 160));
    EXPECT_EQ(std::wstring(record.szTip), std::wstring(63, L'a'));
    EXPECT_EQ(calls[1].data.hWnd, record.hWnd);
    EXPECT_EQ(std::wstring(calls[1].data.szTip), L"") << "the tip is cleared before the icon goes";

    // A surrogate pair across the cut is left out whole rather than split.
    tray = ActiveTray();
    tray->SetHint(std::wstring(62, L'b') + L"\U0001F600");
    EXPECT_EQ(std::wstring(calls.back().data.szTip), std::wstring(62, L'b'));
}

TEST_F(TrayTest, ActivationAddsTheIconInPlaceOfTheTaskbarButtonAndDeactivationUndoesIt) {
    auto* tray = new TTrayIcon(form);
    EXPECT_TRUE(tray->Active());
    EXPECT_TRUE(calls.empty()) << "the constructor tells the shell nothing";
    tray->SetActive(true);  // already so
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(tray->HookInstalled());

    tray->SetActive(false);
    EXPECT_EQ(Commands(), (std::vector<DWORD>{NIM_DELETE}));
    EXPECT_TRUE(app->ShowMainForm);
    EXPECT_TRUE(IsWindowVisible(app->Handle()));

    tray->SetActive(true);
    EXPECT_EQ(Commands(), (std::vector<DWORD>{NIM_DELETE, NIM_ADD, NIM_SETVERSION}));
    EXPECT_EQ(calls.back().data.uVersion, static_cast<UINT>(NOTIFYICON_VERSION_4));
    EXPECT_EQ(calls.back().data.cbSize, sizeof(NOTIFYICONDATAW)) << "only the full record has the version";
    EXPECT_FALSE(app->ShowMainForm);
    EXPECT_FALSE(IsWindowVisible(app->Handle()));
    EXPECT_TRUE(tray->HookInstalled());

    tray->Icon().LoadFromFileBytes(IconFile(32, RGB(200, 0, 0)));
    ASSERT_EQ(Commands().back(), static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(calls.back().data.hIcon, tray->Icon().Handle());
    EXPECT_EQ(calls.back().centre, RGB(200, 0, 0));

    tray->SetActive(false);
    EXPECT_EQ(Commands().back(), static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(tray->HookInstalled());
    EXPECT_TRUE(IsWindowVisible(app->Handle()));
    calls.clear();
    tray->Icon().LoadFromFileBytes(IconFile(16, RGB(0, 200, 0)));
    tray->SetHint(L"inactive");
    EXPECT_TRUE(calls.empty()) << "an inactive icon keeps its changes to itself";
}

TEST_F(TrayTest, EachMouseNotificationBecomesItsEventsWithTheCursorsScreenPosition) {
    TTrayIcon* tray = ActiveTray();
    std::vector<std::string> events;
    POINT cursor{};
    auto at = [&](int x, int y) { return x == cursor.x && y == cursor.y ? "" : " (elsewhere)"; };
    const char* buttons[] = {"L", "R", "M"};
    tray->OnMouseDown = [&](forms::TObject* sender, forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
        EXPECT_EQ(sender, tray);
        events.push_back(std::string("down ") + buttons[static_cast<int>(button)] +
                         (shift == forms::ssDouble ? " double" : shift == 0 ? "" : " ?") + at(x, y));
    };
    tray->OnMouseUp = [&](forms::TObject*, forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
        events.push_back(std::string("up ") + buttons[static_cast<int>(button)] + (shift ? " ?" : "") + at(x, y));
    };
    tray->OnMouseMove = [&](forms::TObject*, forms::TShiftState shift, int x, int y) {
        events.push_back(std::string("move") + (shift ? " ?" : "") + at(x, y));
    };
    tray->OnClick = [&](forms::TObject*) { events.push_back("click"); };
    tray->OnDblClick = [&](forms::TObject*) { events.push_back("dblclick"); };

    SetCursorPos(301, 202);
    GetCursorPos(&cursor);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})  // a double click
        Notify(tray, message);
    EXPECT_EQ(events, (std::vector<std::string>{"down L", "click", "up L", "dblclick", "down L double", "click", "up L"}));
    EXPECT_EQ(tray->CursorPos().x, cursor.x);
    EXPECT_EQ(tray->CursorPos().y, cursor.y);

    events.clear();
    for (UINT message : {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP,
                         WM_MBUTTONDBLCLK, WM_MOUSEWHEEL, WM_CONTEXTMENU, WM_KEYDOWN})
        Notify(tray, message);
    EXPECT_EQ(events, (std::vector<std::string>{"move", "down R", "click", "up R", "dblclick", "down R double",
                                                "down M", "click", "up M", "dblclick", "down M double"}));

    // A failing handler is reported at the window's boundary, and the next notification still works.
    tray->OnClick = [](forms::TObject*) { throw forms::Exception(L"クリックの失敗"); };
    events.clear();
    Notify(tray, WM_LBUTTONUP);
    Notify(tray, WM_LBUTTONDOWN);
    EXPECT_EQ(reports, (std::vector<std::wstring>{L"クリックの失敗"}));
    EXPECT_EQ(events, (std::vector<std::string>{"down L"}));
}

TEST_F(TrayTest, TheMenuOpensOnTheRightButtonsPressAfterOnPopUpInTheForeground) {
    TTrayIcon* tray = ActiveTray();
    auto* menu = new forms::TPopupMenu(form);
    auto* item = new forms::TMenuItem(form);
    menu->Add(item);
    std::vector<std::string> events;
    item->OnClick = [&](forms::TObject*) { events.push_back("item"); };
    tray->OnMouseDown = [&](forms::TObject*, forms::TMouseButton, forms::TShiftState, int, int) { events.push_back("down"); };
    tray->OnClick = [&](forms::TObject*) { events.push_back("click"); };
    tray->OnPopUp = [&](forms::TObject*) { events.push_back("popup"); };
    Notify(tray, WM_RBUTTONDOWN);
    EXPECT_EQ(events, (std::vector<std::string>{"down"})) << "no menu, no OnPopUp";

    tray->SetPopUpMenu(menu);
    HWND foreground = nullptr;
    POINT shownAt{};
    forms::TPopupMenu::PopupHook = [&](forms::TPopupMenu* shown, POINT point) -> forms::TMenuItem* {
        events.push_back("menu");
        EXPECT_EQ(shown->PopupComponent, tray);
        foreground = GetForegroundWindow();
        shownAt = point;
        return item;
    };
    events.clear();
    Notify(tray, WM_RBUTTONDOWN);
    EXPECT_EQ(events, (std::vector<std::string>{"down", "popup", "menu", "item"}));
    EXPECT_EQ(foreground, tray->CallbackWindow());
    EXPECT_EQ(shownAt.x, tray->CursorPos().x);
    EXPECT_EQ(shownAt.y, tray->CursorPos().y);
    MSG posted;
    EXPECT_TRUE(PeekMessageW(&posted, tray->CallbackWindow(), WM_NULL, WM_NULL, PM_REMOVE))
        << "a null message follows the menu, so the next one opens at the first click";
    Notify(tray, WM_RBUTTONUP);
    EXPECT_EQ(events.back(), "click");

    delete menu;  // the menu's owner is the form; it tells the tray all the same
    EXPECT_EQ(tray->PopupMenu(), nullptr);
    events.clear();
    Notify(tray, WM_RBUTTONDOWN);
    EXPECT_EQ(events, (std::vector<std::string>{"down"}));
}

// Version-4 notifications as the shell posts them: the event in the low word, the anchor in
// wParam. Enter or Space is the double click; Shift+F10 opens the menu at the icon, and a menu
// left without a choice gives the keyboard back. What the shell sends after a click's release
// changes nothing.
TEST_F(TrayTest, TheKeyboardSelectsAndOpensTheMenuAtTheIconAndAClickStaysAClick) {
    TTrayIcon* tray = ActiveTray();
    auto* menu = new forms::TPopupMenu(form);
    menu->Add(new forms::TMenuItem(form));
    tray->SetPopUpMenu(menu);
    std::vector<std::string> events;
    tray->OnDblClick = [&](forms::TObject*) { events.push_back("dblclick"); };
    tray->OnClick = [&](forms::TObject*) { events.push_back("click"); };
    forms::TMenuItem* choice = nullptr;
    forms::TPopupMenu::PopupHook = [&](forms::TPopupMenu*, POINT at) {
        events.push_back("menu " + std::to_string(at.x) + "," + std::to_string(at.y));
        return choice;
    };
    auto post = [&](UINT event) {
        PostMessageW(tray->CallbackWindow(), TTrayIcon::WM_TRAYNOTIFY, MAKEWPARAM(700, 580), MAKELPARAM(event, 0));
    };
    const struct {
        std::vector<UINT> posted;
        std::vector<std::string> events;
        std::vector<DWORD> shell;
    } cases[] = {
        {{NIN_KEYSELECT}, {"dblclick"}, {}},
        {{NIN_SELECT}, {"dblclick"}, {}},
        {{WM_LBUTTONDOWN, WM_LBUTTONUP, NIN_SELECT}, {"click"}, {}},
        {{WM_CONTEXTMENU}, {"menu 700,580"}, {NIM_SETFOCUS}},
        {{WM_RBUTTONUP, WM_CONTEXTMENU}, {"click"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.events.front());
        events.clear();
        calls.clear();
        for (UINT event : c.posted) post(event);
        wintest::Pump();
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(Commands(), c.shell);
    }
    choice = menu->Items().front();
    calls.clear();
    post(WM_CONTEXTMENU);
    wintest::Pump();
    EXPECT_TRUE(calls.empty()) << "a chosen entry decides where the keyboard goes";
}

TEST_F(TrayTest, MinimizingHidesTheOwnerOnlyWithoutShowMinimizedIconAndNoCloseHidesInsteadOfClosing) {
    TTrayIcon* tray = ActiveTray();
    tray->ShowMinimizedIcon = true;
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(form->Handle()));
    EXPECT_TRUE(IsWindowVisible(form->Handle())) << "minimized as usual";

    ShowWindow(form->Handle(), SW_RESTORE);
    app->ShowTaskbarButton(true);
    tray->ShowMinimizedIcon = false;
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(IsWindowVisible(app->Handle())) << "only the tray icon is left";

    form->Show();
    ShowWindow(form->Handle(), SW_RESTORE);
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(closes, 1) << "NoClose off: closed as usual";

    form->Show();
    tray->NoClose = true;
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(form->Visible()) << "hidden instead";

    form->Show();
    tray->SetActive(false);
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(closes, 2) << "an inactive icon no longer keeps the form from closing";
}

// A hook that another part of the program puts on the form's window.
struct ForeignHook {
    static inline WNDPROC previous = nullptr;
    static inline int seen = 0;
    static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_SYSCOMMAND) ++seen;
        return CallWindowProcW(previous, window, msg, wParam, lParam);
    }
    static void Install(HWND window) {
        previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
    }
    static void Remove(HWND window) { SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous)); }
};

TEST_F(TrayTest, TheOwnerHookLeavesTheChainWholeWhicheverGoesFirst) {
    HWND window = form->Handle();
    const LONG_PTR original = GetWindowLongPtrW(window, GWLP_WNDPROC);

    // The component goes first: the window's own procedure is back.
    TTrayIcon* tray = ActiveTray();
    EXPECT_NE(GetWindowLongPtrW(window, GWLP_WNDPROC), original);
    delete tray;
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), original);

    // Another hook on top of ours: ours stays in the chain, passing everything on.
    tray = ActiveTray();
    tray->NoClose = true;
    ForeignHook::Install(window);
    delete tray;
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ForeignHook::Procedure));
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(closes, 1) << "the freed component no longer turns close into hide";
    EXPECT_EQ(ForeignHook::seen, 1);
    ForeignHook::Remove(window);
    form->Show();
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(closes, 2);

    // The window goes first, then its form takes the component with it.
    tray = ActiveTray();
    form->DestroyHandle();
    EXPECT_TRUE(tray->Ending());
    delete form;
    form = nullptr;
    EXPECT_EQ(Commands(), (std::vector<DWORD>{NIM_DELETE}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(TrayTest, TaskbarCreatedAddsTheIconAgainOrModifiesAnIconStillThere) {
    addsAccepted = false;  // no shell yet
    TTrayIcon* tray = new TTrayIcon(form);
    tray->Loaded();
    EXPECT_EQ(Commands(), (std::vector<DWORD>{NIM_ADD}));
    EXPECT_EQ(GetAncestor(tray->CallbackWindow(), GA_PARENT), GetDesktopWindow())
        << "a top-level window, which hears broadcasts";

    // Broadcast the way a restarted shell does; the icon the first add missed comes now.
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    addsAccepted = true;
    PostMessageW(HWND_BROADCAST, taskbarCreated, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return calls.size() >= 3; }));
    EXPECT_EQ(Commands(), (std::vector<DWORD>{NIM_ADD, NIM_ADD, NIM_SETVERSION}));

    addsAccepted = false;  // the icon is still there
    SendMessageW(tray->CallbackWindow(), taskbarCreated, 0, 0);
    EXPECT_EQ(Commands(), (std::vector<DWORD>{NIM_ADD, NIM_ADD, NIM_SETVERSION, NIM_ADD, NIM_MODIFY}));

    tray->SetActive(false);
    calls.clear();
    SendMessageW(tray->CallbackWindow(), taskbarCreated, 0, 0);
    EXPECT_TRUE(calls.empty()) << "an inactive icon stays away";
}

// Images of one colour each, with a key-coloured bottom-left pixel.
TIconImageList* ColourList(forms::TComponent* owner, std::vector<COLORREF> colours) {
    auto* list = new TIconImageList(owner);
    for (COLORREF colour : colours) {
        core::Bitmap picture(16, 16, 24);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                uint8_t* p = picture.Row(y) + x * 3;
                COLORREF c = x == 0 && y == 15 ? RGB(255, 0, 255) : colour;
                p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
            }
        forms::TBitmap bitmap;
        bitmap.Assign(picture);
        list->Add(0, bitmap);
    }
    return list;
}

TEST_F(TrayTest, AnimationStepsThroughTheImagesInEveryTimerModeFromTheInterfaceThread) {
    const std::vector<COLORREF> colours{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    const DWORD uiThread = GetCurrentThreadId();
    for (TTimerMode mode : {TTimerMode::tmGlobalTimer, TTimerMode::tmHiTimer, TTimerMode::tmThreaded}) {
        SCOPED_TRACE(static_cast<int>(mode));
        TTrayIcon* tray = ActiveTray();
        tray->SetImageList(ColourList(form, colours));
        tray->SetTimerMode(mode);
        tray->SetInterval(20);
        tray->SetAnimated(true);
        EXPECT_EQ(tray->GlobalTimerId() != 0, mode == TTimerMode::tmGlobalTimer);
        EXPECT_EQ(tray->HiTimer() != nullptr, mode != TTimerMode::tmGlobalTimer);
        if (tray->HiTimer()) {
            EXPECT_EQ(tray->HiTimer()->Threaded(), mode == TTimerMode::tmThreaded);
        }
        ASSERT_TRUE(PumpUntil([&] { return calls.size() >= 7; }));
        tray->SetAnimated(false);
        EXPECT_EQ(tray->GlobalTimerId(), 0);
        EXPECT_EQ(tray->HiTimer(), nullptr);
        for (size_t i = 0; i < 7; ++i) {
            EXPECT_EQ(calls[i].command, static_cast<DWORD>(NIM_MODIFY));
            EXPECT_EQ(calls[i].centre, colours[i % 3]) << "tick " << i;
            EXPECT_EQ(calls[i].thread, uiThread);
            EXPECT_NE(calls[i].data.hIcon, tray->Icon().Handle());
        }
        size_t sent = calls.size();
        wintest::Pump();
        Sleep(60);
        wintest::Pump();
        EXPECT_EQ(calls.size(), sent) << "stopped";
        delete tray;
        calls.clear();
    }
}

TEST_F(TrayTest, GlobalTimerIntervalsAreMultiplesOf50AndOneImageRepeats) {
    TTrayIcon* tray = ActiveTray();
    tray->SetImageList(ColourList(form, {RGB(10, 20, 30)}));
    tray->SetInterval(120);
    tray->SetAnimated(true);
    TTimerPool& pool = TTimerPool::Global();
    EXPECT_EQ(pool.Interval(tray->GlobalTimerId()), 150u);
    EXPECT_EQ(tray->Interval(), 120) << "the property keeps what was set";
    tray->SetAnimated(false);
    tray->SetInterval(200);
    tray->SetAnimated(true);
    EXPECT_EQ(pool.Interval(tray->GlobalTimerId()), 200u);
    EXPECT_EQ(TTimerPool::RoundInterval(65535), 65550u) << "rounded up, not wrapped";
    EXPECT_EQ(TTimerPool::RoundInterval(1), 50u);

    for (int i = 0; i < 3; ++i) pool.Tick(tray->GlobalTimerId());
    ASSERT_EQ(calls.size(), 3u);
    for (const ShellCall& call : calls) EXPECT_EQ(call.centre, RGB(10, 20, 30));

    forms::TBitmap picture;
    tray->ImageList()->GetBitmap(0, 0, picture);
    forms::IconHandle icon = forms::MakeIcon(picture, 16, 16);
    EXPECT_TRUE(IconPixel(icon.Get(), 0, 15).transparent) << "the key colour shows the desktop";
    EXPECT_FALSE(IconPixel(icon.Get(), 8, 8).transparent);

    // Switching the mode keeps a running animation going on the new timer.
    tray->SetTimerMode(TTimerMode::tmHiTimer);
    ASSERT_NE(tray->HiTimer(), nullptr);
    EXPECT_TRUE(tray->HiTimer()->Enabled());
    EXPECT_EQ(tray->HiTimer()->Interval(), 200u);
}

TEST_F(TrayTest, ReferencesAreClearedWhenTheMenuOrImageListGoesWhoeverOwnsThem) {
    TTrayIcon* tray = ActiveTray();
    forms::TComponent elsewhere(nullptr);
    TIconImageList* list = ColourList(&elsewhere, {RGB(1, 2, 3)});
    int changes = 0;
    tray->OnChange = [&](forms::TObject*) { ++changes; };
    tray->SetImageList(list);
    EXPECT_EQ(changes, 1);
    list->Add(0, forms::TBitmap{});
    EXPECT_EQ(changes, 2) << "the list's changes reach the tray";
    tray->BeginUpdate();
    list->Clear();
    EXPECT_EQ(changes, 2);
    tray->EndUpdate();
    EXPECT_EQ(changes, 3);
    delete list;
    EXPECT_EQ(tray->ImageList(), nullptr);
    tray->SetAnimated(true);
    tray->GetTimer(tray);
    EXPECT_TRUE(calls.empty()) << "nothing to animate";
}

core::LayoutObject TrayLayout(std::vector<core::LayoutProperty> properties) {
    core::LayoutObject menu{"PopupMenu1", "TPopupMenu", {}, {{"S1", "TMenuItem", {{"Caption", std::string("開く")}}, {}}}};
    core::LayoutObject tray{"TrayIcon1", "TTrayIcon", std::move(properties), {}};
    return core::LayoutObject{"StatusForm1", "TForm", {{"Caption", std::string("設定ウィンドウ")}}, {tray, menu}};
}

TEST_F(TrayTest, ALayoutStoresWhatDiffersAndActivatesTheIconOnlyOnceLoaded) {
    components::InitializeTrayIconUnit();
    const std::vector<uint8_t> iconFile = IconFile(32, RGB(0, 0, 160));
    const std::vector<core::LayoutProperty> stored{
        {"Active", wintest::Ident("False")},       {"Icon.Data", core::LayoutBytes(iconFile)},
        {"ShowMinimizedIcon", wintest::Ident("True")}, {"PopupMenu", wintest::Ident("PopupMenu1")},
    };
    for (bool active : {false, true}) {
        SCOPED_TRACE(active);
        std::vector<core::LayoutProperty> properties = stored;
        if (active) properties.erase(properties.begin());
        properties.push_back({"OnDblClick", wintest::Ident("TrayIcon1DblClick")});
        auto* loaded = forms::CreateForm<wintest::TLayoutForm>(app);
        TTrayIcon* tray = nullptr;
        int doubleClicks = 0;
        loaded->PublishField("TrayIcon1", tray);
        loaded->PublishMethod("TrayIcon1DblClick", [&](forms::TObject*) { ++doubleClicks; });
        calls.clear();
        loaded->Load(TrayLayout(properties));
        ASSERT_NE(tray, nullptr);
        EXPECT_EQ(tray->Active(), active);
        EXPECT_EQ(tray->HookInstalled(), active);
        EXPECT_EQ(Commands(), (active ? std::vector<DWORD>{NIM_ADD, NIM_SETVERSION} : std::vector<DWORD>{NIM_DELETE}));
        EXPECT_EQ(tray->Icon().Width(), 32);
        EXPECT_EQ(tray->Icon().FileBytes(), iconFile);
        EXPECT_TRUE(tray->ShowMinimizedIcon);
        EXPECT_FALSE(tray->NoClose);
        ASSERT_NE(tray->PopupMenu(), nullptr);
        EXPECT_EQ(tray->PopupMenu()->Name(), L"PopupMenu1");
        Notify(tray, WM_LBUTTONDBLCLK);
        EXPECT_EQ(doubleClicks, 1);
        properties.pop_back();
        EXPECT_EQ(forms::TWriter::WriteComponent(tray).properties, properties);
        delete loaded;
    }

    auto* loaded = forms::CreateForm<wintest::TLayoutForm>(app);
    try {
        loaded->Load(TrayLayout({{"Icon.Data", core::LayoutBytes{0, 0, 1, 0}}}));
        ADD_FAILURE() << "a broken icon was accepted";
    } catch (const forms::EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), L"アイコンイメージが無効です");
    }
}

// A hook component that also watches the application window.
class TAppWatcher : public components::TWndProcComponent {
public:
    using TWndProcComponent::TWndProcComponent;
    std::vector<UINT> seen;
protected:
    bool AppWndProc(forms::Message& message) override {
        if (message.msg >= WM_APP) seen.push_back(message.msg);
        return message.msg == WM_APP + 1;
    }
};

TEST_F(TrayTest, TheApplicationHookIsTakenOnlyWhenSetWhileLoading) {
    auto* watcher = new TAppWatcher(form);
    watcher->SetHandleApp(true);
    EXPECT_FALSE(watcher->HandleApp()) << "only while loading or designing";
    watcher->SetState(forms::ComponentState::Loading, true);
    watcher->SetHandleApp(true);
    watcher->Loaded();
    EXPECT_TRUE(watcher->HookInstalled());
    EXPECT_TRUE(watcher->Hooked());
    SendMessageW(app->Handle(), WM_APP + 1, 0, 0);
    SendMessageW(app->Handle(), WM_APP + 2, 0, 0);
    EXPECT_EQ(watcher->seen, (std::vector<UINT>{WM_APP + 1, WM_APP + 2}));
    watcher->SilentRemove();
    EXPECT_FALSE(watcher->Hooked());
    EXPECT_FALSE(watcher->HookInstalled());
    SendMessageW(app->Handle(), WM_APP + 1, 0, 0);
    EXPECT_EQ(watcher->seen.size(), 2u);
}

}  // namespace
