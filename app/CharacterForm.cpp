#include "app/CharacterForm.h"

#include <string>
#include <utility>

#include "app/Fenwa.h"
#include "app/Melka.h"
#include "app/Pelton.h"
#include "app/Rugo.h"
#include "app/StatusWindow1.h"
#include "app/Walking.h"
#include "forms/Platform.h"

namespace kurun {

TCharacterForm* CharacterWindow(int n) {
    switch (n) {
    case 1: return Form1;
    case 2: return Form2;
    case 3: return Form3;
    case 4: return Form4;
    default: return nullptr;
    }
}

TCharacterForm::TCharacterForm(TComponent* owner, int character, const wchar_t* resourceName,
                               forms::TNotifyEvent createHandler)
    : forms::TForm(owner), character_(character) {
    if (createHandler) PublishMethod("FormCreate", std::move(createHandler));
    components::InitializeRegionUnit();
    PublishField("RgnList1", RgnList1);
    PublishField("Timer1", Timer1);
    PublishField("PopupMenu1", PopupMenu1);
    PublishField("N1", N1);
    for (int n = 1; n <= kFrameCount; ++n) PublishField("Rgn" + std::to_string(n), Rgn[static_cast<size_t>(n - 1)]);
    PublishMethod("Timer1Timer", [this](TObject* sender) { Timer1Timer(sender); });
    PublishMethod("N1Click", [this](TObject* sender) { N1Click(sender); });
    PublishMethod("Rgn1Click", [this](TObject* sender) { Rgn1Click(sender); });
    // The characters walk about the desktop without ever taking the focus, as ornaments do.
    Activatable = false;
    PointedHintsOnly = true;
    InitInheritedComponent(resourceName);
    ShowFrame(1);
    walkFrame_ = 0;
}

void TCharacterForm::ShowFrame(int n) {
    if (n == shownFrame_) return;  // outline and picture are this frame's already
    RgnList1->Add(Frame(n));
    RgnList1->SetWndRgn();
    shownFrame_ = n;
}

void TCharacterForm::FollowCheckBox(bool checked) { SetVisible(checked && !outOfTheWay_); }

void TCharacterForm::SetOutOfTheWay(bool value) {
    if (value == outOfTheWay_) return;
    outOfTheWay_ = value;
    FollowCheckBox(StatusForm1 && StatusForm1->Checked(character_));
    WakeWalking();
}

void TCharacterForm::WakeWalking() {
    if (Walking1) Walking1->Wake();
}

void TCharacterForm::SetBounds(int left, int top, int width, int height) {
    forms::TForm::SetBounds(left, top, width, height);
    WakeWalking();
}

void TCharacterForm::SetVisible(bool value) {
    const bool changed = value != Visible();
    forms::TForm::SetVisible(value);
    if (changed) WakeWalking();
}

void TCharacterForm::CatchUp(uint64_t now) {
    if (lastTick_.end != TickEnd::Stood || now < lastTick_.at) return;
    const uint64_t missed = (now - lastTick_.at) / Timer1->Interval();
    walkFrame_ = core::AdvanceWalkFrame(walkFrame_, static_cast<int64_t>(missed));
    lastTick_.at += missed * Timer1->Interval();
}

void TCharacterForm::ChangeScale(int M, int D) {
    forms::TForm::ChangeScale(M, D);
    if (shownFrame_ == 0) return;  // still loading: the first frame is shown at the new scale
    const int frame = std::exchange(shownFrame_, 0);
    ShowFrame(frame);
    // The new size's picture at once, before the loop does anything else.
    UpdateWindow(Handle());
    WakeWalking();  // the rest box has a new size
}

std::optional<POINT> TCharacterForm::ScaleAnchor() const {
    const RECT sprite = Frame(shownFrame_ ? shownFrame_ : 1)->BoundsRect();
    return POINT{(sprite.left + sprite.right) / 2, sprite.bottom};
}

// In screen pixels: the rest box and the steps grow with the sprite.
core::WalkConstants TCharacterForm::Constants() const {
    return core::ScaledWalk(core::kWalkConstants.at(static_cast<size_t>(character_ - 1)), PixelScale());
}

std::optional<core::Point> TCharacterForm::Target() const {
    if (Constants().target == core::WalkTarget::FirstCharacter) {
        TCharacterForm* first = CharacterWindow(1);
        return core::Point{first->Left(), first->Top()};
    }
    POINT cursor{};
    if (!forms::TimerCursorPos(cursor)) return std::nullopt;
    return core::Point{cursor.x, cursor.y};
}

// No mouse capture is taken around the tick: nothing can arrive while it runs, and releasing
// a capture fakes a mouse move that keeps Wine's cached cursor position from ever updating.
void TCharacterForm::Timer1Timer(TObject*) {
    lastTick_.end = Walk();
    lastTick_.at = GetTickCount64();
    if (Walking1) Walking1->TickDone();
}

TCharacterForm::TickEnd TCharacterForm::Walk() {
    const core::WalkConstants& constants = Constants();
    if (constants.extra == core::WalkExtraRule::FollowFirstCheckBox && StatusForm1)
        FollowCheckBox(StatusForm1->Checked(character_));
    if (outOfTheWay_) return TickEnd::Waited;  // stands where it was until the fullscreen program has gone
    if (constants.extra == core::WalkExtraRule::WaitForFirstCharacter) {
        TCharacterForm* first = CharacterWindow(1);
        if (!first || !first->Visible()) return TickEnd::Waited;
    }
    // Without a target the character stands rather than marching to the screen's corner.
    std::optional<core::Point> target = Target();
    if (!target) return TickEnd::Unsettled;
    lastTick_.target = *target;
    const core::Point from{Left(), Top()};
    core::WalkTick tick = core::PlanWalk(constants, from, *target, walkFrame_);
    walkFrame_ = tick.walkFrame;
    if (tick.moveCount == 0) return TickEnd::Stood;
    // Nothing is painted between the two steps of a diagonal move, so its first frame is never
    // seen: the last frame's outline, then one move to where both steps lead.
    ShowFrame(tick.LastFrame());
    const core::Point to = tick.Destination(from);
    SetBounds(to.x, to.y, Width(), Height());
    return TickEnd::Unsettled;
}

std::array<int, 4> TimerStopOrder(int n) {
    std::array<int, 4> order{n};
    int next = 1;
    for (size_t i = 1; i < order.size(); ++i, ++next) {
        if (next == n) ++next;
        order[i] = next;
    }
    return order;
}


void ShowTargetHints() {
    for (int n = 1; n <= 4; ++n) CharacterWindow(n)->SetTargetHint(StatusForm1->DescribeRow(n));
}

// Every frame carries it, so whichever is shown answers the pointer.
void TCharacterForm::SetTargetHint(const std::wstring& text) {
    for (TRgn* frame : Rgn) {
        frame->Hint = text;
        frame->ShowHint = true;
    }
    HintsChanged();
}

// Stops every character, this one first, and opens the settings on this character's row.
// While the settings are already open no second showing starts: the window comes forward with
// the requested row, so the colour portrait always marks the row that receives drops.
void TCharacterForm::N1Click(TObject*) {
    Walking1->SetReason(core::StandReason::SettingsShown, true, character_);
    StatusForm1->SelectedChar = character_ - 1;
    if (StatusForm1->Visible()) {
        SetForegroundWindow(StatusForm1->Handle());
        StatusForm1->FormShow(this);
        return;
    }
    // However the showing ends (the close button, Alt+F4, the program's end, an error), the
    // settings no longer keep the characters standing, and they say what they open now.
    struct WalkAgain {
        ~WalkAgain() {
            if (Walking1) Walking1->SetReason(core::StandReason::SettingsShown, false);
            ShowTargetHints();
        }
    } walkAgain;
    StatusForm1->ShowModal();
}

void TCharacterForm::WMSysCommand(forms::Message& message) {
    if ((message.wParam & 0xFFF0) == SC_CLOSE) return;
    DefaultHandler(message);
}

void TCharacterForm::WMClose(forms::Message&) { CharacterWindow(1)->Close(); }

// The whole text goes to the shell as it stands: blanks and all, unquoted, however long.
void TCharacterForm::DescribeAccessible(forms::TAccessibleInfo& info) {
    info.Role = ROLE_SYSTEM_PUSHBUTTON;
    info.Name = Frame(1)->Hint;  // every frame has the tooltip's text
    info.DefaultAction = L"起動";
}

void TCharacterForm::Rgn1Click(TObject*) {
    const std::wstring path = StatusForm1->LaunchFile(character_);
    if (path.empty()) {
        forms::Beep(0);
        return;
    }
    // This program has the last input event (the click), not the foreground: it lets the
    // program it starts take the foreground, so that comes to the front.
    AllowSetForegroundWindow(ASFW_ANY);
    forms::ShellOpen(Handle(), L"OPEN", path);
}

}  // namespace kurun
