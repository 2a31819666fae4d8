// The form framework as the character windows use it: the message loop and the main form,
// the exception report at every event boundary, mouse dispatch, menus and cursors.
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/CharacterForm.h"
#include "app/Pelton.h"
#include "components/Dxfcheckbox.h"
#include "components/Region.h"
#include "core/Outline.h"
#include "forms/ExtCtrls.h"
#include "forms/Streaming.h"
#include "support/ApiCalls.h"
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

// A windowless control whose painting fails.
class TFailingPaint : public forms::TGraphicControl {
public:
    using forms::TGraphicControl::TGraphicControl;
protected:
    void Paint() override { throw forms::EInvalidGraphic(L"描けません"); }
};

TEST_F(FormsTest, AFailedPaintIsReportedAndStillEndsThePaint) {
    auto* form = new forms::TForm(app);
    form->SetBounds(10, 10, 100, 100);
    auto* control = new TFailingPaint(form);
    control->SetParent(form);
    control->SetBounds(0, 0, 50, 50);
    form->Show();
    int gdiObjects = wintest::LiveGdiObjects();
    InvalidateRect(form->Handle(), nullptr, FALSE);
    UpdateWindow(form->Handle());
    // An unended paint would leave the window invalid, asking to be painted again forever.
    EXPECT_FALSE(GetUpdateRect(form->Handle(), nullptr, FALSE));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), L"描けません");
    EXPECT_EQ(wintest::LiveGdiObjects(), gdiObjects);
}

// Refuses every window this thread tries to create while it exists.
class RefuseWindows {
public:
    RefuseWindows()
        : hook_(SetWindowsHookExW(
              WH_CBT, [](int code, WPARAM, LPARAM) -> LRESULT { return code == HCBT_CREATEWND; }, nullptr,
              GetCurrentThreadId())) {}
    ~RefuseWindows() { UnhookWindowsHookEx(hook_); }
private:
    HHOOK hook_;
};

template <class F>
void ExpectCreationRefused(F&& create) {
    try {
        create();
        ADD_FAILURE() << "created";
    } catch (const forms::EOSError& e) {
        EXPECT_EQ(e.Message(), L"ウィンドウを作成できません");
    }
}

TEST_F(FormsTest, AWindowThatCannotBeCreatedRaisesTheSystemError) {
    auto* form = new forms::TForm(app);
    auto* owner = new forms::TForm(app);
    forms::Application = nullptr;
    {
        RefuseWindows refuse;
        ExpectCreationRefused([&] { form->Handle(); });
        ExpectCreationRefused([&] {
            forms::TTimer timer(owner);
            timer.SetOnTimer([](forms::TObject*) {});
        });
        ExpectCreationRefused([&] { forms::TApplication refused(nullptr); });
    }
    EXPECT_EQ(forms::Application, nullptr);
    forms::Application = app;
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_EQ(owner->ComponentCount(), 0);
    EXPECT_NE(form->Handle(), nullptr);  // once the system allows it again
}

// Counts the timer messages that this thread takes from its queue.
class TimerMessages {
public:
    TimerMessages() : hook_(SetWindowsHookExW(WH_GETMESSAGE, Hook, nullptr, GetCurrentThreadId())) { count_ = 0; }
    ~TimerMessages() { UnhookWindowsHookEx(hook_); }
    int Count() const { return count_; }
private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HC_ACTION && wParam == PM_REMOVE && reinterpret_cast<MSG*>(lParam)->message == WM_TIMER) ++count_;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline int count_ = 0;
    HHOOK hook_;
};

