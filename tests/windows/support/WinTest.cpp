#include "support/WinTest.h"

#include "app/SettingsFile.h"

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

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

core::LayoutValue Ident(const std::string& name) { return core::LayoutIdent{name}; }

}  // namespace wintest
