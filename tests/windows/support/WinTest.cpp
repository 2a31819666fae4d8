#include "support/WinTest.h"

#include <iostream>
#include <stdexcept>

#include "app/SettingsFile.h"
#include "forms/Text.h"

namespace wintest {

void AppTest::SetUp() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    settingsFile = temp + (L"kurun-test-" + std::to_wstring(GetCurrentProcessId()) + L".ini");
    DeleteFileW(settingsFile.c_str());
    kurun::RedirectSettingsFile(settingsFile);
    app = new forms::TApplication(nullptr);
    forms::Application = app;
    app->OnException = [this](forms::TObject*, const forms::Exception& error) { reports.push_back(error.Message()); };
}

void AppTest::TearDown() {
    delete app;
    forms::Application = nullptr;
    // A program that ended leaves its quit message in the thread's queue: the next test's
    // loops would end at once.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    kurun::RedirectSettingsFile(L"");
    SetFileAttributesW(settingsFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(settingsFile.c_str());
}

int LiveGdiObjects() {
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count > 0) return static_cast<int>(count);
    int live = 0;
    for (UINT_PTR index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
    return live;
}

std::vector<core::Rect> RegionRects(HRGN region) {
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<uint8_t> block(size);
    GetRegionData(region, size, reinterpret_cast<RGNDATA*>(block.data()));
    return core::DecodeRgnData(block);
}

std::vector<core::Rect> WindowRegionRects(HWND window) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    std::vector<core::Rect> rects;
    if (GetWindowRgn(window, region) != ERROR) rects = RegionRects(region);
    DeleteObject(region);
    return rects;
}

bool WindowHasRegion(HWND window) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    bool has = GetWindowRgn(window, region) != ERROR;
    DeleteObject(region);
    return has;
}

std::vector<core::Rect> Placed(std::vector<core::Rect> rects, int left, int top, int scale) {
    for (core::Rect& r : rects)
        r = {r.left * scale + left, r.top * scale + top, r.right * scale + left, r.bottom * scale + top};
    return rects;
}

std::vector<uint8_t> GdiOutline(core::Bitmap picture) {
    picture.Normalise();
    HRGN built = CreateRectRgn(0, 0, 0, 0);
    for (const core::Rect& run : core::ScanRuns(picture)) {
        HRGN row = CreateRectRgn(run.left, run.top, run.right, run.bottom);
        CombineRgn(built, built, row, RGN_OR);
        DeleteObject(row);
    }
    DWORD size = GetRegionData(built, 0, nullptr);
    std::vector<uint8_t> block(size);
    GetRegionData(built, size, reinterpret_cast<RGNDATA*>(block.data()));
    DeleteObject(built);
    return block;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

core::Bitmap Capture(HWND window) {
    UpdateWindow(window);
    RECT client{};
    GetClientRect(window, &client);
    forms::TBitmap shot;
    shot.SetSize(client.right, client.bottom);
    forms::WindowDC dc(window);
    BitBlt(shot.Canvas().Handle(), 0, 0, client.right, client.bottom, dc.Get(), 0, 0, SRCCOPY);
    return shot.ToCore();
}

void PointAt(HWND window, POINT client) {
    ClientToScreen(window, &client);
    SetCursorPos(client.x, client.y);
    Pump();
}

void SendMouse(std::initializer_list<DWORD> events) {
    std::vector<INPUT> input;
    for (DWORD flags : events) {
        INPUT one{};
        one.type = INPUT_MOUSE;
        one.mi.dwFlags = flags;
        input.push_back(one);
    }
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    Pump();
}

void SavePicture(HWND window, const std::wstring& fileName) {
    core::Bitmap picture = Capture(window);
    picture.Normalise();  // 24 bits: every viewer reads those
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path(module);
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + fileName;
    picture.Save(forms::Narrow(path));
    std::wcout << L"picture: " << path << std::endl;
}

core::LayoutValue Ident(const std::string& name) { return core::LayoutIdent{name}; }

core::LayoutObject SampleLayout(const wchar_t* resourceName) {
    HRSRC info = FindResourceW(nullptr, resourceName, MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL data = info ? LoadResource(nullptr, info) : nullptr;
    const char* text = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!text) throw std::runtime_error("no sample layout " + forms::Narrow(resourceName));
    return core::ParseLayout({text, SizeofResource(nullptr, info)});
}

}  // namespace wintest
