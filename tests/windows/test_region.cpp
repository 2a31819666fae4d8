// Sprite frames and the window region list on real windows and real GDI regions.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "components/Region.h"
#include "forms/Streaming.h"
#include "support/WinTest.h"

using components::TRgn;
using components::TRgnList;
using wintest::Placed;
using wintest::Raise;
using wintest::Raised;

namespace {

// Palette of the test pictures: index 0 is the key (magenta), then red, blue, green, and at 4 a
// second magenta that is not the key.
const std::vector<core::PaletteEntry> kPalette = {
    {255, 0, 255, 0}, {0, 0, 255, 0}, {255, 0, 0, 0}, {0, 160, 0, 0}, {255, 0, 255, 0}};
constexpr COLORREF kKeyColor = RGB(255, 0, 255);
constexpr COLORREF kBackground = RGB(0, 128, 128);

COLORREF PaletteColor(uint8_t index) {
    const core::PaletteEntry& e = kPalette.at(index);
    return RGB(e.red, e.green, e.blue);
}

// An 8-bit picture from a text map: '.' is index 0, 'A' 1, 'B' 2, 'C' 3, 'm' 4.
core::Bitmap Picture(const std::vector<std::string>& rows) {
    core::Bitmap picture(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), 8, kPalette);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            char c = rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            picture.SetIndex(x, y, c == '.' ? 0 : c == 'A' ? 1 : c == 'B' ? 2 : c == 'C' ? 3 : 4);
        }
    return picture;
}

// A 40 x 40 sprite: a ring with a body, different for each seed; the bottom row is key.
core::Bitmap Sprite(int seed) {
    std::vector<std::string> rows(40, std::string(40, '.'));
    for (int y = 0; y < 39; ++y)
        for (int x = 0; x < 40; ++x) {
            int dx = x - 20 - seed % 5, dy = y - 18;
            int d = dx * dx + dy * dy;
            if (d < 14 * 14 && d > 4 * 4 + seed) rows[y][x] = (x + y + seed) % 3 == 0 ? 'B' : 'A';
            if (y > 30 && (x + seed) % 7 < 3 && x > 8 && x < 32) rows[y][x] = 'C';
        }
    return Picture(rows);
}

core::LayoutBytes StoredPicture(const core::Bitmap& picture) {
    std::vector<uint8_t> file = picture.ToFile();
    auto length = static_cast<uint32_t>(file.size());
    core::LayoutBytes bytes(4);
    std::memcpy(bytes.data(), &length, 4);
    bytes.insert(bytes.end(), file.begin(), file.end());
    return bytes;
}

std::vector<uint8_t> Outline(core::Bitmap picture) { return core::ComputeRgnData(picture); }
std::vector<core::Rect> OutlineRects(const core::Bitmap& picture) { return core::DecodeRgnData(Outline(picture)); }

// The union of two outlines in banded order, worked out without GDI.
std::vector<core::Rect> Union(std::vector<core::Rect> a, const std::vector<core::Rect>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return core::BandRuns(a);
}

core::LayoutProperty Prop(std::string name, core::LayoutValue value) { return {std::move(name), std::move(value)}; }
core::LayoutValue Int(int value) { return static_cast<int64_t>(value); }

// A frame with its picture and the outline a designer would have stored.
core::LayoutObject FrameLayout(const std::string& name, int left, int top, int width, int height,
                               const core::Bitmap& picture, std::vector<core::LayoutProperty> extra = {}) {
    core::LayoutObject frame{name, "TRgn", {}, {}};
    frame.properties = {Prop("Left", Int(left)), Prop("Top", Int(top)), Prop("Width", Int(width)),
                        Prop("Height", Int(height))};
    for (auto& p : extra) frame.properties.push_back(std::move(p));
    frame.properties.push_back(Prop("RgnBitmap.Data", StoredPicture(picture)));
    frame.properties.push_back(Prop("RgnData", Outline(picture)));
    return frame;
}

core::LayoutObject ListLayout(bool autoClear = true) {
    core::LayoutObject list{"RgnList1", "TRgnList", {}, {}};
    if (!autoClear) list.properties.push_back(Prop("AutoClear", wintest::Ident("False")));
    return list;
}

core::LayoutObject FormLayout(std::vector<core::LayoutObject> children) {
    core::LayoutObject form{"RegionForm", "TForm", {}, {}};
    form.properties = {Prop("Left", Int(100)), Prop("Top", Int(100)), Prop("Width", Int(160)),
                       Prop("Height", Int(120)), Prop("Caption", std::string("region"))};
    form.children = std::move(children);
    return form;
}

// A 32-bit memory surface filled with one colour, to paint frames into.
class Surface {
public:
    Surface(int width, int height, COLORREF fill) {
        std::vector<uint8_t> info = forms::MakeBitmapInfo(width, -height, 32);
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits,
                                       nullptr, 0));
        dc_.Select(bitmap_.Get());
        forms::BrushHandle brush(CreateSolidBrush(fill));
        RECT all{0, 0, width, height};
        FillRect(dc_.Get(), &all, brush.Get());
    }
    HDC Dc() const { return dc_.Get(); }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_.Get(), x, y); }
private:
    forms::BitmapHandle bitmap_;
    forms::MemoryDC dc_;  // goes first, giving the bitmap back
};

class RegionTest : public wintest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        components::InitializeRegionUnit();
    }
    wintest::TLayoutForm* Load(const core::LayoutObject& layout) {
        auto form = std::make_unique<wintest::TLayoutForm>(app);
        form->Load(layout);
        return form.release();
    }
    // The error that loading the layout raises.
    Raised LoadError(const core::LayoutObject& layout) {
        auto form = std::make_unique<wintest::TLayoutForm>(app);
        return Raise([&] { form->Load(layout); });
    }
    static TRgn* FrameOf(forms::TComponent* form, const wchar_t* name) {
        return dynamic_cast<TRgn*>(form->FindComponent(name));
    }
    static TRgnList* ListOf(forms::TComponent* form) {
        return dynamic_cast<TRgnList*>(form->FindComponent(L"RgnList1"));
    }
    // A frame made at run time on the form, outlined from its picture.
    static TRgn* RuntimeFrame(forms::TWinControl* form, const core::Bitmap& picture, int left, int top) {
        auto* frame = new TRgn(form);
        frame->SetParent(form);
        frame->SetBounds(left, top, picture.Width(), picture.Height());
        forms::TBitmap bitmap;
        bitmap.Assign(picture);
        frame->SetRgnBmp(&bitmap);
        frame->UpdateRgn();
        return frame;
    }
};

