// The settings window with the characters: rows, portraits, drops, dragging, closing, the
// character menu and launching, with the real windows and the platform's own messages.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/CharacterForm.h"
#include "app/Fenwa.h"
#include "app/Melka.h"
#include "app/Pelton.h"
#include "app/Program.h"
#include "app/Rugo.h"
#include "app/StatusWindow1.h"
#include "forms/IniFiles.h"
#include "forms/Platform.h"
#include "forms/ScratchArena.h"
#include "forms/ShellLink.h"
#include "forms/SysUtils.h"
#include "forms/Text.h"
#include "support/WinTest.h"

using namespace kurun;

namespace {

// Runs an action from inside the next message loop: the way to act while a modal showing runs.
class InsideLoop {
public:
    explicit InsideLoop(std::function<void()> action) {
        action_ = std::move(action);
        timer_ = SetTimer(nullptr, 0, 1, Fire);
    }
    ~InsideLoop() {
        if (timer_) KillTimer(nullptr, timer_);
    }
private:
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        auto action = std::exchange(action_, nullptr);
        if (action) action();
    }
    static inline std::function<void()> action_;
    UINT_PTR timer_;
};

// An HDROP as the shell makes it for a drop of `names`.
HDROP MakeDrop(const std::vector<std::wstring>& names) {
    size_t chars = 1;
    for (const std::wstring& name : names) chars += name.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& name : names) {
        std::copy(name.begin(), name.end(), text);
        text += name.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// A drag's data as a source offers it: each format's bytes in global memory.
class DraggedData : public IDataObject {
public:
    std::map<CLIPFORMAT, std::string> formats;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override { return *object = this, S_OK; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }  // it lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        const std::string& bytes = formats[format->cfFormat];
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        medium->pUnkForRelease = nullptr;
        std::memcpy(GlobalLock(medium->hGlobal), bytes.data(), bytes.size());
        GlobalUnlock(medium->hGlobal);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return formats.count(format->cfFormat) && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
};

std::string Utf16Bytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
}

std::string DropBytes(const std::vector<std::wstring>& names) {
    HDROP drop = MakeDrop(names);
    std::string bytes(static_cast<const char*>(GlobalLock(drop)), GlobalSize(drop));
    GlobalUnlock(drop);
    GlobalFree(drop);
    return bytes;
}

class StatusWindowTest : public wintest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        forms::Platform().Beep = [this](UINT type) { beeps.push_back(type); };
        forms::Platform().ShellOpen = [this](const forms::TShellOpenRequest& r) { opened.push_back(r); };
        forms::Platform().NotifyIcon = [this](DWORD command, NOTIFYICONDATAW& data) {
            trayCalls.push_back({command, data.hIcon});
            return true;
        };
        app->SetTitle(kApplicationTitle);
        BeforeStart();
        try {
            app->CreateForm(Form1);
        } catch (const forms::Exception& e) {
            FAIL() << "start-up failed: " << forms::Narrow(e.Message());
        }
    }
    void TearDown() override {
        forms::Platform() = forms::DefaultPlatform();
        AppTest::TearDown();
    }
    // What the settings file holds before the program starts.
    virtual void BeforeStart() {}
    // Opens the settings from character n's menu, runs `inside` while they are shown, and
    // closes them with the close button unless `inside` already did.
    void WhileOpenFrom(int n, const std::function<void()>& inside) {
        InsideLoop loop([&] {
            inside();
            if (StatusForm1->Visible() && StatusForm1->ModalResult == 0) StatusForm1->Image5Click(nullptr);
        });
        CharacterWindow(n)->N1->Click();
    }
    // The 48 x 48 square of row r as the screen shows it, against picture p of the list.
    bool RowShowsPicture(int r, int p) {
        forms::TBitmap expected;
        expected.SetSize(48, 48);
        StatusForm1->ImageList1->Draw(expected.Canvas(), 0, 0, p);
        UpdateWindow(StatusForm1->Handle());
        HDC screen = GetDC(StatusForm1->Handle());
        bool same = true;
        for (int y = 0; y < 48 && same; y += 3)
            for (int x = 0; x < 48 && same; x += 3)
                same = GetPixel(screen, 12 + x, 50 + 72 * r + y) == expected.Canvas().Pixel(x, y);
        ReleaseDC(StatusForm1->Handle(), screen);
        return same;
    }
    int ColourRow() {
        int found = -1;
        for (int r = 0; r < 4; ++r) {
            if (RowShowsPicture(r, r)) found = found == -1 ? r : -2;
            else if (!RowShowsPicture(r, r + 4)) return -3;
        }
        return found;
    }
    std::array<bool, 4> EditsEnabled() const {
        std::array<bool, 4> enabled{};
        for (size_t r = 0; r < 4; ++r) enabled[r] = IsWindowEnabled(StatusForm1->Edit[r]->Handle()) != 0;
        return enabled;
    }
    std::array<bool, 4> TimersEnabled() const {
        std::array<bool, 4> enabled{};
        for (int n = 1; n <= 4; ++n) enabled[static_cast<size_t>(n - 1)] = CharacterWindow(n)->Timer1->Enabled();
        return enabled;
    }
    // Presses the close button as the mouse does, so that an error stops at the window's edge.
    void PressClose() {
        POINT screen{306 + 20, 2 + 8};
        ClientToScreen(StatusForm1->Handle(), &screen);
        HWND panel = WindowFromPoint(screen);
        POINT local = screen;
        ScreenToClient(panel, &local);
        SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(local.x, local.y));
        SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(local.x, local.y));
    }
    LRESULT HitTestAt(POINT client) {
        POINT screen = client;
        ClientToScreen(StatusForm1->Handle(), &screen);
        HWND window = WindowFromPoint(screen);
        return window == StatusForm1->Handle() || window == nullptr
                   ? SendMessageW(StatusForm1->Handle(), WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) * 100
                   : SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    }
    std::vector<UINT> beeps;
    std::vector<forms::TShellOpenRequest> opened;
    std::vector<std::pair<DWORD, HICON>> trayCalls;
};

