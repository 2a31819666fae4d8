#pragma once
// The notification-area (tray) icon and the bases it stands on: a component with a change
// event, and a component that hooks its owner form's window procedure.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "components/IconImageList.h"
#include "components/Timers.h"
#include "forms/Graphics.h"
#include "forms/Menus.h"
#include "forms/Properties.h"
#include "forms/StdCtrls.h"

namespace components {

class TBaseComponent : public forms::TComponent {
public:
    explicit TBaseComponent(forms::TComponent* owner) : TComponent(owner) {}

    std::wstring About;  // design-time information, no effect at run time
    forms::TNotifyEvent OnChange;

    void BeginUpdate() { updating_ = true; }
    void EndUpdate(bool doChange = true);
    bool Updating() const { return updating_; }
    // Where change notifications arrive; calls Change.
    virtual void GetChange(forms::TObject* sender);
    // Calls OnChange unless an update is under way.
    virtual void Change();

private:
    bool updating_ = false;
};

// Hooks the owner form's window: each of its messages reaches WndProc first. The hook goes
// when the component goes or its owner's window does, whichever is first; when another hook
// has been put on top meanwhile, ours stays in the chain and only passes messages on.
class TWndProcComponent : public TBaseComponent {
public:
    explicit TWndProcComponent(forms::TComponent* owner) : TBaseComponent(owner) {}
    ~TWndProcComponent() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool DesignEnabled() const { return designEnabled_; }
    void SetDesignEnabled(bool value);
    bool HandleApp() const { return handleApp_; }
    // Also hook the application window; takes effect only while designing or loading.
    void SetHandleApp(bool value);

    // The owner window's hook, the application hook, and whether the owner window is going.
    bool HookInstalled() const { return hook_ != nullptr; }
    bool Hooked() const { return hooked_; }
    bool Ending() const { return ending_; }

    forms::TComponent* GetOwnerForm() const { return Owner(); }
    // The owner's window, made if need be; null without a windowed owner or when it fails.
    HWND GetOwnerHandle() const;
    // Removes the hook and wants none from now on.
    void SilentRemove();
    void Loaded() override;

protected:
    // Messages of the application window while the application hook is in; true: handled.
    virtual bool AppWndProc(forms::Message& message);
    // Installs the hook when it is wanted and not yet there.
    virtual void Init();
    virtual void RestoreState() {}
    // Every message of the owner window; this one hands it to the window's previous procedure.
    virtual void WndProc(forms::Message& message);
    virtual void DesignEnabledChanged();
    bool NewWndProc();
    void RestoreWndProc();
    bool Designing() const { return HasState(forms::ComponentState::Designing); }
    bool Loading() const { return HasState(forms::ComponentState::Loading); }

private:
    struct HookRecord;
    static LRESULT HookEntry(HookRecord* record, UINT msg, WPARAM wParam, LPARAM lParam);

    bool enabled_ = true;
    bool designEnabled_ = false;
    bool handleApp_ = false;
    bool hooked_ = false;
    bool ending_ = false;
    HookRecord* hook_ = nullptr;  // the window procedure made for this object
};

enum class TTimerMode { tmGlobalTimer, tmHiTimer, tmThreaded };

class TTrayIcon : public TWndProcComponent {
public:
    // The shell's notifications for the icon. The icon asks for the version-4 ones: the event
    // (a mouse message, NIN_SELECT, NIN_KEYSELECT, WM_CONTEXTMENU) in the low word of the second
    // parameter and the icon's anchor in the first; a shell without them sends the mouse message
    // alone, in the same low word. Enter or Space on the focused icon is its double click;
    // Shift+F10 or the menu key opens the menu at the icon.
    static constexpr UINT WM_TRAYNOTIFY = WM_USER + 101;

    explicit TTrayIcon(forms::TComponent* owner);
    ~TTrayIcon() override;
    std::string ClassName() const override { return "TTrayIcon"; }