TEST_F(FormsTest, TimersOfOneIntervalWakeTheProgramOncePerPeriodInTheOrderTheyStarted) {
    std::string ticks;
    auto c = std::make_unique<forms::TTimer>(nullptr);
    forms::TTimer a(nullptr), b(nullptr), slow(nullptr);
    auto start = [&](forms::TTimer& timer, char name) {
        timer.SetInterval(10);
        timer.SetOnTimer([&ticks, name](forms::TObject*) { ticks += name; });
    };
    auto runUntil = [&](size_t count) {
        for (int guard = 0; ticks.size() < count && guard < 1000; ++guard) app->HandleMessage();
    };
    slow.SetInterval(60000);  // another interval has a timer of its own, which never fires here
    slow.SetOnTimer([&](forms::TObject*) { ticks += 's'; });
    start(a, 'a');
    start(b, 'b');
    start(*c, 'c');
    {
        TimerMessages messages;
        runUntil(9);
        EXPECT_EQ(ticks.substr(0, 9), "abcabcabc");
        EXPECT_EQ(messages.Count() * 3, static_cast<int>(ticks.size()));
    }

    // A tick may stop or free a timer later in its own period: that one does not tick.
    ticks.clear();
    b.SetOnTimer([&](forms::TObject*) {
        ticks += 'b';
        c.reset();
    });
    runUntil(4);
    EXPECT_EQ(ticks.substr(0, 4), "abab");
    // Started again, a timer ticks after those already running.
    ticks.clear();
    a.SetEnabled(false);
    a.SetEnabled(true);
    runUntil(4);
    EXPECT_EQ(ticks.substr(0, 4), "baba");
}

TEST_F(FormsTest, TimersOfOnePeriodShareOneCursorReadingAndOtherTicksReadAfresh) {
    std::vector<POINT> seen;
    auto read = [&](forms::TObject*) {
        POINT position{};
        EXPECT_TRUE(forms::TimerCursorPos(position));
        seen.push_back(position);
    };
    forms::TTimer a(nullptr), b(nullptr);
    for (forms::TTimer* timer : {&a, &b}) {
        timer->SetInterval(10);
        timer->SetOnTimer(read);
    }
    SetCursorPos(300, 200);
    {
        wintest::ApiCalls calls;
        TimerMessages messages;
        for (int guard = 0; seen.size() < 6 && guard < 1000; ++guard) app->HandleMessage();
        EXPECT_EQ(calls[wintest::Api::GetCursorPos], messages.Count());
    }
    ASSERT_GE(seen.size(), 6u);
    for (POINT position : seen) EXPECT_EQ(std::pair(position.x, position.y), std::pair(300L, 200L));

    // Ticks given outside a period, as tests and callers give them, each read where the cursor is.
    a.SetEnabled(false);
    b.SetEnabled(false);
    seen.clear();
    SetCursorPos(310, 210);
    a.Tick();
    SetCursorPos(320, 220);
    b.Tick();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].x, 310);
    EXPECT_EQ(seen[1].x, 320);
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

// Requests to end the program from outside reach the main form, whichever window they are sent
// to; the application window, which owns every form, outlives them.
TEST_F(FormsTest, CloseRequestsAndTheSessionsEndCloseTheMainFormAndDestroyNothing) {
    struct Request { const char* what; bool toApplication; UINT msg; WPARAM wParam; bool ends; };
    const Request requests[] = {{"WM_CLOSE to the application window", true, WM_CLOSE, 0, true},
                                {"SC_CLOSE to the application window", true, WM_SYSCOMMAND, SC_CLOSE, true},
                                {"the session ends (application window)", true, WM_ENDSESSION, TRUE, true},
                                {"the session ends (another form)", false, WM_ENDSESSION, TRUE, true},
                                {"the session goes on (another form)", false, WM_ENDSESSION, FALSE, false},
                                {"the session goes on (application window)", true, WM_ENDSESSION, FALSE, false}};
    for (const Request& request : requests) {
        SCOPED_TRACE(request.what);
        forms::TForm* main = nullptr;
        app->CreateForm(main);
        auto* other = new forms::TForm(app);
        HWND target = request.toApplication ? app->Handle() : other->Handle();
        EXPECT_TRUE(SendMessageW(target, WM_QUERYENDSESSION, 0, 0)) << "the session may end";
        SendMessageW(target, request.msg, request.wParam, 0);
        EXPECT_EQ(app->Terminated(), request.ends);
        EXPECT_TRUE(IsWindow(app->Handle()));
        EXPECT_TRUE(IsWindow(other->Handle()));
        delete app;
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
        app = new forms::TApplication(nullptr);
        app->OnException = [this](forms::TObject*, const forms::Exception& e) { reports.push_back(e.Message()); };
    }
}

