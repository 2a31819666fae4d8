// The framework's labels, shapes, pictures, panels, edit boxes and image lists, on a form built
// from a stored layout, with pixels read back from the window.
#include "core/ImageListStream.h"
#include "forms/Edits.h"
#include "forms/GraphicCtrls.h"
#include "forms/ImgList.h"
#include "forms/Panels.h"
#include "forms/Streaming.h"
#include "support/ApiCalls.h"
#include "support/WinTest.h"

namespace {

constexpr const char* kLayout = R"(object Test: TLayoutForm
  Left = 100
  Top = 100
  BorderStyle = bsNone
  ClientWidth = 300
  ClientHeight = 200
  Color = clBlue
  object Bar: TShape
    Left = 10
    Top = 10
    Width = 50
    Height = 20
    Brush.Color = 2631720
    Pen.Style = psClear
  end
  object Name: TLabel
    Left = 10
    Top = 40
    Caption = 'Launch!'
    Font.Color = clWhite
    Font.Height = -12
    Font.Name = 'ＭＳ Ｐゴシック'
    Font.Style = [fsBold]
    ParentFont = False
    Transparent = True
  end
  object Box: TEdit
    Left = 10
    Top = 80
    Width = 200
    Height = 18
    AutoSize = False
    Color = clBlack
    Font.Color = clWhite
    Font.Height = -11
    ParentFont = False
    ReadOnly = True
    Text = 'C:\My Files\a.txt'
  end
  object Holder: TPanel
    Left = 220
    Top = 10
    Width = 40
    Height = 20
    BevelOuter = bvNone
    Color = clRed
  end
end
)";

class ControlsTest : public wintest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        form = new wintest::TLayoutForm(app);
        form->Load(core::ParseLayout(kLayout));
        form->Show();
        UpdateWindow(form->Handle());
        wintest::Pump();
    }
    template <class T>
    T* Control(const wchar_t* name) const { return dynamic_cast<T*>(form->FindComponent(name)); }
    COLORREF At(int x, int y) const {
        HDC dc = GetDC(form->Handle());
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(form->Handle(), dc);
        return c;
    }
    wintest::TLayoutForm* form = nullptr;
};

TEST_F(ControlsTest, ShapesAndPanelsPaintTheirColoursLabelsOnlyTheirLetters) {
    RECT client;
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_EQ(At(10, 10), RGB(40, 40, 40));
    EXPECT_EQ(At(59, 29), RGB(40, 40, 40));
    EXPECT_EQ(At(60, 30), RGB(0, 0, 255));
    EXPECT_EQ(At(230, 20), RGB(255, 0, 0));
    auto* label = Control<forms::TLabel>(L"Name");
    ASSERT_NE(label, nullptr);
    EXPECT_GT(label->Width(), 30);
    EXPECT_GT(label->Height(), 8);
    int white = 0, blue = 0;
    for (int y = label->Top(); y < label->Top() + label->Height(); ++y)
        for (int x = label->Left(); x < label->Left() + label->Width(); ++x) {
            COLORREF c = At(x, y);
            white += c == RGB(255, 255, 255);
            blue += c == RGB(0, 0, 255);
        }
    EXPECT_GT(white, 20);
    EXPECT_GT(blue, white);  // transparent: the form shows between the letters
    label->SetCaption(L"Launch! Launch!");
    EXPECT_GT(label->Width(), 60);
}

TEST_F(ControlsTest, EditBoxKeepsItsTextAndRefusesTypingWhenReadOnly) {
    auto* box = Control<forms::TEdit>(L"Box");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Text(), L"C:\\My Files\\a.txt");
    SendMessageW(box->Handle(), WM_CHAR, L'x', 0);
    EXPECT_EQ(box->Text(), L"C:\\My Files\\a.txt");
    const std::wstring longText(5000, L'é');
    box->SetText(longText);
    box->SetBorderSingle(false);  // a new window: the text moves along
    EXPECT_EQ(box->Text(), longText);
    // Black box, white letters.
    box->SetText(L"WWWW");
    UpdateWindow(box->Handle());
    HDC dc = GetDC(box->Handle());
    int white = 0;
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 16; ++y) white += GetPixel(dc, x, y) == RGB(255, 255, 255);
    EXPECT_EQ(GetPixel(dc, 190, 8), RGB(0, 0, 0));
    ReleaseDC(box->Handle(), dc);
    EXPECT_GT(white, 10);
}