// ---- the stored outlines of the four character windows ----

void CollectFrames(const core::LayoutObject& object, std::vector<const core::LayoutObject*>& frames) {
    for (const core::LayoutObject& child : object.children) {
        if (child.className == "TRgn") frames.push_back(&child);
        CollectFrames(child, frames);
    }
}

TEST(StoredOutlines, EveryFrameOfTheFourLayoutsIsWhatGdiBuildsFromItsRuns) {
    int before = wintest::LiveGdiObjects();
    for (const wchar_t* resource : {L"TFORM1", L"TFORM2", L"TFORM3", L"TFORM4"}) {
        core::LayoutObject layout = forms::TReader::LayoutResource(resource);
        std::vector<const core::LayoutObject*> frames;
        CollectFrames(layout, frames);
        EXPECT_EQ(frames.size(), 16u) << "in " << testing::PrintToString(std::wstring(resource));
        for (const core::LayoutObject* frame : frames) {
            SCOPED_TRACE(testing::Message() << frame->name << " of " << testing::PrintToString(std::wstring(resource)));
            const core::LayoutProperty* pictureData = frame->Find("RgnBitmap.Data");
            const core::LayoutProperty* rgnData = frame->Find("RgnData");
            ASSERT_NE(pictureData, nullptr);
            ASSERT_NE(rgnData, nullptr);
            const auto& stored = std::get<core::LayoutBytes>(pictureData->value);
            ASSERT_GE(stored.size(), 4u);
            uint32_t length = 0;
            std::memcpy(&length, stored.data(), 4);
            ASSERT_EQ(length, stored.size() - 4);
            core::Bitmap picture = core::Bitmap::FromFile(std::span(stored).subspan(4));
            EXPECT_EQ(picture.Width(), 40);
            EXPECT_EQ(picture.Height(), 40);
            picture.Normalise();
            std::vector<core::Rect> runs = core::ScanRuns(picture);
            std::vector<uint8_t> fromGdi = wintest::GdiOutline(picture);

            EXPECT_EQ(std::get<core::LayoutBytes>(rgnData->value), fromGdi);
            EXPECT_EQ(core::EncodeRgnData(core::BandRuns(runs)), fromGdi);
            size_t count = (fromGdi.size() - 32) / 16;
            EXPECT_GE(count, 25u);
            EXPECT_LE(count, 72u);
        }
    }
    EXPECT_EQ(wintest::LiveGdiObjects(), before);
}

// ---- TRgn ----

TEST_F(RegionTest, LoadedFramesAreOutlinedAtTheirPlaceAndScale) {
    core::Bitmap one = Sprite(1), two = Sprite(2), three = Sprite(3);
    core::LayoutObject layout = FormLayout({
        FrameLayout("Rgn1", 0, 0, 40, 40, one),
        FrameLayout("Rgn2", 7, 5, 80, 80, two),
        FrameLayout("Rgn3", 3, 4, 40, 40, three, {Prop("AutoSize", wintest::Ident("True"))}),
        FrameLayout("Rgn4", 10, 20, 80, 80, one, {Prop("AutoSize", wintest::Ident("True"))}),
    });
    auto* form = Load(layout);
    TRgn* rgn1 = FrameOf(form, L"Rgn1");
    TRgn* rgn2 = FrameOf(form, L"Rgn2");
    TRgn* rgn3 = FrameOf(form, L"Rgn3");
    TRgn* rgn4 = FrameOf(form, L"Rgn4");
    ASSERT_TRUE(rgn1 && rgn2 && rgn3 && rgn4);

    // The stored block is taken as it is, and turned into a region at load time.
    std::vector<uint8_t> stored = Outline(one);
    ASSERT_EQ(rgn1->RgnDataSize(), static_cast<int32_t>(stored.size()));
    EXPECT_EQ(std::vector<uint8_t>(rgn1->RgnData(), rgn1->RgnData() + rgn1->RgnDataSize()), stored);
    ASSERT_NE(rgn1->RegionHandle(), nullptr);
    EXPECT_EQ(wintest::RegionRects(rgn1->RegionHandle()), OutlineRects(one));
    EXPECT_TRUE(rgn1->Shown());
    EXPECT_EQ(rgn1->Parent(), form);

    // Stretched frames stretch their outline; offsets are the frame's place.
    ASSERT_NE(rgn2->RegionHandle(), nullptr);
    EXPECT_EQ(wintest::RegionRects(rgn2->RegionHandle()), Placed(OutlineRects(two), 7, 5, 2));

    // AutoSize holds the frame at its picture's size and the outline at scale 1.
    ASSERT_NE(rgn3->RegionHandle(), nullptr);
    EXPECT_EQ(wintest::RegionRects(rgn3->RegionHandle()), Placed(OutlineRects(three), 3, 4));
    rgn3->SetBounds(3, 4, 80, 80);
    EXPECT_EQ(rgn3->Width(), 40);
    EXPECT_EQ(rgn3->Height(), 40);
    ASSERT_NE(rgn4->RegionHandle(), nullptr);
    EXPECT_EQ(wintest::RegionRects(rgn4->RegionHandle()), Placed(OutlineRects(one), 10, 20));

    // Turning AutoSize on at run time resizes to the picture; off again, the size stays free.
    rgn2->SetAutoSize(true);
    EXPECT_EQ(rgn2->Width(), 40);
    EXPECT_EQ(rgn2->Height(), 40);
    rgn2->SetAutoSize(false);
    rgn2->SetBounds(7, 5, 120, 80);
    rgn2->UpdateRgn();
    std::vector<core::Rect> wide = OutlineRects(two);
    for (core::Rect& r : wide) r = {r.left * 3 + 7, r.top * 2 + 5, r.right * 3 + 7, r.bottom * 2 + 5};
    EXPECT_EQ(wintest::RegionRects(rgn2->RegionHandle()), wide);
    EXPECT_TRUE(reports.empty());
}

