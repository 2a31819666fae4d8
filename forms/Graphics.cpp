#include "forms/Graphics.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

#include "forms/Exceptions.h"
#include "forms/Properties.h"
#include "forms/ScratchArena.h"
#include "forms/Streaming.h"
#include "forms/Text.h"

namespace forms {

std::vector<uint8_t> MakeBitmapInfo(int width, int height, int bitsPerPixel, size_t colours) {
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bitsPerPixel);
    header->biCompression = BI_RGB;
    header->biClrUsed = static_cast<DWORD>(colours);
    return info;
}

COLORREF ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0xFFFFFF;
}

namespace {
const std::map<std::string, TColor, std::less<>>& ColorNames() {
    static const std::map<std::string, TColor, std::less<>> names = {
        {"clBlack", clBlack},         {"clWhite", clWhite},           {"clGray", clGray},
        {"clSilver", clSilver},       {"clRed", clRed},               {"clBlue", clBlue},
        {"clNavy", clNavy},           {"clFuchsia", clFuchsia},       {"clNone", clNone},
        {"clDefault", clDefault},     {"clScrollBar", clScrollBar},   {"clBackground", clBackground},
        {"clWindow", clWindow},       {"clWindowText", clWindowText}, {"clBtnFace", clBtnFace},
        {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText},     {"clBtnText", clBtnText},
        {"clBtnHighlight", clBtnHighlight},
        {"clMaroon", 0x000080},       {"clGreen", 0x008000},          {"clOlive", 0x008080},
        {"clPurple", 0x800080},       {"clTeal", 0x808000},           {"clLime", 0x00FF00},
        {"clYellow", 0x00FFFF},       {"clAqua", 0xFFFF00},
    };
    return names;
}
}  // namespace

bool IdentToColor(std::string_view name, TColor& color) {
    auto it = ColorNames().find(name);
    if (it == ColorNames().end()) return false;
    color = it->second;
    return true;
}

std::string ColorToIdent(TColor color) {
    for (const auto& [name, value] : ColorNames())
        if (value == color) return name;
    return {};
}

HFONT TFont::Handle() const {
    if (!handle_) {
        LOGFONTW font{};
        font.lfHeight = Height;
        font.lfWeight = Bold ? FW_BOLD : FW_NORMAL;
        font.lfItalic = Italic;
        font.lfUnderline = Underline;
        font.lfStrikeOut = StrikeOut;
        font.lfCharSet = Charset;
        font.lfQuality = DEFAULT_QUALITY;
        wcsncpy(font.lfFaceName, Name.c_str(), LF_FACESIZE - 1);
        handle_.Reset(CreateFontIndirectW(&font));
    }
    return handle_.Get();
}

bool TFont::operator==(const TFont& other) const {
    return Name == other.Name && Height == other.Height && Color == other.Color && Charset == other.Charset &&
           Bold == other.Bold && Italic == other.Italic && Underline == other.Underline &&
           StrikeOut == other.StrikeOut;
}

TColor ReadColor(const TReader& reader, const core::LayoutValue& value) {
    if (std::holds_alternative<int64_t>(value)) return static_cast<TColor>(reader.Integer(value));
    TColor color;
    if (!IdentToColor(reader.Ident(value), color)) reader.InvalidValue();
    return color;
}

void WriteColor(TWriter& writer, const std::string& name, TColor color) {
    std::string ident = ColorToIdent(color);
    if (ident.empty()) writer.Integer(name, color);
    else writer.Ident(name, ident);
}