TEST_F(StatusWindowTest, StartsHiddenAtItsPlaceWithEveryRowTickedAndEmpty) {
    EXPECT_TRUE(reports.empty());
    EXPECT_FALSE(forms::ScratchArenaHeld()) << "nothing loaded keeps the layouts' text or trees";
    EXPECT_FALSE(IsWindowVisible(StatusForm1->Handle()));
    EXPECT_EQ(StatusForm1->SelectedChar, 0);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_TRUE(StatusForm1->Checked(n));
        EXPECT_EQ(StatusForm1->LaunchFile(n), L"");
        EXPECT_TRUE(IsWindowVisible(CharacterWindow(n)->Handle()));
    }
    wchar_t caption[64] = {};
    GetWindowTextW(StatusForm1->Handle(), caption, 64);
    EXPECT_EQ(std::wstring(caption), L"設定ウィンドウ");
    EXPECT_TRUE(GetWindowLongW(StatusForm1->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongW(StatusForm1->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST_F(StatusWindowTest, EachCharactersMenuStopsEveryoneAndSelectsItsRow) {
    EXPECT_EQ(TimerStopOrder(1), (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(TimerStopOrder(2), (std::array<int, 4>{2, 1, 3, 4}));
    EXPECT_EQ(TimerStopOrder(3), (std::array<int, 4>{3, 1, 2, 4}));
    EXPECT_EQ(TimerStopOrder(4), (std::array<int, 4>{4, 1, 2, 3}));
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(testing::Message() << "character " << n);
        bool checked = false;
        WhileOpenFrom(n, [&] {
            checked = true;
            EXPECT_EQ(StatusForm1->SelectedChar, n - 1);
            EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{}));
            RECT rect;
            GetWindowRect(StatusForm1->Handle(), &rect);
            EXPECT_EQ(rect.left, 20);
            EXPECT_EQ(rect.top, 20);
            EXPECT_EQ(rect.right - rect.left, 350);
            EXPECT_EQ(rect.bottom - rect.top, 350);
            std::array<bool, 4> expected{};
            expected[static_cast<size_t>(n - 1)] = true;
            EXPECT_EQ(EditsEnabled(), expected);
            EXPECT_EQ(ColourRow(), n - 1);
            // The characters shown when the window opened take no clicks meanwhile.
            EXPECT_FALSE(IsWindowEnabled(Form1->Handle()));
        });
        EXPECT_TRUE(checked);
        EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{true, true, true, true}));
        EXPECT_TRUE(IsWindowEnabled(Form1->Handle()));
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(StatusWindowTest, ArrowsStepTheRowAroundAndRepaintThePortraits) {
    WhileOpenFrom(1, [&] {
        StatusForm1->Image4Click(nullptr);
        EXPECT_EQ(StatusForm1->SelectedChar, 3);
        EXPECT_EQ(ColourRow(), 3);
        EXPECT_EQ(EditsEnabled(), (std::array<bool, 4>{false, false, false, true}));
        StatusForm1->Image3Click(nullptr);
        EXPECT_EQ(StatusForm1->SelectedChar, 0);
        EXPECT_EQ(ColourRow(), 0);
        for (int i = 0; i < 4; ++i) StatusForm1->Image3Click(nullptr);
        EXPECT_EQ(ColourRow(), 0);
        for (int i = 0; i < 4; ++i) StatusForm1->Image4Click(nullptr);
        EXPECT_EQ(ColourRow(), 0);
        StatusForm1->Image3Click(nullptr);
        EXPECT_EQ(ColourRow(), 1);
        EXPECT_EQ(EditsEnabled(), (std::array<bool, 4>{false, true, false, false}));
    });
}

TEST_F(StatusWindowTest, DroppedNamesLandWholeInTheSelectedRowOnly) {
    const std::wstring longName = L"C:\\" + std::wstring(300, L'x') + L"\\写真 ünïcødé.txt";
    WhileOpenFrom(2, [&] {
        StatusForm1->SetLaunchFile(1, L"C:\\one.txt");
        SendMessageW(StatusForm1->Handle(), WM_DROPFILES,
                     reinterpret_cast<WPARAM>(MakeDrop({L"C:\\first.txt", L"C:\\a folder", L"C:\\third one.bat"})), 0);
        EXPECT_EQ(StatusForm1->LaunchFile(2), L"C:\\third one.bat");
        EXPECT_EQ(StatusForm1->LaunchFile(1), L"C:\\one.txt");
        EXPECT_EQ(StatusForm1->LaunchFile(3), L"");
        SendMessageW(StatusForm1->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"C:\\a folder"})), 0);
        EXPECT_EQ(StatusForm1->LaunchFile(2), L"C:\\a folder");
        SendMessageW(StatusForm1->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({longName})), 0);
        EXPECT_EQ(StatusForm1->LaunchFile(2), longName);
    });
    // Nothing cuts it on the way to the shell either.
    Form2->Rgn1Click(nullptr);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].file, longName);
}

TEST_F(StatusWindowTest, ADraggedLinkOrPathBecomesTheSelectedRowsTargetAndOtherTextIsRefused) {
    auto format = [](const wchar_t* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name)); };
    FILEGROUPDESCRIPTORW shortcut{1, {}};
    wcscpy(shortcut.fgd[0].cFileName, L"Example.URL");
    const struct {
        std::map<CLIPFORMAT, std::string> formats;
        const wchar_t* target;  // null: refused, the row unchanged
    } cases[] = {
        {{{CF_HDROP, DropBytes({L"C:\\first.txt", L"C:\\a folder"})}, {CF_UNICODETEXT, Utf16Bytes(L"C:\\x")}},
         L"C:\\a folder"},
        {{{format(L"UniformResourceLocatorW"), Utf16Bytes(L"https://example.org/写真")},
          {CF_UNICODETEXT, Utf16Bytes(L"a title")}},
         L"https://example.org/写真"},
        // A browser on X through Wine: no file names, the address and its title from Firefox or Chromium.
        {{{CF_HDROP, DropBytes({})}, {format(L"text/x-moz-url"), Utf16Bytes(L"https://example.org/moz\ntitle")}},
         L"https://example.org/moz"},
        {{{format(L"text/uri-list"), std::string("# dragged\r\nhttp://example.org/list\r\n")}},
         L"http://example.org/list"},
        {{{format(CFSTR_FILEDESCRIPTORW), std::string(reinterpret_cast<const char*>(&shortcut), sizeof shortcut)},
          {format(CFSTR_FILECONTENTS), std::string("[InternetShortcut]\r\nURL=https://example.org/url\r\n")}},
         L"https://example.org/url"},
        {{{CF_UNICODETEXT, Utf16Bytes(L"  \"D:\\Tools\\a b.exe\"\r\n")}}, L"D:\\Tools\\a b.exe"},
        {{{CF_UNICODETEXT, Utf16Bytes(L"just some words")}}, nullptr},
        {{}, nullptr},
    };
    WhileOpenFrom(2, [&] {
        auto* target = static_cast<IDropTarget*>(GetPropW(StatusForm1->Handle(), L"OleDropTargetInterface"));
        ASSERT_NE(target, nullptr) << "the window is no drop target";
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << (c.target ? c.target : L"(refused)"));
            StatusForm1->SetLaunchFile(2, L"C:\\before.txt");
            DraggedData data;
            data.formats = c.formats;
            const DWORD expected = c.target ? DROPEFFECT_COPY : DROPEFFECT_NONE;  // never a move
            DWORD entered = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, dropped = entered;
            EXPECT_EQ(target->DragEnter(&data, MK_LBUTTON, {100, 100}, &entered), S_OK);
            EXPECT_EQ(target->Drop(&data, MK_LBUTTON, {100, 100}, &dropped), S_OK);
            EXPECT_EQ(entered, expected);
            EXPECT_EQ(dropped, expected);
            EXPECT_EQ(StatusForm1->LaunchFile(2), c.target ? c.target : L"C:\\before.txt");
        }
    });
    EXPECT_TRUE(reports.empty());
}