TEST_F(RegionTest, MovingAFrameLeavesItsOutlineUntilUpdateRgn) {
    core::Bitmap picture = Sprite(0);
    auto* form = Load(FormLayout({FrameLayout("Rgn1", 4, 6, 40, 40, picture)}));
    TRgn* frame = FrameOf(form, L"Rgn1");
    HRGN before = frame->RegionHandle();
    frame->SetBounds(50, 30, 40, 40);
    EXPECT_EQ(frame->RegionHandle(), before);
    EXPECT_EQ(wintest::RegionRects(frame->RegionHandle()), Placed(OutlineRects(picture), 4, 6));

    int live = wintest::LiveGdiObjects();
    frame->UpdateRgn();
    EXPECT_EQ(wintest::RegionRects(frame->RegionHandle()), Placed(OutlineRects(picture), 50, 30));
    // The old region went when the new one came.
    EXPECT_EQ(wintest::LiveGdiObjects(), live);
    // Rebuilding does not eat the stored data.
    frame->UpdateRgn();
    EXPECT_EQ(wintest::RegionRects(frame->RegionHandle()), Placed(OutlineRects(picture), 50, 30));
}

TEST_F(RegionTest, MissingOrDamagedOutlineDataIsRefused) {
    core::Bitmap picture = Sprite(4);

    // An empty stored block: the frame's own name, then the message.
    core::LayoutObject empty = FormLayout({FrameLayout("Rgn1", 0, 0, 40, 40, picture),
                                           FrameLayout("Rgn3", 0, 0, 40, 40, picture)});
    empty.FindChild("Rgn3")->Set("RgnData", core::LayoutBytes{});
    Raised raised = LoadError(empty);
    EXPECT_TRUE(raised.raised);
    EXPECT_EQ(raised.message, L"Rgn3 のﾘｰｼﾞｮﾝ情報がありません");

    // Outline data but no picture.
    core::LayoutObject noPicture = FormLayout({FrameLayout("Rgn2", 0, 0, 40, 40, picture)});
    auto& properties = noPicture.FindChild("Rgn2")->properties;
    std::erase_if(properties, [](const core::LayoutProperty& p) { return p.name == "RgnBitmap.Data"; });
    raised = LoadError(noPicture);
    EXPECT_TRUE(raised.raised);
    EXPECT_EQ(raised.message, L"Rgn2:RgnBitmap のﾋﾞｯﾄﾏｯﾌﾟが正しくありません");

    // A block that counts more rectangles than it holds is not handed to the platform.
    std::vector<uint8_t> block = Outline(picture);
    block[8] = static_cast<uint8_t>(block[8] + 3);
    core::LayoutObject corrupt = FormLayout({FrameLayout("Rgn5", 0, 0, 40, 40, picture)});
    corrupt.FindChild("Rgn5")->Set("RgnData", block);
    raised = LoadError(corrupt);
    EXPECT_TRUE(raised.raised);
    EXPECT_EQ(raised.message, L"ｳｨﾝﾄﾞｳﾘｰｼﾞｮﾝが作成できません");
    std::vector<uint8_t> cut = Outline(picture);
    cut.resize(cut.size() - 16);
    corrupt.FindChild("Rgn5")->Set("RgnData", cut);
    EXPECT_EQ(LoadError(corrupt).message, L"ｳｨﾝﾄﾞｳﾘｰｼﾞｮﾝが作成できません");

    // At run time: an empty picture leaves the outlined frame as it was.
    auto* form = Load(FormLayout({FrameLayout("Rgn1", 0, 0, 40, 40, picture)}));
    TRgn* frame = FrameOf(form, L"Rgn1");
    HRGN region = frame->RegionHandle();
    const uint8_t* data = frame->RgnData();
    frame->RgnBitmap()->Clear();
    raised = Raise([&] { frame->UpdateRgn(); });
    EXPECT_EQ(raised.message, L"Rgn1:RgnBitmap のﾋﾞｯﾄﾏｯﾌﾟが正しくありません");
    EXPECT_EQ(frame->RegionHandle(), region);
    EXPECT_EQ(frame->RgnData(), data);
    EXPECT_EQ(wintest::RegionRects(frame->RegionHandle()), OutlineRects(picture));

    // A damaged block read at run time: the old region is gone, the frame has none.
    forms::TBitmap bitmap;
    bitmap.Assign(picture);
    frame->RgnBitmap()->Assign(bitmap);
    forms::TMemoryStream stream(block);
    frame->ReadRgnData(stream);
    EXPECT_EQ(frame->RgnDataSize(), static_cast<int32_t>(block.size()));
    raised = Raise([&] { frame->UpdateRgn(); });
    EXPECT_EQ(raised.message, L"ｳｨﾝﾄﾞｳﾘｰｼﾞｮﾝが作成できません");
    EXPECT_EQ(frame->RegionHandle(), nullptr);
    // And no data at all: the frame's name comes first.
    forms::TMemoryStream nothing;
    frame->ReadRgnData(nothing);
    EXPECT_EQ(frame->RgnData(), nullptr);
    EXPECT_EQ(frame->RgnDataSize(), 0);
    EXPECT_EQ(Raise([&] { frame->UpdateRgn(); }).message, L"Rgn1 のﾘｰｼﾞｮﾝ情報がありません");
}

