#include "forms/Menus.h"

#include <algorithm>

#include "forms/Controls.h"
#include "forms/Forms.h"
#include "forms/Handles.h"
#include "forms/Properties.h"

namespace forms {

std::function<TMenuItem*(TPopupMenu*, POINT)> TPopupMenu::PopupHook;

TMenuItem::~TMenuItem() {
    if (auto menu = dynamic_cast<TPopupMenu*>(container_)) menu->Remove(this);
}

void TMenuItem::Click() {
    if (Enabled && OnClick) OnClick(this);
}

const TPropertyTable<TComponent>& TMenuItem::StoredProperties() const {
    using P = TProperties<TMenuItem>;
    static const TPropertyTable<TComponent> table(&TComponent::StoredProperties(), {
        P::String("Caption", &TMenuItem::Caption, L""),
        P::Boolean("Enabled", &TMenuItem::Enabled, true),
        P::Boolean("Visible", &TMenuItem::Visible, true),
        P::Boolean("Checked", &TMenuItem::Checked, false),
        P::Boolean("Default", &TMenuItem::Default, false),
        P::Event("OnClick", &TMenuItem::OnClick),
    });
    return table;
}

TPopupMenu::~TPopupMenu() {
    for (TMenuItem* item : items_) item->SetContainer(nullptr);
}

void TPopupMenu::Add(TMenuItem* item) {
    items_.push_back(item);
    item->SetContainer(this);
}

void TPopupMenu::Remove(TMenuItem* item) { std::erase(items_, item); }

void TPopupMenu::AddLayoutChild(TComponent* child) {
    if (auto item = dynamic_cast<TMenuItem*>(child)) Add(item);
}

const TPropertyTable<TComponent>& TPopupMenu::StoredProperties() const {
    using P = TProperties<TPopupMenu>;
    static const TPropertyTable<TComponent> table(&TComponent::StoredProperties(), {
        P::Event("OnPopup", &TPopupMenu::OnPopup),
        P::Ignored({"AutoPopup", "Alignment"}),
    });
    return table;
}

bool TPopupMenu::Popup(int x, int y, HWND owner) {
    popupPoint_ = POINT{x, y};
    if (OnPopup) OnPopup(this);
    if (!owner) owner = Application->Handle();
    // Without the foreground the menu would not close when the user clicks elsewhere; the
    // message posted after it lets the next menu open at the first click.
    SetForegroundWindow(owner);
    TMenuItem* chosen = PopupHook ? PopupHook(this, popupPoint_) : Track(x, y, owner);
    PostMessageW(owner, WM_NULL, 0, 0);
    if (chosen) chosen->Click();
    return chosen != nullptr;
}

TMenuItem* TPopupMenu::Track(int x, int y, HWND owner) {
    MenuHandle menu(CreatePopupMenu());
    for (size_t i = 0; i < items_.size(); ++i) {
        const TMenuItem* item = items_[i];
        if (!item->Visible) continue;
        UINT flags = MF_STRING | (item->Enabled ? 0 : MF_GRAYED) | (item->Checked ? MF_CHECKED : 0);
        if (item->Caption == L"-") flags = MF_SEPARATOR;
        AppendMenuW(menu.Get(), flags, i + 1, item->Caption.c_str());
        if (item->Default) SetMenuDefaultItem(menu.Get(), static_cast<UINT>(i + 1), FALSE);
    }
    UINT command = TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y, 0, owner, nullptr);
    return command >= 1 && command <= items_.size() ? items_[command - 1] : nullptr;
}

}  // namespace forms
