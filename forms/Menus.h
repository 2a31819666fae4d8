#pragma once
// Popup menus opened at the cursor, with items that report their clicks.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/Classes.h"

namespace forms {

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
    ~TMenuItem() override;
    std::string ClassName() const override { return "TMenuItem"; }

    std::wstring Caption;
    bool Enabled = true;
    bool Visible = true;
    bool Checked = false;
    bool Default = false;
    TNotifyEvent OnClick;

    TComponent* Container() const { return container_; }
    void SetContainer(TComponent* container) { container_ = container; }
    virtual void Click();

    const TPropertyTable<TComponent>& StoredProperties() const override;
    TComponent* LayoutContainer() const override { return container_ ? container_ : Owner(); }

private:
    TComponent* container_ = nullptr;
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner) : TComponent(owner) {}
    ~TPopupMenu() override;
    std::string ClassName() const override { return "TPopupMenu"; }

    const std::vector<TMenuItem*>& Items() const { return items_; }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    TNotifyEvent OnPopup;

    // Shows the menu at a screen point for a window of the program (null: the application
    // window) and runs the chosen item's click; whether an item was chosen.
    virtual bool Popup(int x, int y, HWND owner = nullptr);
    // The component whose menu this is while it is shown (a tray icon, for instance).
    TComponent* PopupComponent = nullptr;
    // Replaces the platform menu in tests: receives the menu and the point, returns the item
    // to click (or null for none).
    static std::function<TMenuItem*(TPopupMenu*, POINT)> PopupHook;
    POINT PopupPoint() const { return popupPoint_; }

    void AddLayoutChild(TComponent* child) override;
    const TPropertyTable<TComponent>& StoredProperties() const override;

private:
    // The platform menu; the chosen item or null.
    TMenuItem* Track(int x, int y, HWND owner);
    std::vector<TMenuItem*> items_;
    POINT popupPoint_{};
};

}  // namespace forms