TEST_F(RegionTest, SetWndRgnHandsTheOutlineToTheParentOnce) {
    core::Bitmap picture = Sprite(2);
    auto* form = Load(FormLayout({FrameLayout("Rgn1", 5, 8, 40, 40, picture)}));
    TRgn* frame = FrameOf(form, L"Rgn1");
    HWND window = form->Handle();
    ASSERT_FALSE(wintest::WindowHasRegion(window));

    // Without a parent nothing changes.
    frame->SetParent(nullptr);
    frame->Transparent = true;
    frame->SetShown(false);
    HRGN region = frame->RegionHandle();
    Raised raised = Raise([&] { frame->SetWndRgn(); });
    EXPECT_TRUE(raised.raised);
    EXPECT_EQ(raised.message, L"Parentが設定されていません");
    EXPECT_EQ(frame->RegionHandle(), region);
    EXPECT_TRUE(frame->Transparent);
    EXPECT_FALSE(frame->Shown());
    EXPECT_EQ(form->BorderStyle(), forms::TBorderStyle::Sizeable);
    EXPECT_FALSE(wintest::WindowHasRegion(window));

    frame->SetParent(form);
    // The window may free a region it took at once or keep it until replaced: count at the end.
    int live = wintest::LiveGdiObjects();
    frame->SetWndRgn();
    EXPECT_EQ(frame->RegionHandle(), nullptr);
    EXPECT_TRUE(frame->Shown());
    EXPECT_FALSE(frame->Transparent);
    EXPECT_EQ(form->BorderStyle(), forms::TBorderStyle::None);
    EXPECT_EQ(form->BrushStyle(), forms::TBrushStyle::Clear);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0);
    EXPECT_EQ(wintest::WindowRegionRects(window), Placed(OutlineRects(picture), 5, 8));
    // The frame's data stays; only the handle went to the window.
    EXPECT_NE(frame->RgnData(), nullptr);

    // The second call passes no region: the whole window shows again.
    frame->SetWndRgn();
    EXPECT_FALSE(wintest::WindowHasRegion(window));
    EXPECT_EQ(wintest::LiveGdiObjects(), live - 1);
    EXPECT_TRUE(reports.empty());
}

TEST_F(RegionTest, AssigningAPictureRebuildsTheOutlineOrLeavesTheFrameBare) {
    core::Bitmap picture = Sprite(3);
    auto* form = Load(FormLayout({FrameLayout("Rgn1", 0, 0, 40, 40, picture)}));
    TRgn* frame = FrameOf(form, L"Rgn1");

    // Its own picture object: nothing happens.
    HRGN region = frame->RegionHandle();
    const uint8_t* data = frame->RgnData();
    HBITMAP pictureHandle = frame->RgnBitmap()->Handle();
    frame->SetRgnBmp(frame->RgnBitmap());
    EXPECT_EQ(frame->RegionHandle(), region);
    EXPECT_EQ(frame->RgnData(), data);
    EXPECT_EQ(frame->RgnBitmap()->Handle(), pictureHandle);

    // Another picture: new data at once, a region only after UpdateRgn.
    core::Bitmap other = Picture({"..AA.", "A.AAA", "....."});
    forms::TBitmap bitmap;
    bitmap.Assign(other);
    frame->SetRgnBmp(&bitmap);
    EXPECT_EQ(frame->RegionHandle(), nullptr);
    EXPECT_EQ(std::vector<uint8_t>(frame->RgnData(), frame->RgnData() + frame->RgnDataSize()), Outline(other));
    EXPECT_EQ(frame->RgnBitmap()->Width(), 5);
    EXPECT_TRUE(frame->MaskBitmap()->Empty());
    frame->SetBounds(0, 0, 10, 6);
    frame->UpdateRgn();
    EXPECT_EQ(wintest::RegionRects(frame->RegionHandle()), Placed(OutlineRects(other), 0, 0, 2));

    // An empty picture.
    forms::TBitmap empty;
    Raised raised = Raise<forms::EInvalidGraphic>([&] { frame->SetRgnBmp(&empty); });
    EXPECT_TRUE(raised.ofClass);
    EXPECT_EQ(raised.message, L"ﾋﾞｯﾄﾏｯﾌﾟが正しくｾｯﾄされていません");
    EXPECT_TRUE(frame->RgnBitmap()->Empty());
    EXPECT_EQ(frame->RgnData(), nullptr);
    EXPECT_EQ(frame->RgnDataSize(), 0);
    EXPECT_EQ(frame->RegionHandle(), nullptr);

    // 101 runs fill a row; one more pixel after them is too many, even a key pixel. The frame
    // that had an outline is left bare.
    std::string row;
    for (int i = 0; i < 101; ++i) row += "A.";
    core::Bitmap limit = Picture({row, std::string(row.size(), '.')});
    bitmap.Assign(limit);
    frame->SetRgnBmp(&bitmap);
    EXPECT_EQ(frame->RgnDataSize(), 32 + 16 * 101);
    frame->UpdateRgn();
    core::Bitmap tooMany = Picture({row + ".", std::string(row.size() + 1, '.')});
    bitmap.Assign(tooMany);
    raised = Raise<forms::EInvalidGraphic>([&] { frame->SetRgnBmp(&bitmap); });
    EXPECT_TRUE(raised.ofClass);
    EXPECT_EQ(raised.message, L"ﾋﾞｯﾄﾏｯﾌﾟの形状が不適です");
    EXPECT_TRUE(frame->RgnBitmap()->Empty());
    EXPECT_EQ(frame->RgnData(), nullptr);
    EXPECT_EQ(frame->RgnDataSize(), 0);
    EXPECT_EQ(frame->RegionHandle(), nullptr);
    EXPECT_FALSE(bitmap.Empty());  // the caller's picture is not touched
}