// The message box's owner, seen from inside its own loop, and who has the focus once it is gone.
TEST_F(FormsTest, TheExceptionReportIsOwnedByTheActiveWindowAndHandsTheFocusBack) {
    auto* form = new forms::TForm(app);
    form->SetBounds(100, 100, 120, 80);
    form->Show();
    SetForegroundWindow(form->Handle());
    SetActiveWindow(form->Handle());
    wintest::Pump();
    ASSERT_EQ(GetActiveWindow(), form->Handle());
    static HWND owner, box;
    owner = box = nullptr;
    UINT_PTR closer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM) -> BOOL {
                wchar_t name[16] = {};
                GetClassNameW(window, name, 16);
                if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) box = window;
                return TRUE;
            },
            0);
        if (!box) return;
        KillTimer(nullptr, id);
        owner = GetWindow(box, GW_OWNER);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    app->ShowException(forms::Exception(L"書き込めません"));
    KillTimer(nullptr, closer);
    ASSERT_NE(box, nullptr) << "no message box appeared";
    EXPECT_EQ(owner, form->Handle());
    wintest::Pump();
    EXPECT_EQ(GetActiveWindow(), form->Handle());
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

// ---- stored layouts ----

class LayoutTest : public wintest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        components::InitializeRegionUnit();
        components::InitializeDxfcheckboxUnit();
    }
    wintest::TLayoutForm* Load(const core::LayoutObject& layout) {
        auto* form = forms::CreateForm<wintest::TLayoutForm>(app);
        form->Load(layout);
        return form;
    }
};

// A picture as a layout stores it: a byte count, then the .bmp file.
core::LayoutBytes StoredPicture(const core::Bitmap& picture) {
    std::vector<uint8_t> file = picture.ToFile();
    uint32_t length = static_cast<uint32_t>(file.size());
    core::LayoutBytes bytes(4 + file.size());
    std::memcpy(bytes.data(), &length, 4);
    std::copy(file.begin(), file.end(), bytes.begin() + 4);
    return bytes;
}

std::vector<std::string> Names(const core::LayoutObject& object) {
    std::vector<std::string> names;
    for (const core::LayoutProperty& property : object.properties) names.push_back(property.name);
    return names;
}