    bool Active() const { return active_; }
    void SetActive(bool value);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& value);
    forms::TIcon& Icon() { return *icon_; }
    void SetIcon(const forms::TIcon& value) { icon_->Assign(value); }
    bool NoClose = false;
    bool ShowMinimizedIcon = false;
    forms::TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopUpMenu(forms::TPopupMenu* value);
    TIconImageList* ImageList() const { return imageList_; }
    void SetImageList(TIconImageList* value);
    TTimerMode TimerMode() const { return timerMode_; }
    void SetTimerMode(TTimerMode value);
    TThreadPriority ThreadPriority() const { return threadPriority_; }
    void SetThreadPriority(TThreadPriority value) { threadPriority_ = value; }
    uint16_t Interval() const { return interval_; }
    // Takes effect when the animation next starts.
    void SetInterval(uint16_t value) { interval_ = value == 0 ? 1 : value; }
    bool Animated() const { return animated_; }
    void SetAnimated(bool value);

    forms::TNotifyEvent OnClick;
    forms::TNotifyEvent OnDblClick;
    forms::TMouseEvent OnMouseDown;
    forms::TMouseEvent OnMouseUp;
    forms::TMouseMoveEvent OnMouseMove;
    forms::TNotifyEvent OnPopUp;

    HWND CallbackWindow() const { return callbackWindow_.Get(); }
    POINT CursorPos() const { return cursorPos_; }
    int Frame() const { return frame_; }
    TTimerPool::TimerId GlobalTimerId() const { return globalTimer_; }
    THiTimer* HiTimer() const { return hiTimer_.get(); }

    // Sends the icon's record to the shell: NIM_ADD, NIM_MODIFY or NIM_DELETE; `icon` stands
    // in for Icon (an animation image). NIM_SETVERSION asks for the version-4 notifications and
    // NIM_SETFOCUS gives the keyboard back to the notification area. Whether the shell took it.
    bool NotifyIcon(DWORD command, HICON icon = nullptr);
    void IconChanged(forms::TObject* sender);
    void GetIMLChange(forms::TObject* sender) { GetChange(sender); }
    // One animation tick, from whichever timer drives it.
    void GetTimer(forms::TObject* sender);

    void Loaded() override;
    const forms::TPropertyTable<forms::TComponent>& StoredProperties() const override;

protected:
    void WndProc(forms::Message& message) override;
    void Notification(forms::TComponent* component, bool removing) override;

private:
    void CallbackWndProc(forms::Message& message);
    void TrayNotification(UINT event, POINT anchor);
    void MouseNotification(UINT mouseMessage);
    // Whether an entry was chosen.
    bool ShowPopupMenu(POINT at);
    // NIM_ADD, and the version-4 notifications for the icon it added.
    bool AddIcon();
    void UpdateIcon();
    void HideOwner();
    void ActivateTimer();
    void DeActivateTimer(TTimerMode mode);
    void EnableTimer(bool on);
    void StepAnimation();

    bool active_ = true;
    std::wstring hint_;
    std::unique_ptr<forms::TIcon> icon_;
    forms::TPopupMenu* popupMenu_ = nullptr;
    TIconImageList* imageList_ = nullptr;
    TChangeLink changeLink_;
    TTimerMode timerMode_ = TTimerMode::tmGlobalTimer;
    TThreadPriority threadPriority_ = TThreadPriority::tpNormal;
    uint16_t interval_ = 200;
    bool animated_ = false;
    forms::WindowHandle callbackWindow_;
    DWORD uiThread_ = 0;
    POINT cursorPos_{};
    UINT lastEvent_ = 0;  // the last notification but a move: tells a click's NIN_SELECT from a key's
    int listIndex_ = 0;
    int frame_ = 0;
    TTimerPool::TimerId globalTimer_ = 0;
    std::unique_ptr<THiTimer> hiTimer_;
    std::atomic<bool> stepPending_ = false;
};

// Makes the unit's classes known to layouts; safe to call any number of times.
void InitializeTrayIconUnit();

}  // namespace components