const TPropertyTable<TFont>& TFont::StoredProperties() {
    using P = TProperties<TFont>;
    static constexpr std::pair<std::string_view, uint8_t> charsets[] = {
        {"ANSI_CHARSET", ANSI_CHARSET},         {"DEFAULT_CHARSET", DEFAULT_CHARSET},
        {"SYMBOL_CHARSET", SYMBOL_CHARSET},     {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET},
        {"HANGEUL_CHARSET", HANGEUL_CHARSET},   {"GB2312_CHARSET", GB2312_CHARSET},
        {"CHINESEBIG5_CHARSET", CHINESEBIG5_CHARSET}, {"OEM_CHARSET", OEM_CHARSET},
    };
    static constexpr std::pair<std::string_view, bool TFont::*> styles[] = {
        {"fsBold", &TFont::Bold}, {"fsItalic", &TFont::Italic}, {"fsUnderline", &TFont::Underline},
        {"fsStrikeOut", &TFont::StrikeOut}};
    static const TPropertyTable<TFont> table(nullptr, {
        P::Ident<uint8_t>("Charset", charsets, &TFont::Charset),
        P::Color("Color", &TFont::Color),
        P::Integer("Height", &TFont::Height),
        P::String("Name", &TFont::Name),
        P::Custom(
            "Style",
            [](TFont& font, const core::LayoutValue& value, TReader& reader) {
                const std::vector<std::string>& names = reader.Set(value);
                for (const auto& [name, flag] : styles)
                    font.*flag = std::find(names.begin(), names.end(), name) != names.end();
            },
            [](const TFont& font, TWriter& writer, const std::string& name) {
                std::vector<std::string> names;
                for (const auto& [style, flag] : styles)
                    if (font.*flag) names.emplace_back(style);
                writer.Set(name, std::move(names));
            }),
    });
    return table;
}

void TCanvas::FillRect(const RECT& rect) {
    if (BrushStyle == TBrushStyle::Clear) return;
    BrushHandle brush(CreateSolidBrush(ColorToRGB(BrushColor)));
    ::FillRect(dc_, &rect, brush.Get());
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
    bitmap.StretchTo(dc_, RECT{x, y, x + bitmap.Width(), y + bitmap.Height()});
}

void TCanvas::StretchDraw(const RECT& rect, const TBitmap& bitmap) { bitmap.StretchTo(dc_, rect); }

void TCanvas::CopyRect(const RECT& dest, HDC source, const RECT& sourceRect, DWORD rop) {
    StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source, sourceRect.left,
               sourceRect.top, sourceRect.right - sourceRect.left, sourceRect.bottom - sourceRect.top, rop);
}

void TCanvas::SelectFont() {
    if (fontSelection_) fontSelection_->Select(Font.Handle());
    else fontSelection_.emplace(dc_, Font.Handle());
    SetTextColor(dc_, ColorToRGB(Font.Color));
}

int TCanvas::TextWidth(const std::wstring& text) {
    SelectFont();
    SIZE size{};
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int TCanvas::TextHeight(const std::wstring& text) {
    SelectFont();
    SIZE size{};
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    if (text.empty()) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc_, &metrics);
        return metrics.tmHeight;
    }
    return size.cy;
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const std::wstring& text) {
    SelectFont();
    SavedDC saved(dc_);
    SetBkMode(dc_, BrushStyle == TBrushStyle::Clear ? TRANSPARENT : OPAQUE);
    SetBkColor(dc_, ColorToRGB(BrushColor));
    ExtTextOutW(dc_, x, y, ETO_CLIPPED | (BrushStyle == TBrushStyle::Clear ? 0 : ETO_OPAQUE), &rect, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
}

void TCanvas::DrawText(const RECT& rect, const std::wstring& text) {
    SelectFont();
    SavedDC saved(dc_);
    SetBkMode(dc_, TRANSPARENT);
    RECT area = rect;
    ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &area, DT_SINGLELINE | DT_NOCLIP);
}

SIZE TCanvas::DrawTextSize(const std::wstring& text) {
    SelectFont();
    RECT area{0, 0, 0, 0};
    ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &area, DT_SINGLELINE | DT_CALCRECT);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

void TCanvas::DrawFocusRect(const RECT& rect) { ::DrawFocusRect(dc_, &rect); }

TBitmap::~TBitmap() { ReleaseCanvas(); }

void TBitmap::ReleaseCanvas() {
    canvas_.reset();
    dc_.reset();
}

