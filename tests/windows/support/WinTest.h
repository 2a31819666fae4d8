#pragma once
// Shared helpers of the tests that run under Wine: an application whose exception report
// is captured, live GDI object counts, region contents, message pumping.
#include <windows.h>

#include <gtest/gtest.h>

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

// Live GDI objects of this process: the system's count where it keeps one, else a scan of
// the handle table (Wine accepts a bare table index as a handle).
int LiveGdiObjects();

// The rectangles of a region, in the platform's banded order.
std::vector<core::Rect> RegionRects(HRGN region);
// The window's current outline, or nothing when it has none.
std::vector<core::Rect> WindowRegionRects(HWND window);
bool WindowHasRegion(HWND window);

// Handles the waiting messages.
void Pump();

// A layout property value.
core::LayoutValue Ident(const std::string& name);

}  // namespace wintest
