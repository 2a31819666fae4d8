#pragma once
// One owner for every handle and one scope for every paired call: nothing is closed by hand.
#include <windows.h>

#include <string_view>
#include <utility>

namespace forms {

// Owns one handle and closes it once with Close.
template <class H, auto Close>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Hands the handle to someone else (a window takes its region this way).
    H Detach() { return std::exchange(handle_, nullptr); }
    void Reset(H handle = nullptr) {
        if (handle_) Close(handle_);
        handle_ = handle;
    }
private:
    H handle_ = nullptr;
};

// A GDI object (region, bitmap, brush, font, pen).
template <class H>
using GdiObject = UniqueHandle<H, &DeleteObject>;
using RegionHandle = GdiObject<HRGN>;
using BitmapHandle = GdiObject<HBITMAP>;
using BrushHandle = GdiObject<HBRUSH>;
using FontHandle = GdiObject<HFONT>;
using DCHandle = UniqueHandle<HDC, &DeleteDC>;
using MenuHandle = UniqueHandle<HMENU, &DestroyMenu>;
using IconHandle = UniqueHandle<HICON, &DestroyIcon>;
// An event or a thread.
using KernelHandle = UniqueHandle<HANDLE, &CloseHandle>;
using DesktopHandle = UniqueHandle<HDESK, &CloseDesktop>;
// A window whose destruction is ours to ask for; one the system destroys (with its parent)
// is let go with Detach when its last message arrives.
using WindowHandle = UniqueHandle<HWND, &DestroyWindow>;

// Keeps objects selected into a DC and puts the DC's own back when it ends.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), original_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (original_) SelectObject(dc_, original_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    // Selects another object of the same kind; the original still comes back at the end.
    void Select(HGDIOBJ object) { SelectObject(dc_, object); }
private:
    HDC dc_;
    HGDIOBJ original_;
};

// Everything set on a DC inside the scope (modes, colours, clipping, origin, selections) is
// undone when it ends.
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDC() {
        if (saved_) RestoreDC(dc_, saved_);
    }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;
private:
    HDC dc_;
    int saved_;
};

// The DC of a window's client area (or of the screen, for a null window).
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }
private:
    HWND window_;
    HDC dc_;
};

// One WM_PAINT: BeginPaint to EndPaint, so the window is validated whatever happens between.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Get() const { return dc_; }
    const RECT& Update() const { return paint_.rcPaint; }
private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// Global memory locked for the scope (clipboard and drag data).
class GlobalMemoryLock {
public:
    explicit GlobalMemoryLock(HGLOBAL memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    ~GlobalMemoryLock() {
        if (data_) GlobalUnlock(memory_);
    }
    GlobalMemoryLock(const GlobalMemoryLock&) = delete;
    GlobalMemoryLock& operator=(const GlobalMemoryLock&) = delete;
    const void* Data() const { return data_; }
    size_t Size() const { return data_ ? GlobalSize(memory_) : 0; }
    std::string_view Bytes() const { return std::string_view(static_cast<const char*>(data_), Size()); }
private:
    HGLOBAL memory_;
    void* data_;
};

}  // namespace forms