void TBitmap::Adopt(HBITMAP handle, int width, int height, int bitsPerPixel, std::vector<uint8_t> info) {
    ReleaseCanvas();
    handle_.Reset(handle);
    width_ = handle ? width : 0;
    height_ = handle ? height : 0;
    bitsPerPixel_ = handle ? bitsPerPixel : 0;
    monochrome_ = false;
    info_ = std::move(info);
    bits_ = nullptr;
    DIBSECTION section{};
    if (handle && GetObjectW(handle, sizeof(section), &section) == sizeof(section)) bits_ = section.dsBm.bmBits;
}

void TBitmap::Clear() { Adopt(nullptr, 0, 0, 0, {}); }

void TBitmap::Assign(const core::Bitmap& picture) {
    if (picture.Empty()) {
        Clear();
        return;
    }
    const auto& palette = picture.Palette();
    // Bottom-up, as stored in files.
    std::vector<uint8_t> info = MakeBitmapInfo(picture.Width(), picture.Height(), picture.BitsPerPixel(), palette.size());
    if (!palette.empty()) std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), palette.data(), palette.size() * 4);
    void* bits = nullptr;
    HBITMAP handle = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits,
                                      nullptr, 0);
    if (!handle) throw EOutOfMemory(L"ビットマップを作成できません");
    for (int y = 0; y < picture.Height(); ++y)
        std::memcpy(static_cast<uint8_t*>(bits) + static_cast<size_t>(picture.Height() - 1 - y) * picture.Stride(),
                    picture.Row(y), picture.Stride());
    Adopt(handle, picture.Width(), picture.Height(), picture.BitsPerPixel(), std::move(info));
}

void TBitmap::Assign(const TBitmap& source) {
    if (&source == this) return;
    if (source.Empty()) Clear();
    else if (source.monochrome_) {
        MakeMonochrome(source.width_, source.height_);
        BitBlt(Canvas().Handle(), 0, 0, width_, height_, const_cast<TBitmap&>(source).Canvas().Handle(), 0, 0,
               SRCCOPY);
    } else {
        Assign(source.ToCore());
    }
}

core::Bitmap TBitmap::ToCore() const {
    if (Empty()) return {};
    int bits = monochrome_ ? 1 : bitsPerPixel_;
    core::Bitmap picture(width_, height_, bits);
    // Top-down, as core rows are; the platform fills in the colour table.
    std::vector<uint8_t> info = MakeBitmapInfo(width_, -height_, bits, bits <= 8 ? size_t{1} << bits : 0);
    std::vector<uint8_t> pixels(picture.Stride() * static_cast<size_t>(height_));
    WindowDC screen(nullptr);
    // GetDIBits wants the bitmap out of every DC.
    const_cast<TBitmap*>(this)->ReleaseCanvas();
    GetDIBits(screen.Get(), handle_.Get(), 0, static_cast<UINT>(height_), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    for (int y = 0; y < height_; ++y)
        std::memcpy(picture.Row(y), pixels.data() + static_cast<size_t>(y) * picture.Stride(), picture.Stride());
    if (bits <= 8) {
        size_t table = size_t{1} << bits;
        size_t colors = info_.size() > sizeof(BITMAPINFOHEADER)
                            ? std::min((info_.size() - sizeof(BITMAPINFOHEADER)) / sizeof(RGBQUAD), table)
                            : table;
        picture.Palette().resize(colors);
        std::memcpy(picture.Palette().data(), info.data() + sizeof(BITMAPINFOHEADER), colors * 4);
    }
    return picture;
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_ && !monochrome_ && bitsPerPixel_ == 32) return;
    if (width <= 0 || height <= 0) {
        Clear();
        return;
    }
    Assign(core::Bitmap(width, height, 32));
}

void TBitmap::MakeMonochrome(int width, int height) {
    if (monochrome_ && width == width_ && height == height_) return;
    Adopt(CreateBitmap(width, height, 1, 1, nullptr), width, height, 1, {});
    monochrome_ = handle_.Get() != nullptr;
}

COLORREF TBitmap::BottomLeftColor() const {
    return Empty() ? CLR_INVALID : const_cast<TBitmap*>(this)->Canvas().Pixel(0, height_ - 1);
}