TEST_F(RegionTest, LowDepthPicturesBecomeEightBitAndTheLayoutStoresThem) {
    auto* form = Load(FormLayout({}));
    auto* frame = new TRgn(form);
    frame->SetName(L"Rgn1");
    frame->SetParent(form);
    auto* bare = new TRgn(form);
    bare->SetName(L"Rgn2");
    bare->SetParent(form);

    // 1-bit: index 1 opaque, the bottom-left pixel's index 0 the key.
    core::Bitmap mono(9, 4, 1, {{255, 255, 255, 0}, {0, 0, 0, 0}});
    for (int x = 0; x < 9; ++x) {
        mono.SetIndex(x, 0, x % 3 == 1);
        mono.SetIndex(x, 1, x > 2);
        mono.SetIndex(x, 2, x > 2);
    }
    // 4-bit: the key is index 5; index 6 has the same colour and still counts as opaque.
    std::vector<core::PaletteEntry> sixteen(16);
    sixteen[5] = sixteen[6] = {255, 0, 255, 0};
    sixteen[9] = {0, 0, 255, 0};
    core::Bitmap nibbles(7, 3, 4, sixteen);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) nibbles.SetIndex(x, y, y == 2 ? 5 : x < 2 ? 6 : x < 4 ? 9 : 5);

    for (const core::Bitmap* source : {&mono, &nibbles}) {
        SCOPED_TRACE(testing::Message() << source->BitsPerPixel() << "-bit");
        core::Bitmap expected = *source;
        expected.Normalise();
        ASSERT_EQ(expected.BitsPerPixel(), 8);
        forms::TBitmap bitmap;
        bitmap.Assign(*source);
        frame->SetBounds(0, 0, source->Width(), source->Height());
        frame->SetRgnBmp(&bitmap);
        EXPECT_EQ(bitmap.BitsPerPixel(), source->BitsPerPixel());
        EXPECT_EQ(frame->RgnBitmap()->BitsPerPixel(), 8);
        std::vector<uint8_t> outline = core::EncodeRgnData(core::BandRuns(core::ScanRuns(expected)));
        EXPECT_EQ(std::vector<uint8_t>(frame->RgnData(), frame->RgnData() + frame->RgnDataSize()), outline);

        core::LayoutObject written = forms::TWriter::WriteRoot(form);
        const core::LayoutObject* stored = written.FindChild("Rgn1");
        ASSERT_NE(stored, nullptr);
        const core::LayoutProperty* pictureData = stored->Find("RgnBitmap.Data");
        ASSERT_NE(pictureData, nullptr);
        const auto& bytes = std::get<core::LayoutBytes>(pictureData->value);
        core::Bitmap storedPicture = core::Bitmap::FromFile(std::span(bytes).subspan(4));
        EXPECT_EQ(storedPicture.BitsPerPixel(), 8);
        for (int y = 0; y < expected.Height(); ++y)
            for (int x = 0; x < expected.Width(); ++x)
                EXPECT_EQ(storedPicture.Index(x, y), expected.Index(x, y)) << x << "," << y;
        const core::LayoutProperty* rgnData = stored->Find("RgnData");
        ASSERT_NE(rgnData, nullptr);
        EXPECT_EQ(std::get<core::LayoutBytes>(rgnData->value), outline);
        // A frame without any outline still writes the (empty) block, and no picture.
        const core::LayoutObject* storedBare = written.FindChild("Rgn2");
        ASSERT_NE(storedBare, nullptr);
        ASSERT_NE(storedBare->Find("RgnData"), nullptr);
        EXPECT_TRUE(std::get<core::LayoutBytes>(storedBare->Find("RgnData")->value).empty());
        EXPECT_EQ(storedBare->Find("RgnBitmap.Data"), nullptr);

        // What was written loads back outlined, without scanning.
        core::LayoutObject again = FormLayout({*stored});
        auto* reloaded = Load(again);
        TRgn* copy = FrameOf(reloaded, L"Rgn1");
        ASSERT_NE(copy->RegionHandle(), nullptr);
        EXPECT_EQ(copy->RgnBitmap()->BitsPerPixel(), 8);
        EXPECT_EQ(wintest::RegionRects(copy->RegionHandle()), core::DecodeRgnData(outline));
        delete reloaded;
    }
    EXPECT_EQ(core::DecodeRgnData(std::vector<uint8_t>(frame->RgnData(), frame->RgnData() + frame->RgnDataSize())),
              (std::vector<core::Rect>{{0, 0, 4, 2}}));
}

TEST_F(RegionTest, AllKeyPictureGivesAnEmptyOutlineThatLetsTheMouseThrough) {
    core::Bitmap blank = Picture({"....", "....", "...."});
    EXPECT_EQ(Outline(blank).size(), 32u);
    core::Bitmap body = Picture({"AAAA", "AAAA", "...."});
    auto* form = Load(FormLayout({FrameLayout("Rgn1", 0, 0, 40, 40, blank),
                                  FrameLayout("Rgn2", 0, 0, 40, 40, body)}));
    form->SetBounds(300, 300, 40, 40);
    TRgn* frame = FrameOf(form, L"Rgn1");
    ASSERT_EQ(frame->RgnDataSize(), 32);
    EXPECT_EQ(frame->RgnData()[8], 0);  // rectangle count
    ASSERT_NE(frame->RegionHandle(), nullptr);
    EXPECT_TRUE(wintest::RegionRects(frame->RegionHandle()).empty());

    // A shaped window over the point takes the mouse; an empty shape lets it through.
    FrameOf(form, L"Rgn2")->SetWndRgn();
    form->Show();
    wintest::Pump();
    EXPECT_EQ(WindowFromPoint(POINT{310, 310}), form->Handle());
    frame->SetWndRgn();
    wintest::Pump();
    EXPECT_TRUE(wintest::WindowHasRegion(form->Handle()));
    EXPECT_TRUE(wintest::WindowRegionRects(form->Handle()).empty());
    EXPECT_NE(WindowFromPoint(POINT{310, 310}), form->Handle());
    form->Hide();
}