TEST_F(LayoutTest, EveryStoredPropertyThatDiffersFromItsDefaultComesBackAsItWasRead) {
    core::LayoutObject layout = core::ParseLayout(R"(object Form: TForm
  Tag = 7
  Left = 10
  Top = 20
  Width = 300
  Height = 200
  Caption = 'Round trip'
  Cursor = crCross
  Hint = 'hint'
  PopupMenu = PopupMenu1
  Visible = False
  Color = clWhite
  Font.Charset = ANSI_CHARSET
  Font.Color = 1193046
  Font.Height = -15
  Font.Name = 'Arial'
  Font.Style = [fsBold, fsUnderline]
  ShowHint = True
  BorderStyle = bsNone
  FormStyle = fsStayOnTop
  OldCreateOrder = True
  object Timer1: TTimer
    Tag = 1
    Enabled = False
    Interval = 50
  end
  object PopupMenu1: TPopupMenu
    object N1: TMenuItem
      Caption = 'Item'
      Enabled = False
      Visible = False
      Checked = True
      Default = True
    end
  end
  object RgnList1: TRgnList
    AutoClear = False
  end
  object Rgn1: TRgn
    Left = 3
    Top = 4
    Width = 4
    Height = 3
    Cursor = crHandPoint
    PopupMenu = PopupMenu1
    Enabled = False
    AutoSize = True
    Transparent = True
  end
  object CheckBox1: TdxfCheckBox
    Left = 12
    Top = 34
    Width = 13
    Height = 13
    Caption = 'Box'
    Color = 3368601
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clRed
    Font.Height = -11
    Font.Name = 'Tahoma'
    Font.Style = []
    TabOrder = 2
    Checked = True
    AutoSize = False
    Alignment = taLeftJustify
    GroupIndex = 2
    AllowAllUp = False
    Style = 3
    TabStop = False
  end
end
)");
    core::Bitmap picture(4, 3, 8, {{255, 0, 255, 0}, {0, 0, 0, 0}});
    picture.SetIndex(1, 0, 1);
    picture.SetIndex(2, 1, 1);
    core::LayoutObject* frame = layout.FindChild("Rgn1");
    frame->Set("RgnBitmap.Data", StoredPicture(picture));
    frame->Set("RgnData", core::EncodeRgnData(core::BandRuns(core::ScanRuns(picture))));
    core::LayoutObject* box = layout.FindChild("CheckBox1");
    core::LayoutProperty style = box->properties.end()[-2], tabStop = box->properties.back();
    box->properties.resize(box->properties.size() - 2);
    box->Set("GlyphChecked.Data", StoredPicture(picture));
    box->Set("GlyphUnChecked.Data", StoredPicture(picture.Mirrored()));
    box->properties.push_back(style);
    box->properties.push_back(tabStop);

    wintest::TLayoutForm* form = Load(layout);
    EXPECT_EQ(core::WriteLayout(forms::TWriter::WriteRoot(form)), core::WriteLayout(layout));
    EXPECT_TRUE(reports.empty());
}

TEST_F(LayoutTest, DefaultsAreNotWrittenAndAControlFollowingItsParentStoresNoFontOrColour) {
    auto* form = new forms::TForm(app);
    auto* box = new components::TdxfCheckBox(form);
    box->SetParent(form);
    // A form has no parent to follow: its colour and font are always its own.
    EXPECT_EQ(Names(forms::TWriter::WriteComponent(form)),
              (std::vector<std::string>{"Left", "Top", "Width", "Height", "Visible", "Color", "Font.Charset",
                                        "Font.Color", "Font.Height", "Font.Name", "Font.Style"}));
    EXPECT_EQ(Names(forms::TWriter::WriteComponent(box)),
              (std::vector<std::string>{"Left", "Top", "Width", "Height", "Checked", "GroupIndex"}));
    auto* frame = new components::TRgn(form);
    frame->SetParent(form);
    EXPECT_EQ(Names(forms::TWriter::WriteComponent(frame)),
              (std::vector<std::string>{"Left", "Top", "Width", "Height", "RgnData"}));
    for (forms::TComponent* plain : std::initializer_list<forms::TComponent*>{
             new forms::TTimer(form), new forms::TPopupMenu(form), new forms::TMenuItem(form),
             new components::TRgnList(form)})
        EXPECT_TRUE(forms::TWriter::WriteComponent(plain).properties.empty()) << plain->ClassName();
}

TEST_F(LayoutTest, UnknownNamesAndValuesAreRefusedWithTheReadError) {
    for (const char* property : {"Colour = clWhite", "Cursor = crBogus", "Color = clBogus", "Font.Charset = NO_CHARSET",
                                 "BorderStyle = bsRound", "Left = 'ten'"}) {
        SCOPED_TRACE(property);
        core::LayoutObject layout = core::ParseLayout(std::string("object Form: TForm\n  ") + property + "\nend\n");
        auto* form = forms::CreateForm<wintest::TLayoutForm>(app);
        try {
            form->Load(layout);
            ADD_FAILURE() << "accepted";
        } catch (const forms::EReadError&) {
        }
        delete form;
    }
}

}  // namespace