void TBitmap::LoadFromStoredData(TStream& stream) {
    uint32_t length = 0;
    stream.ReadBuffer(&length, 4);
    if (length > stream.Size() - stream.Position()) throw EInvalidGraphic(L"ビットマップのデータが不正です");
    if (length == 0) {
        Clear();
        return;
    }
    std::optional<core::Bitmap> picture;
    {
        // The file's copy and the decoded pixels live only until the DIB section is made.
        TScratchScope scratch;
        std::vector<uint8_t> file(length);
        stream.ReadBuffer(file.data(), length);
        try {
            picture = core::Bitmap::FromFile(file);
        } catch (const core::BitmapError& e) {
            throw EInvalidGraphic(L"ビットマップのデータが不正です: " + Widen(e.what()));
        }
    }
    Assign(*picture);
}

void TBitmap::SaveToStoredData(TStream& stream) const {
    std::vector<uint8_t> file = Empty() ? std::vector<uint8_t>{} : ToCore().ToFile();
    uint32_t length = static_cast<uint32_t>(file.size());
    stream.WriteBuffer(&length, 4);
    stream.WriteBuffer(file.data(), length);
}

void TBitmap::LoadFromResource(const std::wstring& name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(2));  // RT_BITMAP
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    const uint8_t* bytes = data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
    if (!bytes) throw EResNotFound(L"リソース " + name + L" が見つかりません");
    // A bitmap resource is a .bmp file without its 14-byte file header.
    DWORD size = SizeofResource(module, info);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
    DWORD colors = header->biClrUsed ? header->biClrUsed : (header->biBitCount <= 8 ? 1u << header->biBitCount : 0u);
    std::vector<uint8_t> file(14 + size);
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfSize = static_cast<DWORD>(file.size());
    fileHeader.bfOffBits = 14 + header->biSize + colors * 4;
    std::memcpy(file.data(), &fileHeader, 14);
    std::memcpy(file.data() + 14, bytes, size);
    try {
        Assign(core::Bitmap::FromFile(file));
    } catch (const core::BitmapError& e) {
        throw EInvalidGraphic(Widen(e.what()));
    }
}

TCanvas& TBitmap::Canvas() {
    if (!canvas_) {
        dc_ = std::make_unique<MemoryDC>();
        if (handle_) dc_->Select(handle_.Get());
        canvas_ = std::make_unique<TCanvas>();
        canvas_->SetHandle(dc_->Get());
    }
    return *canvas_;
}

void TBitmap::StretchTo(HDC dc, const RECT& rect, DWORD rop) const {
    if (Empty()) return;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (bits_ && !info_.empty()) {
        GdiFlush();
        SavedDC saved(dc);
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, rect.left, rect.top, width, height, 0, 0, width_, height_, bits_,
                      reinterpret_cast<const BITMAPINFO*>(info_.data()), DIB_RGB_COLORS, rop);
        return;
    }
    HDC source = const_cast<TBitmap*>(this)->Canvas().Handle();
    StretchBlt(dc, rect.left, rect.top, width, height, source, 0, 0, width_, height_, rop);
}

void MakeKeyMask(const TBitmap& picture, int width, int height, COLORREF key, TBitmap& mask,
                 TBitmap& maskedImage) {
    // The colours at the wanted size: a paletted picture would be compared by palette index.
    TBitmap colours;
    const TBitmap* source = &picture;
    if (picture.Width() != width || picture.Height() != height || picture.BitsPerPixel() <= 8) {
        colours.SetSize(width, height);
        picture.StretchTo(colours.Canvas().Handle(), RECT{0, 0, width, height});
        source = &colours;
    }
    HDC sourceDC = const_cast<TBitmap*>(source)->Canvas().Handle();
    mask.MakeMonochrome(width, height);
    {
        SavedDC saved(sourceDC);
        SetBkColor(sourceDC, key);
        BitBlt(mask.Canvas().Handle(), 0, 0, width, height, sourceDC, 0, 0, SRCCOPY);
    }
    maskedImage.SetSize(width, height);
    HDC image = maskedImage.Canvas().Handle();
    BitBlt(image, 0, 0, width, height, sourceDC, 0, 0, SRCCOPY);
    BitBlt(image, 0, 0, width, height, mask.Canvas().Handle(), 0, 0, ropDestAndNotSource);
}