TEST_F(StatusWindowTest, TheSurfaceDragsTheWindowAndTheChildrenTakeTheirClicks) {
    WhileOpenFrom(1, [&] {
        wintest::Pump();
        EXPECT_EQ(HitTestAt({200, 300}), HTCAPTION * 100);  // skin
        EXPECT_EQ(HitTestAt({30, 36}), HTCAPTION * 100);    // a name label
        EXPECT_EQ(HitTestAt({150, 34 + 72 + 30}), HTCAPTION * 100);  // a disabled edit box
        EXPECT_EQ(HitTestAt({150, 34 + 30}), HTCLIENT);               // the enabled one
        EXPECT_EQ(HitTestAt({18, 34 + 6}), HTCLIENT);                 // a check box
        for (POINT button : {POINT{20, 10}, POINT{250, 10}, POINT{280, 10}, POINT{320, 10}})
            EXPECT_EQ(HitTestAt(button), HTCLIENT);
    });
}

TEST_F(StatusWindowTest, CloseRefusesWhileEveryoneIsHiddenThenSavesAndWalksOn) {
    StatusForm1->CheckBox[2]->Click();
    bool closed = false;
    WhileOpenFrom(1, [&] {
        for (size_t r : {0, 1, 3}) StatusForm1->CheckBox[r]->Click();
        for (int n = 1; n <= 4; ++n) EXPECT_FALSE(IsWindowVisible(CharacterWindow(n)->Handle()));
        StatusForm1->Image5Click(nullptr);
        EXPECT_EQ(beeps, std::vector<UINT>{0});
        EXPECT_EQ(StatusForm1->ModalResult, 0);
        EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{}));
        StatusForm1->CheckBox[2]->Click();
        EXPECT_TRUE(IsWindowVisible(Form3->Handle()));
        // Hidden when the window opened, so never disabled: it takes clicks, though it stands.
        EXPECT_TRUE(IsWindowEnabled(Form3->Handle()));
        StatusForm1->Image5Click(nullptr);
        closed = StatusForm1->ModalResult != 0;
    });
    EXPECT_TRUE(closed);
    EXPECT_FALSE(IsWindowVisible(StatusForm1->Handle()));
    EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{true, true, true, true}));
    EXPECT_FALSE(IsWindowVisible(Form1->Handle()));
    EXPECT_TRUE(IsWindowVisible(Form3->Handle()));
}

TEST_F(StatusWindowTest, CloseSavesTheRowsAndAFailedSaveKeepsTheWindowOpenAndEveryoneStill) {
    const std::wstring path = L"C:\\写真\\run me.bat";
    WhileOpenFrom(2, [&] {
        StatusForm1->CheckBox[1]->Click();
        StatusForm1->SetLaunchFile(3, path);
        forms::TIniFile(settingsFile).WriteString(L"Visible", L"Char01", L"0");
        ASSERT_TRUE(SetFileAttributesW(settingsFile.c_str(), FILE_ATTRIBUTE_READONLY));
        PressClose();
        EXPECT_EQ(reports, std::vector<std::wstring>{settingsFile + L" に書き込めません"});
        EXPECT_EQ(StatusForm1->ModalResult, 0);
        EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{}));
        SetFileAttributesW(settingsFile.c_str(), FILE_ATTRIBUTE_NORMAL);
        PressClose();
        EXPECT_NE(StatusForm1->ModalResult, 0);
    });
    EXPECT_FALSE(IsWindowVisible(StatusForm1->Handle()));
    EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{true, true, true, true}));
    const forms::TIniFile saved(settingsFile);
    EXPECT_TRUE(saved.ReadBool(L"Visible", L"Char01", false));
    EXPECT_FALSE(saved.ReadBool(L"Visible", L"Char02", true));
    EXPECT_EQ(saved.ReadString(L"Execute", L"Char03", L"none"), path);
    EXPECT_EQ(saved.ReadString(L"Execute", L"Char04", L"none"), L"");
}

// A settings file edited in Notepad: UTF-8 without a byte order mark.
class NotepadSettingsTest : public StatusWindowTest {
protected:
    static inline const std::wstring kPath = L"C:\\Users\\Zoë\\写真\\起動.bat";
    void BeforeStart() override {
        const std::string bytes = "[Execute]\r\nChar02=" + forms::Narrow(kPath) + "\r\n";
        HANDLE file = CreateFileW(settingsFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
};

TEST_F(NotepadSettingsTest, APathInUtf8WithoutMarkShowsExactlyInItsEditBoxAndSurvivesASave) {
    EXPECT_EQ(StatusForm1->Edit[1]->Text(), kPath);
    WhileOpenFrom(2, [] {});
    EXPECT_FALSE(IsWindowVisible(StatusForm1->Handle()));
    EXPECT_EQ(StatusForm1->Edit[1]->Text(), kPath);
    EXPECT_EQ(forms::TIniFile(settingsFile).ReadString(L"Execute", L"Char02", L""), kPath);
    HANDLE file = CreateFileW(settingsFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char mark[2] = {};
    DWORD read = 0;
    ReadFile(file, mark, 2, &read, nullptr);
    CloseHandle(file);
    EXPECT_EQ(std::string(mark, read), "\xFF\xFE") << "the save made the file UTF-16";
    Form2->Rgn1Click(nullptr);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].file, kPath);
}

TEST_F(StatusWindowTest, AClickLaunchesTheStoredTextAsItStandsOrBeeps) {
    Form3->Rgn1Click(nullptr);
    Form3->Frame(7)->Click();
    EXPECT_EQ(beeps, (std::vector<UINT>{0, 0}));
    EXPECT_TRUE(opened.empty());
    StatusForm1->SetLaunchFile(3, L"C:\\My Files\\run me.bat");
    StatusForm1->SetLaunchFile(4, L"   ");
    Form3->Frame(12)->Click();
    Form4->Rgn1Click(nullptr);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].parent, Form3->Handle());
    EXPECT_EQ(opened[0].verb, L"OPEN");
    EXPECT_EQ(opened[0].file, L"C:\\My Files\\run me.bat");
    EXPECT_EQ(opened[0].parameters, L"");
    EXPECT_EQ(opened[0].directory, L"");
    EXPECT_EQ(opened[0].showCommand, SW_SHOW);
    EXPECT_EQ(opened[1].file, L"   ");
    EXPECT_EQ(beeps.size(), 2u);
}

