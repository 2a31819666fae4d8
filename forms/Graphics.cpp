#include "forms/Graphics.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "forms/Exceptions.h"
#include "forms/Properties.h"
#include "forms/Streaming.h"
#include "forms/Text.h"

namespace forms {

MemoryDC::~MemoryDC() {
    if (original_) SelectObject(dc_, original_);
    DeleteDC(dc_);
}

void MemoryDC::Select(HBITMAP bitmap) {
    HGDIOBJ previous = SelectObject(dc_, bitmap);
    if (!original_) original_ = previous;
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
    HGDIOBJ previous = SelectObject(dc_, Font.Handle());
    if (!originalFont_) originalFont_ = previous;
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
    int oldMode = SetBkMode(dc_, BrushStyle == TBrushStyle::Clear ? TRANSPARENT : OPAQUE);
    SetBkColor(dc_, ColorToRGB(BrushColor));
    ExtTextOutW(dc_, x, y, ETO_CLIPPED | (BrushStyle == TBrushStyle::Clear ? 0 : ETO_OPAQUE), &rect, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
    SetBkMode(dc_, oldMode);
}

void TCanvas::DrawText(const RECT& rect, const std::wstring& text) {
    SelectFont();
    int oldMode = SetBkMode(dc_, TRANSPARENT);
    RECT area = rect;
    ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &area, DT_SINGLELINE | DT_NOCLIP);
    SetBkMode(dc_, oldMode);
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
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + palette.size() * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = picture.Width();
    header->biHeight = picture.Height();  // bottom-up, as stored in files
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(picture.BitsPerPixel());
    header->biCompression = BI_RGB;
    header->biClrUsed = static_cast<DWORD>(palette.size());
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
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width_;
    header->biHeight = -height_;  // top-down, as core rows are
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bits);
    header->biCompression = BI_RGB;
    std::vector<uint8_t> pixels(picture.Stride() * static_cast<size_t>(height_));
    HDC screen = GetDC(nullptr);
    // GetDIBits wants the bitmap out of every DC.
    const_cast<TBitmap*>(this)->ReleaseCanvas();
    GetDIBits(screen, handle_.Get(), 0, static_cast<UINT>(height_), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (int y = 0; y < height_; ++y)
        std::memcpy(picture.Row(y), pixels.data() + static_cast<size_t>(y) * picture.Stride(), picture.Stride());
    if (bits <= 8) {
        size_t colors = info_.size() > sizeof(BITMAPINFOHEADER)
                            ? (info_.size() - sizeof(BITMAPINFOHEADER)) / sizeof(RGBQUAD)
                            : size_t{1} << bits;
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
    Adopt(CreateBitmap(width, height, 1, 1, nullptr), width, height, 1, {});
    monochrome_ = handle_.Get() != nullptr;
}

void TBitmap::LoadFromStoredData(TStream& stream) {
    uint32_t length = 0;
    stream.ReadBuffer(&length, 4);
    if (length > stream.Size() - stream.Position()) throw EInvalidGraphic(L"ビットマップのデータが不正です");
    std::vector<uint8_t> file(length);
    stream.ReadBuffer(file.data(), length);
    if (length == 0) {
        Clear();
        return;
    }
    try {
        Assign(core::Bitmap::FromFile(file));
    } catch (const core::BitmapError& e) {
        throw EInvalidGraphic(L"ビットマップのデータが不正です: " + Widen(e.what()));
    }
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
        int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, rect.left, rect.top, width, height, 0, 0, width_, height_, bits_,
                      reinterpret_cast<const BITMAPINFO*>(info_.data()), DIB_RGB_COLORS, rop);
        SetStretchBltMode(dc, oldMode);
        return;
    }
    HDC source = const_cast<TBitmap*>(this)->Canvas().Handle();
    StretchBlt(dc, rect.left, rect.top, width, height, source, 0, 0, width_, height_, rop);
}

}  // namespace forms
