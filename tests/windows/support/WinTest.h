#pragma once
// Shared helpers of the tests that run under Wine: an application whose exception report
// is captured, live GDI object counts, region contents, screen pixels, mouse input, message
// pumping.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "core/Layout.h"
#include "core/Outline.h"
#include "forms/Forms.h"

namespace wintest {

// A test with an application object; reported exceptions are collected, not shown. The
// program's settings go to a file of the test's own, which does not exist at the start.
class AppTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::vector<std::wstring> reports;
    forms::TApplication* app = nullptr;
    std::wstring settingsFile;
};

// A form built from a layout given by the test.
class TLayoutForm : public forms::TForm {
public:
    explicit TLayoutForm(forms::TComponent* owner) : forms::TForm(owner) {}
    void Load(const core::LayoutObject& layout) { LoadLayout(layout); }
};

// What a call raised: whether it raised at all, whether it was of class E, and its message.
struct Raised {
    bool raised = false;
    bool ofClass = false;
    std::wstring message;
};
template <class E = forms::Exception, class F>
Raised Raise(F&& call) {
    try {
        call();
    } catch (const forms::Exception& error) {
        return {true, dynamic_cast<const E*>(&error) != nullptr, error.Message()};
    }
    return {};
}

// Live GDI objects of this process: the system's count where it keeps one, else a scan of
// the handle table (Wine accepts a bare table index as a handle).
int LiveGdiObjects();

// The rectangles of a region, in the platform's banded order.
std::vector<core::Rect> RegionRects(HRGN region);
// The window's current outline, or nothing when it has none.
std::vector<core::Rect> WindowRegionRects(HWND window);
bool WindowHasRegion(HWND window);

// The rectangles scaled, then moved by (left, top).
std::vector<core::Rect> Placed(std::vector<core::Rect> rects, int left, int top, int scale = 1);
// The region data block that GDI builds from the union of the picture's opaque runs.
std::vector<uint8_t> GdiOutline(core::Bitmap picture);

// Handles the waiting messages.
void Pump();

// The window's client area as the screen shows it, once pending paints are done.
core::Bitmap Capture(HWND window);
// Moves the pointer to a point of the window's client area.
void PointAt(HWND window, POINT client);
// Mouse button events (MOUSEEVENTF_LEFTDOWN, ...) through the system's input queue, as a
// hand on the mouse makes them, at the pointer; then handles what they caused.
void SendMouse(std::initializer_list<DWORD> events);

// Saves the window's picture (24 bits) beside the running program and prints where.
void SavePicture(HWND window, const std::wstring& fileName);

// A layout property value.
core::LayoutValue Ident(const std::string& name);

// The layout of a sample window, which the test programs carry as a resource of its own
// (assets/samples.rc) and kurun.exe not at all.
core::LayoutObject SampleLayout(const wchar_t* resourceName);

}  // namespace wintest