TEST_F(StatusWindowTest, ASecondOpenRequestSelectsItsRowWithoutASecondShowing) {
    WhileOpenFrom(3, [&] {
        StatusForm1->TrayIcon1DblClick(nullptr);
        EXPECT_EQ(StatusForm1->SelectedChar, 0);
        EXPECT_EQ(ColourRow(), 0);
        EXPECT_EQ(EditsEnabled(), (std::array<bool, 4>{true, false, false, false}));
        Form4->N1Click(nullptr);
        EXPECT_EQ(StatusForm1->SelectedChar, 3);
        EXPECT_EQ(ColourRow(), 3);
        SendMessageW(StatusForm1->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"C:\\x.txt"})), 0);
        EXPECT_EQ(StatusForm1->LaunchFile(4), L"C:\\x.txt");
    });
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{true, true, true, true}));
}

TEST_F(StatusWindowTest, InformationButtonBeepsReturnsHomeAndOpensThePage) {
    const std::wstring address = std::wstring(kInformationPrefix) + L"test_statuswindow";
    WhileOpenFrom(1, [&] {
        StatusForm1->SetLeft(300);
        StatusForm1->SetTop(200);
        StatusForm1->N2Click(nullptr);
        EXPECT_TRUE(beeps.empty());
        EXPECT_EQ(StatusForm1->Left(), 300);
        StatusForm1->Image2Click(nullptr);
        EXPECT_EQ(beeps, std::vector<UINT>{0});
        RECT rect;
        GetWindowRect(StatusForm1->Handle(), &rect);
        EXPECT_EQ(rect.left, 20);
        EXPECT_EQ(rect.top, 20);
    });
    ASSERT_EQ(opened.size(), 2u);
    for (const forms::TShellOpenRequest& request : opened) {
        EXPECT_EQ(request.file, address);
        EXPECT_EQ(request.verb, L"OPEN");
        EXPECT_EQ(request.parent, StatusForm1->Handle());
    }
    EXPECT_EQ(InformationAddress(L"C:\\x\\a.b.exe"), std::wstring(kInformationPrefix) + L"a.b");
}

TEST_F(StatusWindowTest, TheWindowKeepsItsDraggedPlaceForTheNextShowing) {
    WhileOpenFrom(1, [&] { StatusForm1->SetBounds(100, 120, 350, 350); });
    WhileOpenFrom(2, [&] {
        RECT rect;
        GetWindowRect(StatusForm1->Handle(), &rect);
        EXPECT_EQ(rect.left, 100);
        EXPECT_EQ(rect.top, 120);
    });
}

TEST_F(StatusWindowTest, ExitFromTheTrayMenuEndsTheProgramWhileTheWindowIsOpenWithoutSaving) {
    InsideLoop loop([&] {
        StatusForm1->CheckBox[1]->Click();
        StatusForm1->N1Click(nullptr);
    });
    Form1->N1Click(nullptr);
    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(StatusForm1->Visible());
    EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(GetFileAttributesW(settingsFile.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing saved";
}

// A key pressed (and let go) in the focused window, with Ctrl or Shift held or not, as the
// keyboard delivers it.
void PressKey(WORD key, bool ctrl = false, bool shift = false) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
    HWND focus = GetFocus();
    SendMessageW(focus, WM_KEYDOWN, key, 1);
    SendMessageW(focus, WM_KEYUP, key, 0xC0000001);
    state[VK_CONTROL] = state[VK_SHIFT] = 0;
    SetKeyboardState(state);
}

// Each way the window can be left: the close button (pressed as the mouse does), the system's
// close command that Alt+F4 sends, and a bare close request. Which ones close, what the
// characters do afterwards, and what the file holds.
// Escape and Enter on the focused close button are the keyboard's ways.
enum class Leave { Button, SystemClose, CloseRequest, Escape, EnterOnClose };

class LeavingTest : public StatusWindowTest, public testing::WithParamInterface<Leave> {
protected:
    void LeaveBy(Leave way) {
        switch (way) {
        case Leave::Button: PressClose(); break;
        case Leave::SystemClose: SendMessageW(StatusForm1->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case Leave::CloseRequest: SendMessageW(StatusForm1->Handle(), WM_CLOSE, 0, 0); break;
        case Leave::Escape: PressKey(VK_ESCAPE); break;
        case Leave::EnterOnClose:
            StatusForm1->TitleButton[3]->SetFocus();
            PressKey(VK_RETURN);
            break;
        }
    }
    // The close button's own ways keep the window when the save fails.
    static bool KeepsOnAFailedSave(Leave way) { return way == Leave::Button || way == Leave::EnterOnClose; }
    bool Open() const { return StatusForm1->Visible() && StatusForm1->ModalResult == 0; }
};

TEST_P(LeavingTest, SavesAndLetsEveryoneWalkAgain) {
    WhileOpenFrom(3, [&] {
        SetForegroundWindow(StatusForm1->Handle());
        SendMessageW(StatusForm1->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"C:\\写真\\a b.bat"})), 0);
        StatusForm1->CheckBox[1]->Click();
        LeaveBy(GetParam());
        EXPECT_FALSE(Open());
    });
    EXPECT_FALSE(IsWindowVisible(StatusForm1->Handle()));
    EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{true, true, true, true}));
    EXPECT_TRUE(IsWindowEnabled(Form1->Handle()));
    const forms::TIniFile saved(settingsFile);
    EXPECT_EQ(saved.ReadString(L"Execute", L"Char03", L"none"), L"C:\\写真\\a b.bat");
    EXPECT_FALSE(saved.ReadBool(L"Visible", L"Char02", true));
    EXPECT_TRUE(reports.empty());
}

TEST_P(LeavingTest, WithEveryoneHiddenBeepsAndStaysOpen) {
    WhileOpenFrom(1, [&] {
        SetForegroundWindow(StatusForm1->Handle());
        for (size_t r = 0; r < 4; ++r) StatusForm1->CheckBox[r]->Click();
        LeaveBy(GetParam());
        EXPECT_TRUE(Open());
        EXPECT_EQ(beeps, std::vector<UINT>{0});
        EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{}));
        // Then each way out works once someone is shown again.
        StatusForm1->CheckBox[3]->Click();
        LeaveBy(GetParam());
        EXPECT_FALSE(Open());
    });
    EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{true, true, true, true}));
    EXPECT_TRUE(forms::TIniFile(settingsFile).ReadBool(L"Visible", L"Char04", false));
}