TEST_F(RegionTest, OpaqueAndTransparentPaintingAndTheirMasks) {
    core::Bitmap picture = Picture({"AAB...", ".BCCm.", "A....C", "......"});
    core::LayoutObject layout = FormLayout({
        FrameLayout("Rgn1", 0, 0, 6, 4, picture),
        FrameLayout("Rgn2", 0, 0, 6, 4, picture, {Prop("Transparent", wintest::Ident("True"))}),
        FrameLayout("Rgn3", 0, 0, 12, 8, picture),
    });
    auto* form = Load(layout);
    TRgn* opaque = FrameOf(form, L"Rgn1");
    TRgn* transparent = FrameOf(form, L"Rgn2");
    TRgn* stretched = FrameOf(form, L"Rgn3");

    // Masks are built by Loaded only for a transparent frame, not by setting the flag later.
    EXPECT_TRUE(opaque->MaskBitmap()->Empty());
    EXPECT_TRUE(opaque->MaskedImage()->Empty());
    opaque->Transparent = true;
    EXPECT_TRUE(opaque->MaskBitmap()->Empty());
    EXPECT_TRUE(opaque->MaskedImage()->Empty());
    opaque->Transparent = false;
    ASSERT_FALSE(transparent->MaskBitmap()->Empty());
    ASSERT_FALSE(transparent->MaskedImage()->Empty());
    EXPECT_TRUE(transparent->MaskBitmap()->Monochrome());
    EXPECT_EQ(transparent->MaskBitmap()->Width(), 6);
    EXPECT_EQ(transparent->MaskBitmap()->Height(), 4);

    auto colour = [&](int x, int y) { return PaletteColor(picture.Index(x, y)); };
    {
        SCOPED_TRACE("opaque");
        Surface surface(6, 4, kBackground);
        opaque->PaintTo(surface.Dc());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) EXPECT_EQ(surface.Pixel(x, y), colour(x, y)) << x << "," << y;
    }
    {
        SCOPED_TRACE("opaque, stretched by 2");
        Surface surface(12, 8, kBackground);
        stretched->PaintTo(surface.Dc());
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 12; ++x) EXPECT_EQ(surface.Pixel(x, y), colour(x / 2, y / 2)) << x << "," << y;
    }
    {
        SCOPED_TRACE("transparent");
        Surface surface(6, 4, kBackground);
        transparent->PaintTo(surface.Dc());
        // Painting by colour: the non-key magenta index shows the background too.
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) {
                COLORREF want = colour(x, y) == kKeyColor ? kBackground : colour(x, y);
                EXPECT_EQ(surface.Pixel(x, y), want) << x << "," << y;
            }
    }
    {
        SCOPED_TRACE("not shown");
        Surface surface(6, 4, kBackground);
        opaque->SetShown(false);
        opaque->PaintTo(surface.Dc());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) EXPECT_EQ(surface.Pixel(x, y), kBackground) << x << "," << y;
    }
    {
        // The frame answers the erase-background message and draws nothing.
        SCOPED_TRACE("erase background");
        Surface surface(6, 4, kBackground);
        forms::TGraphicControl* control = opaque;
        EXPECT_TRUE(control->WMEraseBkGnd(surface.Dc()));
        EXPECT_EQ(surface.Pixel(0, 0), kBackground);
        EXPECT_EQ(surface.Pixel(5, 3), kBackground);
    }

    // A transparent frame given a picture at run time builds its masks then.
    forms::TBitmap bitmap;
    bitmap.Assign(picture);
    opaque->Transparent = true;
    opaque->SetRgnBmp(&bitmap);
    EXPECT_FALSE(opaque->MaskBitmap()->Empty());
    EXPECT_FALSE(opaque->MaskedImage()->Empty());
}

TEST_F(RegionTest, DestroyingFramesInAnyStateFreesEveryHandle) {
    core::Bitmap picture = Sprite(1);
    auto buildAndDestroy = [&] {
        core::LayoutObject layout = FormLayout({
            FrameLayout("Rgn1", 0, 0, 40, 40, picture),
            FrameLayout("Rgn2", 0, 0, 40, 40, picture, {Prop("Transparent", wintest::Ident("True"))}),
            FrameLayout("Rgn3", 0, 0, 40, 40, picture),
            FrameLayout("Rgn4", 0, 0, 40, 40, picture),
            FrameLayout("Rgn5", 0, 0, 40, 40, picture),
        });
        auto* form = Load(layout);
        form->Handle();
        new TRgn(form);  // bare
        forms::TBitmap bitmap;
        bitmap.Assign(picture);
        FrameOf(form, L"Rgn3")->SetRgnBmp(&bitmap);  // data only
        FrameOf(form, L"Rgn4")->SetWndRgn();          // handed to the window
        forms::TBitmap empty;
        Raise([&] { FrameOf(form, L"Rgn5")->SetRgnBmp(&empty); });  // failed
        Surface surface(40, 40, kBackground);
        FrameOf(form, L"Rgn1")->PaintTo(surface.Dc());
        FrameOf(form, L"Rgn2")->PaintTo(surface.Dc());  // with a back buffer
        delete FrameOf(form, L"Rgn1");
        delete form;
        // A failed load leaves nothing either.
        core::LayoutObject broken = layout;
        broken.FindChild("Rgn5")->Set("RgnData", core::LayoutBytes{});
        EXPECT_TRUE(LoadError(broken).raised);
    };
    buildAndDestroy();  // first use fills the system's caches
    int before = wintest::LiveGdiObjects();
    buildAndDestroy();
    buildAndDestroy();
    EXPECT_EQ(wintest::LiveGdiObjects(), before);
}

// ---- TRgnList ----

