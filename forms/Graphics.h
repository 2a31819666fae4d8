#pragma once
// GDI handles with one owner each, colours, fonts, canvases and bitmaps.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/Bitmap.h"
#include "forms/Classes.h"
#include "forms/Handles.h"

namespace forms {

// A memory device context, deleted with its owner; restores what it had selected.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {}
    HDC Get() const { return dc_.Get(); }
    void Select(HBITMAP bitmap) {
        if (selected_) selected_->Select(bitmap);
        else selected_.emplace(dc_.Get(), bitmap);
    }
private:
    DCHandle dc_;
    std::optional<SelectedObject> selected_;  // declared after the DC: it goes first
};

// A raster operation that the platform leaves unnamed (D: destination, S: source).
constexpr DWORD ropDestAndNotSource = 0x00220326;  // D & ~S: clears where the source is set

// A BITMAPINFO block: the header of an uncompressed picture, then room for `colours` table
// entries. A negative height stores the rows top-down.
std::vector<uint8_t> MakeBitmapInfo(int width, int height, int bitsPerPixel, size_t colours = 0);

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
    void RestoreFont() { fontSelection_.reset(); }

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
    std::optional<SelectedObject> fontSelection_;
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
    // The colour of the bottom-left pixel: the key colour of a keyed picture.
    COLORREF BottomLeftColor() const;

    // The stored form: a 32-bit byte count followed by a complete .bmp file.
    void LoadFromStoredData(TStream& stream);
    void SaveToStoredData(TStream& stream) const;
    void LoadFromResource(const std::wstring& name);

    HBITMAP Handle() const { return handle_.Get(); }
    TCanvas& Canvas();
    // Draws the picture stretched over rect of dc.
    void StretchTo(HDC dc, const RECT& rect, DWORD rop = SRCCOPY) const;
    // Takes the picture out of its canvas's DC, for calls that select it into one of theirs.
    void ReleaseCanvas();

private:
    void Adopt(HBITMAP handle, int width, int height, int bitsPerPixel, std::vector<uint8_t> info);
    BitmapHandle handle_;
    std::vector<uint8_t> info_;  // BITMAPINFO (header and colour table) of a DIB section
    void* bits_ = nullptr;
    int width_ = 0, height_ = 0, bitsPerPixel_ = 0;
    bool monochrome_ = false;
    std::unique_ptr<MemoryDC> dc_;
    std::unique_ptr<TCanvas> canvas_;
};

// Splits a picture by a key colour after stretching it to width x height: `mask` (1-bit) is 1
// where the picture shows the key, `maskedImage` is the picture with those pixels black.
// Colours are compared, so two palette entries of one colour both count as the key. Together
// they are what an icon or a transparent drawing needs.
void MakeKeyMask(const TBitmap& picture, int width, int height, COLORREF key, TBitmap& mask,
                 TBitmap& maskedImage);
// An icon of width x height made from a picture; its key-colour pixels are transparent.
IconHandle MakeIcon(const TBitmap& picture, int width, int height);

// A picture prepared for drawing without its key colour: the two halves of MakeKeyMask, so
// that AND with the mask and XOR with the masked image leave the background wherever the key
// was.
class TKeyedImage {
public:
    // Prepares `picture` with `key` (by default its bottom-left colour) as the colour to leave out.
    void Build(const TBitmap& picture, COLORREF key);
    void Build(const TBitmap& picture) { Build(picture, picture.BottomLeftColor()); }
    bool Empty() const { return mask_.Empty(); }
    const TBitmap& Mask() const { return mask_; }
    const TBitmap& Image() const { return image_; }
    // Draws the picture stretched over rect of dc, the key showing what dc showed before.
    // Composes in buffer first, so dc changes in one transfer.
    void Draw(HDC dc, const RECT& rect, TBitmap& buffer) const;
private:
    TBitmap mask_;
    TBitmap image_;
};
// An icon picture, kept as its icon file (the stored form) and shown through the icon made
// from the file's first image.
class TIcon : public TObject {
public:
    TIcon() = default;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;

    bool Empty() const { return !handle_; }
    HICON Handle() const { return handle_.Get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<uint8_t>& FileBytes() const { return file_; }

    void Assign(const TIcon& source);
    void Clear();
    // An .ico file; bad data raises EInvalidGraphic and leaves the icon as it was.
    void LoadFromFileBytes(std::vector<uint8_t> file);
    // The stored form is the icon file itself.
    void LoadFromStoredData(TStream& stream);
    void SaveToStoredData(TStream& stream) const;

    // Called after every change of the picture.
    TNotifyEvent OnChange;

private:
    void Changed();
    IconHandle handle_;
    std::vector<uint8_t> file_;
    int width_ = 0, height_ = 0;
};

}  // namespace forms
