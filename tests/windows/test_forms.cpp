// The form framework as the character windows use it: the message loop and the main form,
// the exception report at every event boundary, mouse dispatch, menus and cursors.
#include "app/CharacterForm.h"
#include "app/Pelton.h"
#include "forms/ExtCtrls.h"
#include "support/WinTest.h"

using namespace kurun;

namespace {

class FormsTest : public wintest::AppTest {};

// A form whose own click fails, to see the window procedure's boundary.
class TFailingForm : public forms::TForm {
public:
    using forms::TForm::TForm;
    void Click() override { throw forms::EInvalidOperation(L"クリックに失敗しました"); }
};

TEST_F(FormsTest, ExceptionsStopAtTimerAndWindowBoundariesAndAreReported) {
    forms::TTimer timer(nullptr);
    timer.SetOnTimer([](forms::TObject*) { throw forms::Exception(L"タイマーの失敗"); });
    timer.Tick();
    timer.SetOnTimer([](forms::TObject*) { throw 42; });  // not a framework error: reported without text
    timer.Tick();

    auto* form = new TFailingForm(app);
    form->SetBounds(10, 10, 100, 100);
    form->Show();
    SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(IsWindow(form->Handle()));
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0], L"タイマーの失敗");
    EXPECT_EQ(reports[1], L"");
    EXPECT_EQ(reports[2], L"クリックに失敗しました");
}

TEST_F(FormsTest, TheLoopShowsTheMainFormOnlyWhenAskedAndEndsWhenItCloses) {
    for (bool showMainForm : {true, false}) {
        forms::TForm* form = nullptr;
        app->CreateForm(form);
        EXPECT_EQ(app->MainForm(), form);
        app->ShowMainForm = showMainForm;
        bool wasVisible = false;
        forms::TTimer closer(nullptr);
        closer.SetInterval(10);
        closer.SetOnTimer([&](forms::TObject*) {
            wasVisible = IsWindowVisible(form->Handle());
            PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
        });
        app->Run();
        EXPECT_TRUE(app->Terminated());
        EXPECT_EQ(wasVisible, showMainForm);
        delete app;
        app = new forms::TApplication(nullptr);
        app->OnException = [this](forms::TObject*, const forms::Exception& e) { reports.push_back(e.Message()); };
    }
}

TEST_F(FormsTest, AModalFormDisablesTheOthersUntilItClosesAndRefusesAVisibleForm) {
    auto* other = new forms::TForm(app);
    other->SetBounds(10, 10, 50, 50);
    other->Show();
    auto* modal = new forms::TForm(app);
    modal->SetBounds(100, 10, 50, 50);
    bool otherEnabledMeanwhile = true;
    forms::TTimer closer(nullptr);
    closer.SetInterval(10);
    closer.SetOnTimer([&](forms::TObject*) {
        otherEnabledMeanwhile = IsWindowEnabled(other->Handle());
        closer.SetEnabled(false);
        modal->Close();
    });
    EXPECT_EQ(modal->ShowModal(), 2);  // closed: cancel
    EXPECT_FALSE(otherEnabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    EXPECT_FALSE(modal->Visible());
    try {
        other->ShowModal();
        ADD_FAILURE() << "a visible form was shown modally";
    } catch (const forms::EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), L"表示されているウィンドウをモーダルにすることはできません");
    }
}

class CharacterInputTest : public wintest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app->CreateForm(Form1);
        Form1->Show();
        for (int n = 1; n <= kFrameCount; ++n)
            Form1->Frame(n)->OnClick = [this, n](forms::TObject*) { clicked.push_back(n); };
    }
    void TearDown() override {
        forms::TPopupMenu::PopupHook = nullptr;
        AppTest::TearDown();
    }
    void ClickAt(int x, int y) {
        SendMessageW(Form1->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(Form1->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    std::vector<int> clicked;
};

TEST_F(CharacterInputTest, AClickReachesTheFrameThatIsShownAndOnlyWhenPressAndReleaseMeet) {
    ClickAt(20, 20);
    Form1->SetLeft(300);
    Form1->SetTop(300);
    SetCursorPos(100, 320);
    Form1->Timer1->Tick();  // walks left: frame 10 lies in front now
    ClickAt(20, 20);
    EXPECT_EQ(clicked, (std::vector<int>{1, 10}));

    SendMessageW(Form1->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageW(Form1->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(90, 60));  // released off the frames
    SendMessageW(Form1->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageW(Form1->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));  // end of a double click
    EXPECT_EQ(clicked.size(), 2u);
}

TEST_F(CharacterInputTest, ARightClickOpensTheCharacterMenuAtTheCursor) {
    forms::TPopupMenu* opened = nullptr;
    POINT at{};
    forms::TPopupMenu::PopupHook = [&](forms::TPopupMenu* menu, POINT point) -> forms::TMenuItem* {
        opened = menu;
        at = point;
        return nullptr;
    };
    POINT screen{Form1->Left() + 20, Form1->Top() + 20};
    SendMessageW(Form1->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Form1->Handle()),
                 MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(opened, Form1->PopupMenu1);
    EXPECT_EQ(at.x, screen.x);
    EXPECT_EQ(at.y, screen.y);
    ASSERT_EQ(Form1->PopupMenu1->Items().size(), 1u);
    EXPECT_EQ(Form1->PopupMenu1->Items()[0], Form1->N1);
    EXPECT_TRUE(clicked.empty());
}

TEST_F(CharacterInputTest, TheHandCursorShowsOverTheCharacter) {
    Form1->SetLeft(200);
    Form1->SetTop(200);
    SetCursorPos(220, 220);
    SendMessageW(Form1->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Form1->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

}  // namespace