// A read-only file: the close button keeps the window for another try; the system's close
// command and a close request show the same message, then close, and everyone walks with what
// the user set; the file is left as it was.
TEST_P(LeavingTest, AFailedSaveIsShownAndOnlyTheCloseButtonKeepsTheWindow) {
    forms::TIniFile(settingsFile).WriteString(L"Visible", L"Char01", L"1");
    ASSERT_TRUE(SetFileAttributesW(settingsFile.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::wstring failure = settingsFile + L" に書き込めません";
    bool keptAfterButton = false;
    WhileOpenFrom(2, [&] {
        SetForegroundWindow(StatusForm1->Handle());
        StatusForm1->CheckBox[0]->Click();
        PressClose();
        keptAfterButton = Open();
        EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{}));
        LeaveBy(GetParam());
        if (KeepsOnAFailedSave(GetParam())) {
            EXPECT_TRUE(Open());
            SetFileAttributesW(settingsFile.c_str(), FILE_ATTRIBUTE_NORMAL);
            PressClose();
        }
    });
    EXPECT_TRUE(keptAfterButton);
    EXPECT_FALSE(IsWindowVisible(StatusForm1->Handle()));
    EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{true, true, true, true}));
    EXPECT_FALSE(StatusForm1->Checked(1)) << "what the user set stays in effect";
    EXPECT_FALSE(IsWindowVisible(Form1->Handle()));
    EXPECT_EQ(reports, std::vector<std::wstring>(2, failure));
    EXPECT_EQ(forms::TIniFile(settingsFile).ReadBool(L"Visible", L"Char01", true), !KeepsOnAFailedSave(GetParam()));
}

std::string WayName(const testing::TestParamInfo<Leave>& info) {
    switch (info.param) {
    case Leave::Button: return "CloseButton";
    case Leave::SystemClose: return "SystemClose";
    case Leave::Escape: return "Escape";
    case Leave::EnterOnClose: return "EnterOnTheCloseButton";
    default: return "CloseRequest";
    }
}

INSTANTIATE_TEST_SUITE_P(EachWay, LeavingTest,
                         testing::Values(Leave::Button, Leave::SystemClose, Leave::CloseRequest, Leave::Escape,
                                         Leave::EnterOnClose),
                         WayName);