void TKeyedImage::Build(const TBitmap& picture, COLORREF key) {
    MakeKeyMask(picture, picture.Width(), picture.Height(), key, mask_, image_);
}

void TKeyedImage::Draw(HDC dc, const RECT& rect, TBitmap& buffer) const {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (Empty() || width <= 0 || height <= 0) return;
    buffer.SetSize(width, height);
    HDC back = buffer.Canvas().Handle();
    RECT whole{0, 0, width, height};
    BitBlt(back, 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY);
    mask_.StretchTo(back, whole, SRCAND);
    image_.StretchTo(back, whole, SRCINVERT);
    BitBlt(dc, rect.left, rect.top, width, height, back, 0, 0, SRCCOPY);
}

IconHandle MakeIcon(const TBitmap& picture, int width, int height) {
    TBitmap mask, colour;
    MakeKeyMask(picture, width, height, picture.BottomLeftColor(), mask, colour);
    // The system selects them into DCs of its own to copy them.
    mask.ReleaseCanvas();
    colour.ReleaseCanvas();
    ICONINFO info{TRUE, 0, 0, mask.Handle(), colour.Handle()};
    GdiFlush();
    IconHandle icon(CreateIconIndirect(&info));
    if (!icon) throw EOutOfMemory(L"アイコンを作成できません");
    return icon;
}

namespace {

struct IconImageEntry {
    int width, height;
    size_t offset, size;
};

uint32_t ReadLittle(const std::vector<uint8_t>& bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<size_t>(i)];
    return value;
}

// The first image named by an icon file's directory; throws when the file cannot hold it.
IconImageEntry FirstIconImage(const std::vector<uint8_t>& file) {
    const EInvalidGraphic invalid(L"アイコンイメージが無効です");
    if (file.size() < 6 + 16 || ReadLittle(file, 0, 2) != 0 || ReadLittle(file, 2, 2) != 1 ||
        ReadLittle(file, 4, 2) == 0)
        throw invalid;
    IconImageEntry entry{file[6] ? file[6] : 256, file[7] ? file[7] : 256, ReadLittle(file, 18, 4),
                         ReadLittle(file, 14, 4)};
    if (entry.size == 0 || entry.offset > file.size() || entry.size > file.size() - entry.offset) throw invalid;
    return entry;
}

}  // namespace

void TIcon::Changed() {
    if (OnChange) OnChange(this);
}

void TIcon::Clear() {
    handle_.Reset();
    file_.clear();
    width_ = height_ = 0;
    Changed();
}

void TIcon::Assign(const TIcon& source) {
    if (&source == this) return;
    if (source.Empty()) Clear();
    else LoadFromFileBytes(source.file_);
}

void TIcon::LoadFromFileBytes(std::vector<uint8_t> file) {
    IconImageEntry entry = FirstIconImage(file);
    std::vector<uint8_t> image(file.begin() + static_cast<ptrdiff_t>(entry.offset),
                               file.begin() + static_cast<ptrdiff_t>(entry.offset + entry.size));
    HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000,
                                          entry.width, entry.height, LR_DEFAULTCOLOR);
    if (!icon) throw EInvalidGraphic(L"アイコンイメージが無効です");
    handle_.Reset(icon);
    file_ = std::move(file);
    width_ = entry.width;
    height_ = entry.height;
    Changed();
}

void TIcon::LoadFromStoredData(TStream& stream) {
    std::vector<uint8_t> file(static_cast<size_t>(stream.Size() - stream.Position()));
    stream.ReadBuffer(file.data(), static_cast<int64_t>(file.size()));
    if (file.empty()) Clear();
    else LoadFromFileBytes(std::move(file));
}

void TIcon::SaveToStoredData(TStream& stream) const {
    stream.WriteBuffer(file_.data(), static_cast<int64_t>(file_.size()));
}

}  // namespace forms
