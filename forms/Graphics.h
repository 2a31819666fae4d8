#pragma once
// GDI handles with one owner each, colours, fonts, canvases and bitmaps.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Bitmap.h"
#include "forms/Classes.h"

namespace forms {

// Owns one GDI object (region, bitmap, brush, font, pen) and deletes it once.
template <class H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Hands the object to someone else (a window takes its region this way).
    H Detach() { return std::exchange(handle_, nullptr); }
    void Reset(H handle = nullptr) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }
private:
    H handle_ = nullptr;
};

using RegionHandle = GdiObject<HRGN>;
using BitmapHandle = GdiObject<HBITMAP>;
using BrushHandle = GdiObject<HBRUSH>;
using FontHandle = GdiObject<HFONT>;

// A memory device context, deleted with its owner; restores what it had selected.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC();
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return dc_; }
    void Select(HBITMAP bitmap);
private:
    HDC dc_;
    HGDIOBJ original_ = nullptr;
};

// Colours: plain RGB values, or system colours with the high byte 0x80.
using TColor = int32_t;
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clGray = 0x808080, clSilver = 0xC0C0C0,
                 clRed = 0x0000FF, clBlue = 0xFF0000, clNavy = 0x800000, clFuchsia = 0xFF00FF;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
constexpr TColor clScrollBar = static_cast<TColor>(0x80000000), clBackground = static_cast<TColor>(0x80000001),
                 clWindow = static_cast<TColor>(0x80000005), clWindowText = static_cast<TColor>(0x80000008),
                 clBtnFace = static_cast<TColor>(0x8000000F), clBtnShadow = static_cast<TColor>(0x80000010),
                 clGrayText = static_cast<TColor>(0x80000011), clBtnText = static_cast<TColor>(0x80000012),
                 clBtnHighlight = static_cast<TColor>(0x80000014);
COLORREF ColorToRGB(TColor color);
// Colour names as stored in layouts (clBtnFace, clWhite, ...); false when unknown.
bool IdentToColor(std::string_view name, TColor& color);
std::string ColorToIdent(TColor color);

enum class TBrushStyle { Solid, Clear };

class TFont {
public:
    TFont() = default;
    // Copies the description; each copy makes its own GDI font.
    TFont(const TFont& other) { *this = other; }
    TFont& operator=(const TFont& other) {
        if (this == &other) return *this;
        Name = other.Name, Height = other.Height, Color = other.Color, Charset = other.Charset;
        Bold = other.Bold, Italic = other.Italic, Underline = other.Underline, StrikeOut = other.StrikeOut;
        Changed();
        return *this;
    }

    std::wstring Name = L"ＭＳ Ｐゴシック";
    int32_t Height = -12;
    TColor Color = clWindowText;
    uint8_t Charset = SHIFTJIS_CHARSET;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;

    // The GDI font for the current values, made on first use after a change.
    HFONT Handle() const;
    // Name, Height, ...: a control stores them as Font.Name, Font.Height, ...
    static const TPropertyTable<TFont>& StoredProperties();
    void Changed() { handle_.Reset(); }
    bool operator==(const TFont& other) const;
private:
    mutable FontHandle handle_;
};

class TBitmap;

// Drawing on a device context that someone else owns (a paint DC, a bitmap's DC).
class TCanvas {
public:
    TCanvas() = default;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    ~TCanvas() { RestoreFont(); }
    HDC Handle() const { return dc_; }
    void SetHandle(HDC dc) {
        RestoreFont();
        dc_ = dc;
    }

    TColor BrushColor = clWhite;
    TBrushStyle BrushStyle = TBrushStyle::Solid;
    TFont Font;
    // Changes Font without deleting a font that the DC still has selected.
    void SetFont(const TFont& font) {
        RestoreFont();
        Font = font;
    }
    // Puts the DC's own font back, so that Font's GDI font may go.
    void RestoreFont() {
        if (dc_ && originalFont_) SelectObject(dc_, originalFont_);
        originalFont_ = nullptr;
    }

    void FillRect(const RECT& rect);
    void Draw(int x, int y, const TBitmap& bitmap);
    void StretchDraw(const RECT& rect, const TBitmap& bitmap);
    void CopyRect(const RECT& dest, HDC source, const RECT& sourceRect, DWORD rop = SRCCOPY);
    int TextWidth(const std::wstring& text);
    int TextHeight(const std::wstring& text);
    void TextRect(const RECT& rect, int x, int y, const std::wstring& text);
    // A label's text: one line at rect's corner, "&" marking an access key, nothing behind it.
    void DrawText(const RECT& rect, const std::wstring& text);
    SIZE DrawTextSize(const std::wstring& text);
    void DrawFocusRect(const RECT& rect);
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }
private:
    void SelectFont();
    HDC dc_ = nullptr;
    HGDIOBJ originalFont_ = nullptr;
};

// A picture: a device-independent bitmap held as a DIB section, with a canvas on demand.
class TBitmap : public TObject {
public:
    TBitmap() = default;
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    bool Empty() const { return width_ == 0 || height_ == 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitsPerPixel() const { return bitsPerPixel_; }
    bool Monochrome() const { return monochrome_; }

    void Assign(const TBitmap& source);
    void Assign(const core::Bitmap& picture);
    core::Bitmap ToCore() const;
    void Clear();
    // A blank picture of this size in the screen's colour format.
    void SetSize(int width, int height);
    // A 1-bit device bitmap: black is 0, white is 1.
    void MakeMonochrome(int width, int height);

    // The stored form: a 32-bit byte count followed by a complete .bmp file.
    void LoadFromStoredData(TStream& stream);
    void SaveToStoredData(TStream& stream) const;
    void LoadFromResource(const std::wstring& name);

    HBITMAP Handle() const { return handle_.Get(); }
    TCanvas& Canvas();
    // Draws the picture stretched over rect of dc.
    void StretchTo(HDC dc, const RECT& rect, DWORD rop = SRCCOPY) const;

private:
    void ReleaseCanvas();
    void Adopt(HBITMAP handle, int width, int height, int bitsPerPixel, std::vector<uint8_t> info);
    BitmapHandle handle_;
    std::vector<uint8_t> info_;  // BITMAPINFO (header and colour table) of a DIB section
    void* bits_ = nullptr;
    int width_ = 0, height_ = 0, bitsPerPixel_ = 0;
    bool monochrome_ = false;
    std::unique_ptr<MemoryDC> dc_;
    std::unique_ptr<TCanvas> canvas_;
};

}  // namespace forms