TEST_F(StatusWindowTest, ACloseRequestToTheHiddenWindowSavesNothingAndStopsNoOne) {
    SendMessageW(StatusForm1->Handle(), WM_CLOSE, 0, 0);
    SendMessageW(StatusForm1->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(StatusForm1->Handle()));
    EXPECT_FALSE(app->Terminated());
    EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(GetFileAttributesW(settingsFile.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(beeps.empty());
}

// A showing that cannot start, and an error in a handler while it runs: the characters walk
// again all the same once it is over.
TEST_F(StatusWindowTest, ErrorsAroundTheShowingNeverLeaveTheCharactersStanding) {
    StatusForm1->SetEnabled(false);
    wintest::Raised refused = wintest::Raise<forms::EInvalidOperation>([] { Form2->N1Click(nullptr); });
    StatusForm1->SetEnabled(true);
    EXPECT_TRUE(refused.ofClass);
    EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{true, true, true, true}));

    forms::Platform().ShellOpen = [](const forms::TShellOpenRequest&) { throw forms::Exception(L"開けません"); };
    WhileOpenFrom(1, [&] {
        POINT info{20, 10};  // the information button, whose page cannot be opened
        ClientToScreen(StatusForm1->Handle(), &info);
        HWND panel = WindowFromPoint(info);
        ScreenToClient(panel, &info);
        SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(info.x, info.y));
        SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(info.x, info.y));
        EXPECT_TRUE(StatusForm1->Visible());
        SendMessageW(StatusForm1->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(reports, std::vector<std::wstring>{L"開けません"});
    EXPECT_EQ(TimersEnabled(), (std::array<bool, 4>{true, true, true, true}));
}

TEST_F(StatusWindowTest, TheTrayIconComesLastAndItsDoubleClickAndMenuActForCharacterOne) {
    components::TTrayIcon* tray = StatusForm1->TrayIcon1;
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(tray->Active());
    EXPECT_TRUE(tray->HookInstalled());
    EXPECT_TRUE(tray->ShowMinimizedIcon);
    EXPECT_FALSE(tray->NoClose);
    EXPECT_EQ(tray->PopupMenu(), StatusForm1->PopupMenu1);
    EXPECT_EQ(tray->Icon().Width(), 32);
    // Loading the inactive icon deletes nothing that is there; start-up then adds it and asks
    // for the notifications that carry the keyboard's.
    ASSERT_EQ(trayCalls.size(), 3u);
    EXPECT_EQ(trayCalls[0].first, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(trayCalls[1], std::make_pair(static_cast<DWORD>(NIM_ADD), tray->Icon().Handle()));
    EXPECT_EQ(trayCalls[2].first, static_cast<DWORD>(NIM_SETVERSION));
    EXPECT_FALSE(app->ShowMainForm) << "the loop shows no window by itself";
    EXPECT_FALSE(IsWindowVisible(app->Handle())) << "no taskbar button";

    bool shown = false;
    int selected = -1, colourRow = -1;
    {
        InsideLoop loop([&] {
            shown = StatusForm1->Visible();
            selected = StatusForm1->SelectedChar;
            colourRow = ColourRow();
            StatusForm1->Image5Click(nullptr);
        });
        StatusForm1->SelectedChar = 2;
        SendMessageW(tray->CallbackWindow(), components::TTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    }
    EXPECT_TRUE(shown);
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(colourRow, 0) << "row 1's colour portrait";

    forms::TPopupMenu::PopupHook = [](forms::TPopupMenu* menu, POINT) { return menu->Items().back(); };
    SendMessageW(tray->CallbackWindow(), components::TTrayIcon::WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
    forms::TPopupMenu::PopupHook = nullptr;
    EXPECT_TRUE(app->Terminated()) << "the menu's last entry ends the program";
    EXPECT_TRUE(reports.empty());
}

TEST_F(StatusWindowTest, TabWalksTheEnabledStopsInTheirOrder) {
    WhileOpenFrom(1, [&] {
        SetForegroundWindow(StatusForm1->Handle());
        EXPECT_EQ(GetFocus(), StatusForm1->Edit[0]->Handle()) << "the keyboard starts at the selected row";
        std::vector<HWND> visited;
        for (int i = 0; i < 9; ++i) {
            PressKey(VK_TAB);
            visited.push_back(GetFocus());
        }
        PressKey(VK_TAB, false, true);
        visited.push_back(GetFocus());
        // The disabled boxes are passed over; the title-strip buttons come after the first box.
        std::vector<HWND> expected{StatusForm1->CheckBox[0]->Handle()};
        for (forms::TPanel* button : StatusForm1->TitleButton) expected.push_back(button->Handle());
        for (size_t r = 1; r < 4; ++r) expected.push_back(StatusForm1->CheckBox[r]->Handle());
        expected.push_back(StatusForm1->Edit[0]->Handle());
        expected.push_back(StatusForm1->CheckBox[3]->Handle());
        EXPECT_EQ(visited, expected);
    });
}

// Up and Down from any control, as the arrow buttons; a focused title button takes Enter and
// Space as its click; Space toggles a focused box.
TEST_F(StatusWindowTest, TheRowsAndTheTitleButtonsAnswerTheKeyboard) {
    WhileOpenFrom(2, [&] {
        SetForegroundWindow(StatusForm1->Handle());
        const struct {
            forms::TWinControl* focused;
            WORD key;
            int selected;  // SelectedChar afterwards
        } presses[] = {
            {StatusForm1->CheckBox[3], VK_DOWN, 2}, {StatusForm1->Edit[2], VK_DOWN, 3},
            {StatusForm1->TitleButton[0], VK_DOWN, 0}, {StatusForm1->Edit[0], VK_UP, 3},
            {StatusForm1->TitleButton[1], VK_RETURN, 0}, {StatusForm1->TitleButton[2], VK_SPACE, 3},
            {StatusForm1->TitleButton[2], VK_RETURN, 2},
        };
        for (const auto& press : presses) {
            SCOPED_TRACE(testing::Message() << press.key << " to " << press.selected);
            press.focused->SetFocus();
            PressKey(press.key);
            EXPECT_EQ(StatusForm1->SelectedChar, press.selected);
            EXPECT_EQ(ColourRow(), press.selected);
            const bool titleButtonKey = press.key == VK_RETURN || press.key == VK_SPACE;
            EXPECT_EQ(GetFocus(), titleButtonKey ? press.focused->Handle() : StatusForm1->Edit[size_t(press.selected)]->Handle())
                << "the arrow keys take the focus to the selected row";
        }
        StatusForm1->CheckBox[1]->SetFocus();
        PressKey(VK_SPACE);
        EXPECT_FALSE(StatusForm1->Checked(2));
        EXPECT_FALSE(IsWindowVisible(Form2->Handle()));
        StatusForm1->TitleButton[0]->SetFocus();
        PressKey(VK_RETURN);
        ASSERT_EQ(opened.size(), 1u) << "the information page";
        EXPECT_EQ(beeps, std::vector<UINT>{0});
    });
}

// The focused control's mark shows only while the keyboard cues are on: the mouse alone leaves
// every pixel as it was; the first key in the window turns them on.
TEST_F(StatusWindowTest, AFocusMarkShowsOnlyWithTheKeyboardCues) {
    auto cues = [](WORD action) {
        SendMessageW(StatusForm1->Handle(), WM_UPDATEUISTATE, MAKEWPARAM(action, UISF_HIDEFOCUS), 0);
    };
    // The control's outermost ring of pixels, frame included.
    auto ring = [](forms::TWinControl* control) {
        RedrawWindow(StatusForm1->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const core::Bitmap shot = wintest::Capture(StatusForm1->Handle());
        const RECT r = control->BoundsRect();
        std::vector<core::Rgb> pixels;
        for (LONG x = r.left; x < r.right; ++x) pixels.push_back(shot.Color(x, r.top)), pixels.push_back(shot.Color(x, r.bottom - 1));
        for (LONG y = r.top; y < r.bottom; ++y) pixels.push_back(shot.Color(r.left, y)), pixels.push_back(shot.Color(r.right - 1, y));
        return pixels;
    };
    WhileOpenFrom(1, [&] {
        SetForegroundWindow(StatusForm1->Handle());
        for (forms::TWinControl* control : std::initializer_list<forms::TWinControl*>{
                 StatusForm1->CheckBox[0], StatusForm1->TitleButton[3], StatusForm1->Edit[0]}) {
            SCOPED_TRACE(forms::Narrow(control->Name()));
            cues(UIS_SET);
            ::SetFocus(StatusForm1->Handle());
            const auto unfocused = ring(control);
            control->SetFocus();
            EXPECT_EQ(ring(control), unfocused) << "focused by the mouse: as before";
            cues(UIS_CLEAR);
            EXPECT_NE(ring(control), unfocused) << "with the cues: marked";
            cues(UIS_SET);
            EXPECT_EQ(ring(control), unfocused);
            PressKey(VK_RIGHT);
            EXPECT_NE(ring(control), unfocused) << "a key turns the cues on";
        }
    });
}

TEST_F(StatusWindowTest, HintsAndTheTrayMenuComeFromTheLayout) {
    WhileOpenFrom(1, [&] {
        EXPECT_EQ(StatusForm1->Hints().ToolCount(), 12);
        // A control's hint comes after the pointer rests on it and goes with a press.
        const HWND edit = StatusForm1->Edit[0]->Handle();
        PostMessageW(edit, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        const DWORD end = GetTickCount() + 1500;
        while (GetTickCount() < end && !StatusForm1->Hints().Shown()) wintest::Pump();
        EXPECT_NE(StatusForm1->Hints().Shown(), nullptr);
        SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(StatusForm1->Hints().Shown(), nullptr);
    });
    StatusForm1->PopupMenu1Popup(nullptr);
    std::vector<std::wstring> captions;
    for (forms::TMenuItem* item : StatusForm1->PopupMenu1->Items()) captions.push_back(item->Caption);
    // The launches go between the first entry and the information entry; exit stays last.
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"設定ウィンドウを開く(&S)...", L"-", L"&1 ﾐﾛｯﾄ: （未設定）",
                                                   L"&2 ｸﾞﾗﾝﾃ: （未設定）", L"&3 ﾍﾟｲﾕ: （未設定）",
                                                   L"&4 ﾄｩｰﾗ: （未設定）", L"-", L"インフォメーション(&I)...", L"-",
                                                   L"一時停止(&P)", L"Windows の起動時に実行する(&W)", L"-",
                                                   L"終了する(&X)"}));
}

TEST_F(StatusWindowTest, TheAutostartEntryMakesAndRemovesTheStartupShortcutAndItsMarkTellsTheTruth) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = temp + (L"kurun-startup-" + std::to_wstring(GetCurrentProcessId()));
    const std::wstring program = forms::ModuleFileName(), elsewhere = L"C:\\moved\\kurun.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring startup = folder;
    forms::Platform().StartupFolder = [&] { return startup; };
    // Opens the tray menu; returns the entry's mark as shown, after choosing it when `choose`.
    auto menu = [&](bool choose) {
        bool shown = false;
        forms::TPopupMenu::PopupHook = [&](forms::TPopupMenu*, POINT) {
            shown = StatusForm1->AutoStart1->Checked;
            return choose ? StatusForm1->AutoStart1 : nullptr;
        };
        StatusForm1->PopupMenu1->Popup(0, 0);
        forms::TPopupMenu::PopupHook = nullptr;
        return shown;
    };
    auto mine = [&] { return forms::ShortcutsStarting(folder, program); };

    EXPECT_FALSE(menu(true));
    EXPECT_EQ(mine(), std::vector<std::wstring>{folder + L"\\kurun.lnk"});
    EXPECT_TRUE(menu(true));
    EXPECT_TRUE(mine().empty());
    // A shortcut to a moved copy shows unticked; choosing makes it start this one. Every
    // shortcut to this copy goes when it is unticked, the others stay.
    ASSERT_TRUE(forms::MakeShortcut(folder + L"\\kurun.lnk", elsewhere));
    ASSERT_TRUE(forms::MakeShortcut(folder + L"\\other.lnk", elsewhere));
    EXPECT_FALSE(menu(true));
    ASSERT_TRUE(forms::MakeShortcut(folder + L"\\mine too.lnk", program));
    EXPECT_EQ(mine().size(), 2u);
    EXPECT_TRUE(menu(true));
    EXPECT_TRUE(mine().empty());
    EXPECT_EQ(forms::ShortcutsStarting(folder, elsewhere), std::vector<std::wstring>{folder + L"\\other.lnk"});
    EXPECT_TRUE(beeps.empty());
    // A folder that cannot take the shortcut: the default beep, and the mark stays off.
    startup = folder + L"\\missing";
    EXPECT_FALSE(menu(true));
    EXPECT_EQ(beeps, std::vector<UINT>{0});
    EXPECT_FALSE(menu(false));
    EXPECT_EQ(GetFileAttributesW(settingsFile.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing goes into kurun.ini";
    DeleteFileW((folder + L"\\other.lnk").c_str());
    RemoveDirectoryW(folder.c_str());
}

// A folder `folderName` in the temporary folder with an empty file `fileName` in it; both paths.
std::pair<std::wstring, std::wstring> MakeTarget(const std::wstring& folderName, const std::wstring& fileName) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = temp + folderName, file = folder + L"\\" + fileName;
    CreateDirectoryW(folder.c_str(), nullptr);
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return {folder, file};
}

// Puts `names` on the clipboard as copied files, or `text` as text.
void CopyToClipboard(const std::vector<std::wstring>& names, const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (!names.empty()) SetClipboardData(CF_HDROP, MakeDrop(names));
    if (!text.empty()) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
    }
    CloseClipboard();
}

TEST_F(StatusWindowTest, TheSelectedRowTakesPastedChosenAndClearedTargetsAsADropDoes) {
    const auto [folder, file] = MakeTarget(L"targets", L"memo.txt");
    const struct {
        std::vector<std::wstring> files;
        std::wstring text;
        std::wstring expected;  // empty: refused with a beep, the row keeps its text
    } pastes[] = {
        {{L"C:\\first.txt", L"C:\\second.txt"}, L"", L"C:\\first.txt"},
        {{}, L" \"D:\\My Files\\a b.txt\"\r\n", L"D:\\My Files\\a b.txt"},
        {{}, L"\\\\server\\share\\tool.exe", L"\\\\server\\share\\tool.exe"},
        {{}, L"https://example.org/kurun", L"https://example.org/kurun"},
        {{}, L"just some words", L""},
        {{}, L"ftp://example.org", L""},
    };
    std::vector<forms::TOpenFileRequest> asked;
    std::optional<std::wstring> answer;
    forms::Platform().OpenFile = [&](const forms::TOpenFileRequest& r) {
        asked.push_back(r);
        return answer;
    };
    WhileOpenFrom(2, [&] {
        SetForegroundWindow(StatusForm1->Handle());
        StatusForm1->Edit[1]->SetFocus();
        for (const auto& paste : pastes) {
            SCOPED_TRACE(testing::Message() << forms::Narrow(paste.text));
            StatusForm1->SetLaunchFile(2, L"C:\\before.exe");
            beeps.clear();
            CopyToClipboard(paste.files, paste.text);
            PressKey('V', true);
            EXPECT_EQ(StatusForm1->LaunchFile(2), paste.expected.empty() ? L"C:\\before.exe" : paste.expected);
            EXPECT_EQ(beeps.size(), paste.expected.empty() ? 1u : 0u);
        }
        // Enter and the double click ask the Open dialog, in the current target's folder; a
        // cancel changes nothing.
        StatusForm1->SetLaunchFile(2, file);
        PressKey(VK_RETURN);
        EXPECT_EQ(StatusForm1->LaunchFile(2), file);
        answer = L"C:\\chosen.exe";
        SendMessageW(StatusForm1->Edit[1]->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
        EXPECT_EQ(StatusForm1->LaunchFile(2), L"C:\\chosen.exe");
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_EQ(asked[0].title, L"ラウンチファイルの選択");
        EXPECT_EQ(asked[0].initialFolder, folder + L"\\");
        StatusForm1->SetLaunchFile(2, L"https://example.org/");
        PressKey(VK_RETURN);
        EXPECT_EQ(asked.back().initialFolder, L"") << "an address has no folder";
        PressKey(VK_DELETE);
        EXPECT_EQ(StatusForm1->LaunchFile(2), L"");
        EXPECT_EQ(StatusForm1->LaunchFile(1), L"") << "the other rows are not touched";
    });
    beeps.clear();
    CharacterWindow(2)->Rgn1Click(nullptr);
    EXPECT_EQ(beeps.size(), 1u) << "a cleared row beeps as one that never had a target";
    EXPECT_TRUE(reports.empty());
}

TEST_F(StatusWindowTest, TooltipsAndTheTrayEntriesSayWhatEachCharacterOpens) {
    const auto [folder, file] = MakeTarget(L"写真", L"notes.txt");
    WhileOpenFrom(1, [&] {
        StatusForm1->SetLaunchFile(1, file);
        StatusForm1->SetLaunchFile(2, folder);
        StatusForm1->SetLaunchFile(3, L"https://example.org/a&b");
    });
    const std::wstring expected[] = {L"ﾐﾛｯﾄ: notes.txt", L"ｸﾞﾗﾝﾃ: 写真", L"ﾍﾟｲﾕ: https://example.org/a&b",
                                     L"ﾄｩｰﾗ: （未設定）"};
    StatusForm1->PopupMenu1Popup(nullptr);
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        const std::wstring& text = expected[n - 1];
        EXPECT_EQ(CharacterWindow(n)->Frame(7)->Hint, text) << "as soon as the window has closed";
        EXPECT_TRUE(CharacterWindow(n)->Frame(16)->ShowHint);
        std::wstring menu = StatusForm1->Launch[static_cast<size_t>(n - 1)]->Caption;
        EXPECT_EQ(menu.substr(0, 3), L"&" + std::to_wstring(n) + L" ");
        if (n == 3) EXPECT_EQ(menu, L"&3 ﾍﾟｲﾕ: https://example.org/a&&b") << "no stray access key";
        else EXPECT_EQ(menu.substr(3), text);
    }
    // A launch entry does what the click does, shown or not.
    StatusForm1->SetChecked(3, false);
    StatusForm1->Launch[2]->Click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].file, L"https://example.org/a&b");
    EXPECT_EQ(opened[0].parent, CharacterWindow(3)->Handle());
    StatusForm1->Launch[3]->Click();
    EXPECT_EQ(beeps.size(), 1u);
}