TEST_F(ControlsTest, ADisabledEditBoxGivesUpTheFocusAndTheMouse) {
    auto* box = Control<forms::TEdit>(L"Box");
    SetForegroundWindow(form->Handle());
    box->SetFocus();
    box->SetEnabled(false);
    EXPECT_NE(GetFocus(), box->Handle());
    POINT inside{20, 85};
    ClientToScreen(form->Handle(), &inside);
    EXPECT_EQ(WindowFromPoint(inside), form->Handle());
    box->SetEnabled(true);
    EXPECT_EQ(WindowFromPoint(inside), box->Handle());
}

TEST_F(ControlsTest, StoredPropertiesComeBackAsTheyWere) {
    core::LayoutObject written = forms::TWriter::WriteRoot(form);
    auto find = [&](const char* name) { return written.FindChild(name); };
    ASSERT_NE(find("Bar"), nullptr);
    EXPECT_EQ(std::get<int64_t>(find("Bar")->Find("Brush.Color")->value), 0x282828);
    EXPECT_NE(find("Box")->Find("ReadOnly"), nullptr);
    EXPECT_NE(find("Name")->Find("Transparent"), nullptr);
    EXPECT_EQ(find("Name")->Find("AutoSize"), nullptr);  // the default is not written
    EXPECT_NE(find("Holder")->Find("BevelOuter"), nullptr);
}

// Windowless children's repaint requests: one each at once, or, while batches are open, one of
// their union when the outermost batch ends.
TEST_F(ControlsTest, InvalidationBatchesGatherTheChildrensRequestsIntoOne) {
    auto* first = new forms::TGraphicControl(form);
    first->SetParent(form);
    first->SetBounds(10, 10, 20, 20);
    auto* second = new forms::TGraphicControl(form);
    second->SetParent(form);
    second->SetBounds(50, 40, 10, 10);
    HWND window = form->Handle();
    UpdateWindow(window);
    RECT update{};
    wintest::ApiCalls calls;
    {
        forms::InvalidationBatch outer(*form);
        first->Invalidate();
        {
            forms::InvalidationBatch inner(*form);
            second->Invalidate();
        }
        EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
        EXPECT_EQ(calls[wintest::Api::InvalidateRect], 0);
    }
    EXPECT_EQ(calls[wintest::Api::InvalidateRect], 1);
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_EQ(update.left, 10);
    EXPECT_EQ(update.top, 10);
    EXPECT_EQ(update.right, 60);
    EXPECT_EQ(update.bottom, 50);
    UpdateWindow(window);
    {
        forms::InvalidationBatch nothing(*form);  // no request at all when nothing was asked for
    }
    EXPECT_EQ(calls[wintest::Api::InvalidateRect], 1);
    second->Invalidate();
    EXPECT_EQ(calls[wintest::Api::InvalidateRect], 2);
    UpdateWindow(window);
}

TEST_F(ControlsTest, ImageListPaintsTheRequestedCellIntoAnotherPicture) {
    std::vector<core::Bitmap> pictures;
    for (int i = 0; i < 6; ++i) {
        core::Bitmap b(8, 8, 24);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) b.SetColor(x, y, {static_cast<uint8_t>(40 * i), 0, 0});
        pictures.push_back(b);
    }
    forms::TImageList list(nullptr);
    const std::vector<uint8_t> stream = core::ImageListStream::FromPictures(pictures, 6, 4, 0xFFFFFF).ToBytes();
    list.LoadFromStream(stream);
    // Written back as read, though the pictures are kept once, in the shown bitmap.
    EXPECT_EQ(std::get<core::LayoutBytes>(forms::TWriter::WriteComponent(&list).Find("Bitmap")->value), stream);
    forms::TBitmap target;
    target.SetSize(20, 20);
    list.Draw(target.Canvas(), 4, 4, 5);
    EXPECT_EQ(target.Canvas().Pixel(4, 4), RGB(200, 0, 0));
    EXPECT_EQ(target.Canvas().Pixel(11, 11), RGB(200, 0, 0));
    EXPECT_THROW(list.Draw(target.Canvas(), 0, 0, 6), forms::EInvalidOperation);
    EXPECT_THROW(list.LoadFromStream({1, 2, 3}), forms::EReadError);
    forms::TBitmap picture;
    EXPECT_THROW(forms::TImage::LoadPictureData(picture, {3, 'T', 'B', 'i'}), forms::EInvalidGraphic);
}

}  // namespace