TEST_F(RegionTest, ListMembersBecomeTheOutlineAndTheOnlyShownFrames) {
    core::Bitmap one = Sprite(0), two = Sprite(3), three = Sprite(4);
    auto* form = Load(FormLayout({ListLayout(), FrameLayout("Rgn1", 0, 0, 40, 40, one),
                                  FrameLayout("Rgn2", 50, 10, 40, 40, two), FrameLayout("Rgn3", 0, 0, 40, 40, three)}));
    TRgnList* list = ListOf(form);
    TRgn* rgn1 = FrameOf(form, L"Rgn1");
    TRgn* rgn2 = FrameOf(form, L"Rgn2");
    TRgn* rgn3 = FrameOf(form, L"Rgn3");
    ASSERT_TRUE(list && rgn1 && rgn2 && rgn3);
    EXPECT_TRUE(list->AutoClear);
    HWND window = form->Handle();

    // No members: an empty outline, nothing drawn; the form loses border and background.
    list->SetWndRgn();
    EXPECT_TRUE(wintest::WindowHasRegion(window));
    EXPECT_TRUE(wintest::WindowRegionRects(window).empty());
    EXPECT_FALSE(rgn1->Shown());
    EXPECT_FALSE(rgn2->Shown());
    EXPECT_FALSE(rgn3->Shown());
    EXPECT_EQ(form->BorderStyle(), forms::TBorderStyle::None);
    EXPECT_EQ(form->BrushStyle(), forms::TBrushStyle::Clear);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0);

    // One member: its outline, it alone shown, and the list empties itself.
    list->Add(rgn2);
    list->SetWndRgn();
    EXPECT_EQ(wintest::WindowRegionRects(window), Placed(OutlineRects(two), 50, 10));
    EXPECT_FALSE(rgn1->Shown());
    EXPECT_TRUE(rgn2->Shown());
    EXPECT_FALSE(rgn3->Shown());
    EXPECT_EQ(list->GetCount(), 0);
    // The frames keep their own regions for the next call.
    EXPECT_EQ(wintest::RegionRects(rgn2->RegionHandle()), Placed(OutlineRects(two), 50, 10));

    // Added twice: combined and shown once; one Delete leaves it a member.
    list->AutoClear = false;
    list->Add(rgn1);
    list->Add(rgn1);
    EXPECT_EQ(list->GetCount(), 2);
    list->SetWndRgn();
    EXPECT_EQ(wintest::WindowRegionRects(window), OutlineRects(one));
    EXPECT_EQ(std::count(form->Controls().begin(), form->Controls().end(), rgn1), 1);
    EXPECT_EQ(form->Controls().back(), rgn1);
    EXPECT_TRUE(rgn1->Shown());
    EXPECT_FALSE(rgn2->Shown());
    list->Delete(rgn1);
    EXPECT_EQ(list->GetCount(), 1);
    EXPECT_EQ(list->GetItem(0), rgn1);
    list->Delete(rgn3);  // not a member
    EXPECT_EQ(list->GetCount(), 1);

    // Without AutoClear the members pile up: each call shows all of them.
    list->Add(rgn2);
    list->SetWndRgn();
    EXPECT_EQ(wintest::WindowRegionRects(window), Union(OutlineRects(one), Placed(OutlineRects(two), 50, 10)));
    EXPECT_TRUE(rgn1->Shown());
    EXPECT_TRUE(rgn2->Shown());
    EXPECT_FALSE(rgn3->Shown());
    list->SetWndRgn();
    EXPECT_EQ(wintest::WindowRegionRects(window), Union(OutlineRects(one), Placed(OutlineRects(two), 50, 10)));
    EXPECT_EQ(list->GetCount(), 2);
    list->Delete(rgn1);
    list->SetWndRgn();
    EXPECT_EQ(wintest::WindowRegionRects(window), Placed(OutlineRects(two), 50, 10));
    EXPECT_FALSE(rgn1->Shown());
    list->Clear();
    EXPECT_EQ(list->GetCount(), 0);
    list->SetWndRgn();
    EXPECT_TRUE(wintest::WindowRegionRects(window).empty());
    EXPECT_FALSE(rgn2->Shown());

    // A member that has data but no region yet adds nothing, but is shown and brought up.
    forms::TBitmap bitmap;
    bitmap.Assign(three);
    rgn3->SetRgnBmp(&bitmap);
    ASSERT_EQ(rgn3->RegionHandle(), nullptr);
    rgn3->SendToBack();
    list->Add(rgn1);
    list->Add(rgn3);
    list->SetWndRgn();
    EXPECT_EQ(wintest::WindowRegionRects(window), OutlineRects(one));
    EXPECT_TRUE(rgn3->Shown());
    EXPECT_EQ(form->Controls().back(), rgn3);

    // Index errors name the index.
    EXPECT_EQ(list->GetItem(1), rgn3);
    for (int index : {5, 2, -1}) {
        Raised raised = Raise<forms::EListError>([&] { list->GetItem(index); });
        EXPECT_TRUE(raised.ofClass) << index;
        EXPECT_EQ(raised.message, L"リストのインデックスが範囲を超えています (" + std::to_wstring(index) + L")");
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(RegionTest, OtherWindowlessControlsStayAboveTheFramesInOwnerOrder) {
    auto* form = Load(FormLayout({ListLayout(), FrameLayout("Rgn1", 0, 0, 40, 40, Sprite(0)),
                                  FrameLayout("Rgn2", 0, 0, 40, 40, Sprite(1))}));
    TRgnList* list = ListOf(form);
    TRgn* rgn1 = FrameOf(form, L"Rgn1");
    TRgn* rgn2 = FrameOf(form, L"Rgn2");
    auto* label = new forms::TGraphicControl(form);
    label->SetParent(form);
    TRgn* rgn3 = RuntimeFrame(form, Sprite(2), 0, 0);
    auto* badge = new forms::TGraphicControl(form);
    badge->SetParent(form);
    // Start from a muddled z-order: the overlays at the bottom, the later one lower.
    label->SendToBack();
    badge->SendToBack();
    using Order = std::vector<forms::TControl*>;
    ASSERT_EQ(form->Controls(), (Order{badge, label, rgn1, rgn2, rgn3}));

    list->Add(rgn1);
    list->SetWndRgn();
    EXPECT_EQ(form->Controls(), (Order{rgn2, rgn3, rgn1, label, badge}));

    // Members come up in the owner's order, whatever order they were added in.
    label->BringToFront();
    list->Add(rgn3);
    list->Add(rgn2);
    list->SetWndRgn();
    EXPECT_EQ(form->Controls(), (Order{rgn1, rgn2, rgn3, label, badge}));
    EXPECT_FALSE(rgn1->Shown());
    EXPECT_TRUE(rgn2->Shown());
    EXPECT_TRUE(rgn3->Shown());

    // Nothing added: the frames stay put, the overlays are still on top.
    badge->SendToBack();
    list->SetWndRgn();
    EXPECT_EQ(form->Controls(), (Order{rgn1, rgn2, rgn3, label, badge}));
}

TEST_F(RegionTest, OnShowWndSeesTheNewFramesUnderTheOldOutline) {
    core::Bitmap one = Sprite(0), two = Sprite(2);
    auto* form = Load(FormLayout({ListLayout(), FrameLayout("Rgn1", 0, 0, 40, 40, one),
                                  FrameLayout("Rgn2", 0, 0, 40, 40, two)}));
    TRgnList* list = ListOf(form);
    TRgn* rgn1 = FrameOf(form, L"Rgn1");
    TRgn* rgn2 = FrameOf(form, L"Rgn2");
    auto* overlay = new forms::TGraphicControl(form);
    overlay->SetParent(form);
    HWND window = form->Handle();
    list->Add(rgn1);
    list->SetWndRgn();
    ASSERT_EQ(wintest::WindowRegionRects(window), OutlineRects(one));

    int calls = 0;
    int liveBefore = wintest::LiveGdiObjects();
    list->OnShowWnd = [&](forms::TObject* sender) {
        ++calls;
        EXPECT_EQ(sender, list);
        EXPECT_TRUE(rgn2->Shown());
        EXPECT_FALSE(rgn1->Shown());
        const auto& controls = form->Controls();
        ASSERT_GE(controls.size(), 2u);
        EXPECT_EQ(controls[controls.size() - 2], rgn2);
        EXPECT_EQ(controls.back(), overlay);
        EXPECT_EQ(wintest::WindowRegionRects(window), OutlineRects(one));
        EXPECT_EQ(list->GetCount(), 1);
        // Exactly one new region exists: the outline about to be handed over.
        EXPECT_EQ(wintest::LiveGdiObjects(), liveBefore + 1);
    };
    list->Add(rgn2);
    list->SetWndRgn();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(wintest::WindowRegionRects(window), OutlineRects(two));
    EXPECT_EQ(wintest::LiveGdiObjects(), liveBefore);
}

// The frames lie on top of each other; one that is not shown draws nothing, even lying above
// the shown one, and the shown one's picture is what the screen has.
TEST_F(RegionTest, OnlyTheShownFrameIsDrawnWhateverLiesAboveIt) {
    core::Bitmap one = Sprite(0), two = Sprite(2);
    auto* form = Load(FormLayout({ListLayout(), FrameLayout("Rgn1", 0, 0, 40, 40, one),
                                  FrameLayout("Rgn2", 0, 0, 40, 40, two)}));
    TRgn* rgn1 = FrameOf(form, L"Rgn1");
    TRgn* rgn2 = FrameOf(form, L"Rgn2");
    ListOf(form)->Add(rgn1);
    ListOf(form)->SetWndRgn();
    rgn2->BringToFront();
    ASSERT_EQ(form->Controls().back(), rgn2);
    form->Show();
    InvalidateRect(form->Handle(), nullptr, TRUE);
    const core::Bitmap shot = wintest::Capture(form->Handle());
    int differing = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            if (one.Index(x, y) == 0) continue;  // key: outside the outline
            const COLORREF expected = PaletteColor(one.Index(x, y));
            const core::Rgb seen = shot.Color(x, y);
            ASSERT_EQ(RGB(seen.red, seen.green, seen.blue), expected) << x << "," << y;
            if (two.Index(x, y) != one.Index(x, y)) ++differing;
        }
    EXPECT_GT(differing, 20);  // the hidden frame would have shown
    form->Hide();
    EXPECT_TRUE(reports.empty());
}

