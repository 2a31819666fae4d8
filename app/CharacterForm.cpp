#include "app/CharacterForm.h"

#include <string>

#include "app/Pelton.h"

namespace kurun {

std::function<std::optional<bool>()> TCharacterForm::FirstCharacterWanted;

forms::TCustomForm* FirstCharacterWindow() { return Form1; }

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

const core::WalkConstants& TCharacterForm::Constants() const {
    return core::kWalkConstants.at(static_cast<size_t>(character_ - 1));
}

std::optional<core::Point> TCharacterForm::Target() const {
    if (Constants().target == core::WalkTarget::FirstCharacter) {
        forms::TCustomForm* first = FirstCharacterWindow();
        return core::Point{first->Left(), first->Top()};
    }
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return std::nullopt;
    return core::Point{cursor.x, cursor.y};
}

// No mouse capture is taken around the tick: nothing can arrive while it runs, and releasing
// a capture fakes a mouse move that keeps Wine's cached cursor position from ever updating.
void TCharacterForm::Timer1Timer(TObject*) {
    const core::WalkConstants& constants = Constants();
    if (constants.extra == core::WalkExtraRule::FollowFirstCheckBox && FirstCharacterWanted) {
        if (std::optional<bool> wanted = FirstCharacterWanted()) SetVisible(*wanted);
    }
    if (constants.extra == core::WalkExtraRule::WaitForFirstCharacter) {
        forms::TCustomForm* first = FirstCharacterWindow();
        if (!first || !first->Visible()) return;
    }
    // Without a target the character stands rather than marching to the screen's corner.
    std::optional<core::Point> target = Target();
    if (!target) return;
    const core::Point from{Left(), Top()};
    core::WalkTick tick = core::PlanWalk(constants, from, *target, walkFrame_);
    walkFrame_ = tick.walkFrame;
    if (tick.moveCount == 0) return;
    // Nothing is painted between the two steps of a diagonal move, so its first frame is never
    // seen: the last frame's outline, then one move to where both steps lead.
    ShowFrame(tick.LastFrame());
    const core::Point to = tick.Destination(from);
    SetBounds(to.x, to.y, Width(), Height());
}

// Launching and the settings window arrive with the settings window itself.
void TCharacterForm::N1Click(TObject*) {}
void TCharacterForm::Rgn1Click(TObject*) {}

}  // namespace kurun