TEST_F(StatusWindowTest, OnlyTheUsersOwnPointingRaisesACharactersTooltip) {
    for (int n = 1; n <= 4; ++n) CharacterWindow(n)->Timer1->SetEnabled(false);
    TCharacterForm* rugo = CharacterWindow(3);
    rugo->SetBounds(300, 300, rugo->Width(), rugo->Height());
    auto tooltipAfterHover = [&] {
        const DWORD end = GetTickCount() + 1500;
        while (GetTickCount() < end && !rugo->Hints().Shown()) wintest::Pump();
        return rugo->Hints().Shown() != nullptr;
    };
    // The pointer rests at a place; the character walks under it.
    SetCursorPos(600, 600);
    wintest::Pump();
    rugo->SetBounds(600 - 20, 600 - 20, rugo->Width(), rugo->Height());
    PostMessageW(rugo->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    EXPECT_FALSE(tooltipAfterHover());
    // The user points at it: the hint shows below the pointer, in no taskbar, and takes no clicks.
    SetCursorPos(600 + 2, 600 + 1);
    PostMessageW(rugo->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(22, 21));
    ASSERT_TRUE(tooltipAfterHover());
    const HWND tooltip = rugo->Hints().Shown();
    RECT place{};
    GetWindowRect(tooltip, &place);
    EXPECT_TRUE(place.left >= 600 && place.top > 601 && place.top < 601 + 60) << place.left << "," << place.top;
    EXPECT_EQ(GetWindowLongW(tooltip, GWL_EXSTYLE) & (WS_EX_APPWINDOW | WS_EX_TOOLWINDOW), WS_EX_TOOLWINDOW);
    EXPECT_EQ(SendMessageW(tooltip, WM_NCHITTEST, 0, MAKELPARAM(place.left + 1, place.top + 1)), HTTRANSPARENT);
    // It goes as soon as the character moves.
    rugo->SetBounds(rugo->Left() + 1, rugo->Top(), rugo->Width(), rugo->Height());
    EXPECT_FALSE(IsWindowVisible(tooltip));
    EXPECT_EQ(rugo->Hints().Shown(), nullptr);
}

// A window of another kind that has the foreground and the keyboard focus when the program
// starts, as the editor the user is typing into has.
class ForegroundTest : public StatusWindowTest {
protected:
    void SetUp() override {
        editor_.Reset(CreateWindowExW(0, L"EDIT", L"editor", WS_OVERLAPPEDWINDOW, 400, 400, 200, 100, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
        ShowWindow(editor_.Get(), SW_SHOWNORMAL);
        SetForegroundWindow(editor_.Get());
        ::SetFocus(editor_.Get());
        wintest::Pump();
        StatusWindowTest::SetUp();
        wintest::Pump();
    }
    void TearDown() override {
        StatusWindowTest::TearDown();
        editor_.Reset();
    }
    HWND Editor() const { return editor_.Get(); }
    // The middle of the largest rectangle of the window's outline: a point the window takes clicks at.
    static POINT InsideOutline(HWND window) {
        std::vector<core::Rect> outline = wintest::WindowRegionRects(window);
        auto area = [](const core::Rect& r) { return (r.right - r.left) * (r.bottom - r.top); };
        auto largest = std::max_element(outline.begin(), outline.end(),
                                        [&](const core::Rect& a, const core::Rect& b) { return area(a) < area(b); });
        if (largest == outline.end()) return {0, 0};
        return {(largest->left + largest->right) / 2, (largest->top + largest->bottom) / 2};
    }
    // The editor keeps the foreground, the activation and the keyboard focus.
    void ExpectEditorKeepsTheFocus() {
        wintest::Pump();
        EXPECT_EQ(GetForegroundWindow(), Editor());
        EXPECT_EQ(GetActiveWindow(), Editor());
        EXPECT_EQ(GetFocus(), Editor());
    }
private:
    forms::WindowHandle editor_;
};

TEST_F(ForegroundTest, CharactersAreShownWithoutTakingTheFocusAndAClickLaunchesWithoutActivating) {
    ASSERT_EQ(GetForegroundWindow(), Editor());
    for (int n = 1; n <= 4; ++n) {
        HWND window = CharacterWindow(n)->Handle();
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    }
    ExpectEditorKeepsTheFocus();

    // Character 1's tick hides and shows it again as its check box says.
    StatusForm1->SetChecked(1, false);
    Form1->Timer1->Tick();
    EXPECT_FALSE(IsWindowVisible(Form1->Handle()));
    StatusForm1->SetChecked(1, true);
    Form1->Timer1->Tick();
    EXPECT_TRUE(IsWindowVisible(Form1->Handle()));
    ExpectEditorKeepsTheFocus();

    // A real click on a standing character launches its file and leaves the focus alone.
    StatusForm1->SetLaunchFile(2, L"C:\\notes.txt");
    for (int n = 1; n <= 4; ++n) CharacterWindow(n)->Timer1->SetEnabled(false);
    Form2->SetBounds(300, 300, Form2->Width(), Form2->Height());
    wintest::PointAt(Form2->Handle(), InsideOutline(Form2->Handle()));
    wintest::SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].file, L"C:\\notes.txt");
    ExpectEditorKeepsTheFocus();
}

TEST_F(ForegroundTest, TheSettingsWindowIsActivatedWhenItOpens) {
    WhileOpenFrom(3, [&] {
        wintest::Pump();
        EXPECT_EQ(GetForegroundWindow(), StatusForm1->Handle());
        EXPECT_EQ(GetActiveWindow(), StatusForm1->Handle());
    });
    // Closed, it hands the activation to none of the characters.
    wintest::Pump();
    for (int n = 1; n <= 4; ++n) EXPECT_NE(GetActiveWindow(), CharacterWindow(n)->Handle());
}

}  // namespace
