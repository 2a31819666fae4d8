#pragma once
// What the four character windows share: the members of their layouts and the walking tick.
#include <array>
#include <optional>

#include "components/Region.h"
#include "core/Walk.h"
#include "forms/ExtCtrls.h"
#include "forms/Forms.h"
#include "forms/Menus.h"

namespace kurun {

using components::TRgn;
using components::TRgnList;
using forms::TComponent;
using forms::TObject;

constexpr int kFrameCount = 16;

class TCharacterForm : public forms::TForm {
public:
    // Members bound by name when the layout is read.
    TRgnList* RgnList1 = nullptr;
    forms::TTimer* Timer1 = nullptr;
    forms::TPopupMenu* PopupMenu1 = nullptr;
    forms::TMenuItem* N1 = nullptr;
    std::array<TRgn*, kFrameCount> Rgn{};  // Rgn1 .. Rgn16

    // Frame n, 1 to 16.
    TRgn* Frame(int n) const { return Rgn.at(static_cast<size_t>(n - 1)); }
    int32_t WalkFrame() const { return walkFrame_; }
    int CharacterIndex() const { return character_; }

    // Shows the window when its check box is on and no fullscreen program covers it.
    void FollowCheckBox(bool checked);
    // Out of a fullscreen program's way: hidden and standing whatever the check box says. This
    // lives only while the program runs; nothing of it is shown in the settings or saved.
    bool OutOfTheWay() const { return outOfTheWay_; }
    void SetOutOfTheWay(bool value);
    // At a new scale the shown frame's outline is made anew at once.
    void ChangeScale(int M, int D) override;
    // A character moved, shown or hidden by anything but its tick may have to walk at once.
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool value) override;

    // How the last tick ended, for the rest that follows when no character can move: it
    // stepped (or could not read its target), stood in its rest box around `target`, or waited
    // without reaching the cycle (out of the way, or character 4 while character 1 is hidden).
    enum class TickEnd { Unsettled, Stood, Waited };
    struct LastTick {
        TickEnd end = TickEnd::Unsettled;
        core::Point target;
        uint64_t at = 0;  // GetTickCount64 of the tick
    };
    const LastTick& LastTickEnd() const { return lastTick_; }
    void ForgetLastTick() { lastTick_ = {}; }
    bool FollowsPointer() const { return Constants().target == core::WalkTarget::Cursor; }
    // The counter as the ticks missed since a standing last tick would have left it by `now`.
    void CatchUp(uint64_t now);

    // The hint that pointing at the character shows: what it opens.
    void SetTargetHint(const std::wstring& text);

    void Timer1Timer(TObject* sender);
    void N1Click(TObject* sender);
    void Rgn1Click(TObject* sender);

protected:
    // A character is not closed: Alt+F4 and the window menu's close do nothing here.
    void WMSysCommand(forms::Message& message) override;
    // A close request from outside (another program, taskkill, the system) ends the program,
    // as the tray's exit does: nothing saved.
    void WMClose(forms::Message& message) override;

    // character: 1 to 4; resourceName: the stored layout of the window class; createHandler:
    // published as FormCreate before the layout, which may name it, is read.
    TCharacterForm(TComponent* owner, int character, const wchar_t* resourceName,
                   forms::TNotifyEvent createHandler = {});
    // A push button named by its tooltip, whose action is the launch.
    void DescribeAccessible(forms::TAccessibleInfo& info) override;
    void DoAccessibleAction() override { Rgn1Click(this); }
    // The sprite's feet: the bottom centre of the shown frame.
    std::optional<POINT> ScaleAnchor() const override;

private:
    TickEnd Walk();
    void WakeWalking();
    void ShowFrame(int n);
    core::WalkConstants Constants() const;
    // Nothing while the cursor cannot be read (another desktop is active, for instance).
    std::optional<core::Point> Target() const;

    int character_;
    int32_t walkFrame_ = 0;
    int shownFrame_ = 0;  // the frame whose outline the window has, 0 before the first
    bool outOfTheWay_ = false;
    LastTick lastTick_;
};

// Character n's window (1 to 4), or null while it does not exist yet.
TCharacterForm* CharacterWindow(int n);
// The order in which character n's settings command stops the walking: its own first.
std::array<int, 4> TimerStopOrder(int n);
// Gives every character the hint of what it opens now.
void ShowTargetHints();

}  // namespace kurun