TEST_F(RegionTest, FramesOfAnotherOwnerAreLeftAlone) {
    core::Bitmap one = Sprite(0), two = Sprite(1);
    auto* form = Load(FormLayout({ListLayout(), FrameLayout("Rgn1", 0, 0, 40, 40, one)}));
    TRgnList* list = ListOf(form);
    TRgn* rgn1 = FrameOf(form, L"Rgn1");
    forms::TComponent otherOwner(nullptr);
    auto* stranger = new TRgn(&otherOwner);
    stranger->SetParent(form);
    stranger->SetBounds(60, 0, 40, 40);
    forms::TBitmap bitmap;
    bitmap.Assign(two);
    stranger->SetRgnBmp(&bitmap);
    stranger->UpdateRgn();
    stranger->SendToBack();
    HWND window = form->Handle();

    list->Add(stranger);
    list->SetWndRgn();
    EXPECT_TRUE(wintest::WindowRegionRects(window).empty());
    EXPECT_EQ(form->Controls().front(), stranger);
    EXPECT_FALSE(rgn1->Shown());

    // Not a member: its flag is not the list's business either.
    list->Add(rgn1);
    list->SetWndRgn();
    EXPECT_EQ(wintest::WindowRegionRects(window), OutlineRects(one));
    EXPECT_TRUE(stranger->Shown());
    EXPECT_EQ(form->Controls().front(), stranger);
}

TEST_F(RegionTest, AThousandCallsLeaveNoRegionBehind) {
    auto* form = Load(FormLayout({ListLayout(), FrameLayout("Rgn1", 0, 0, 40, 40, Sprite(0)),
                                  FrameLayout("Rgn2", 0, 0, 40, 40, Sprite(2)),
                                  FrameLayout("Rgn3", 20, 0, 40, 40, Sprite(4))}));
    TRgnList* list = ListOf(form);
    TRgn* frames[] = {FrameOf(form, L"Rgn1"), FrameOf(form, L"Rgn2"), FrameOf(form, L"Rgn3")};
    form->Show();
    auto call = [&](int i) {
        list->Add(frames[i % 3]);
        if (i % 5 == 0) list->Add(frames[(i + 1) % 3]);
        list->SetWndRgn();
        if (i % 100 == 0) wintest::Pump();
    };
    for (int i = 0; i < 10; ++i) call(i);
    wintest::Pump();
    int before = wintest::LiveGdiObjects();
    for (int i = 0; i < 1000; ++i) call(i);
    wintest::Pump();
    EXPECT_EQ(wintest::LiveGdiObjects(), before);
    for (TRgn* frame : frames) EXPECT_NE(frame->RegionHandle(), nullptr);
    form->Hide();
    EXPECT_TRUE(reports.empty());
}

}  // namespace
