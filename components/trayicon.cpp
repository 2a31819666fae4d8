#include "components/trayicon.h"

#include <cstring>
#include <mutex>

#include "forms/Exceptions.h"
#include "forms/Forms.h"
#include "forms/Platform.h"

namespace components {

using forms::Message;
using forms::TObject;

// ---- TBaseComponent ----

void TBaseComponent::EndUpdate(bool doChange) {
    updating_ = false;
    if (doChange) Change();
}

void TBaseComponent::GetChange(TObject*) { Change(); }

void TBaseComponent::Change() {
    if (!updating_ && OnChange) OnChange(this);
}

// ---- TWndProcComponent ----

static_assert(sizeof(void*) == 8, "the hook procedure's code is written for x86-64");

// A window procedure made for one component: a few instructions that put the record in the
// first argument's place and jump to HookEntry. It stays in the owner window's chain while
// a later hook still calls it, passing everything on once its component has gone.
struct TWndProcComponent::HookRecord {
    uint8_t code[24];
    TWndProcComponent* self;  // null once the component has let go
    WNDPROC previous;
    HWND window;              // null once the window has gone
    int busy;                 // messages of this record being handled right now
    bool linked;              // still in the window's chain

    WNDPROC Procedure() { return reinterpret_cast<WNDPROC>(static_cast<void*>(code)); }
};

namespace {

HANDLE ExecutableHeap() {
    static HANDLE heap = HeapCreate(HEAP_CREATE_ENABLE_EXECUTE, 0, 0);
    return heap;
}

template <class Record>
Record* MakeHookRecord(void* entry) {
    HANDLE heap = ExecutableHeap();
    auto* record = static_cast<Record*>(heap ? HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(Record)) : nullptr);
    if (!record) throw forms::EOutOfMemory(L"ウィンドウプロシージャを作成できません");
    uint8_t* code = record->code;
    const uint64_t recordAddress = reinterpret_cast<uint64_t>(record);
    const uint64_t entryAddress = reinterpret_cast<uint64_t>(entry);
    code[0] = 0x48, code[1] = 0xB9;  // mov rcx, record
    std::memcpy(code + 2, &recordAddress, 8);
    code[10] = 0x48, code[11] = 0xB8;  // mov rax, entry
    std::memcpy(code + 12, &entryAddress, 8);
    code[20] = 0xFF, code[21] = 0xE0;  // jmp rax
    FlushInstructionCache(GetCurrentProcess(), code, sizeof(record->code));
    return record;
}

// Frees a record that nothing can call any more.
template <class Record>
void FreeIfUnused(Record* record) {
    if (!record->self && record->busy == 0 && (!record->linked || !record->window))
        HeapFree(ExecutableHeap(), 0, record);
}

}  // namespace

LRESULT TWndProcComponent::HookEntry(HookRecord* record, UINT msg, WPARAM wParam, LPARAM lParam) {
    ++record->busy;
    LRESULT result = 0;
    if (record->self && !record->self->ending_) {
        Message message{msg, wParam, lParam};
        try {
            record->self->WndProc(message);
        } catch (...) {
            forms::ReportException(record->self);
        }
        result = message.result;
    } else {
        result = CallWindowProcW(record->previous, record->window, msg, wParam, lParam);
    }
    --record->busy;
    if (msg == WM_NCDESTROY) record->window = nullptr;
    FreeIfUnused(record);
    return result;
}

TWndProcComponent::~TWndProcComponent() { RestoreWndProc(); }

void TWndProcComponent::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    if (Designing()) return;
    if (value) Init();
    else RestoreState();
}

void TWndProcComponent::SetDesignEnabled(bool value) {
    if (value == designEnabled_) return;
    designEnabled_ = value;
    if (Designing()) {
        if (value) Init();
        else RestoreState();
    }
    DesignEnabledChanged();
}

void TWndProcComponent::SetHandleApp(bool value) {
    if (Designing() || Loading()) handleApp_ = value;
}

void TWndProcComponent::DesignEnabledChanged() {
    if (Designing() && !designEnabled_) RestoreWndProc();
}

HWND TWndProcComponent::GetOwnerHandle() const {
    auto* owner = dynamic_cast<forms::TWinControl*>(Owner());
    if (!owner || owner->HasState(forms::ComponentState::Destroying)) return nullptr;
    try {
        return owner->Handle();
    } catch (const forms::Exception&) {
        return nullptr;
    }
}

void TWndProcComponent::Init() {
    if (enabled_ && !hook_) NewWndProc();
}

bool TWndProcComponent::NewWndProc() {
    if (hook_ || (Designing() && !designEnabled_)) return false;
    HWND window = GetOwnerHandle();
    if (!window) return false;
    try {
        ending_ = false;
        if (handleApp_ && forms::Application) {
            forms::Application->HookMainWindow(this, [this](Message& message) { return AppWndProc(message); });
            hooked_ = true;
        }
        hook_ = MakeHookRecord<HookRecord>(reinterpret_cast<void*>(&HookEntry));
        hook_->self = this;
        hook_->window = window;
        hook_->previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
        if (!hook_->previous || !SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook_->Procedure())))
            throw forms::EOSError(L"ウィンドウプロシージャを設定できません");
        hook_->linked = true;
    } catch (const forms::Exception&) {
        // Without the hook the component still works, only blind to its owner's messages.
        RestoreWndProc();
        return false;
    }
    return true;
}

void TWndProcComponent::RestoreWndProc() {
    if (HookRecord* record = std::exchange(hook_, nullptr)) {
        record->self = nullptr;
        // Only the top of the chain can be taken out; a hook put on top later keeps calling ours.
        if (record->linked && record->window &&
            GetWindowLongPtrW(record->window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(record->Procedure())) {
            SetWindowLongPtrW(record->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record->previous));
            record->linked = false;
        }
        FreeIfUnused(record);
    }
    if (hooked_) {
        if (forms::Application) forms::Application->UnhookMainWindow(this);
        hooked_ = false;
    }
    ending_ = false;
}

void TWndProcComponent::SilentRemove() {
    RestoreWndProc();
    SetEnabled(false);
}

void TWndProcComponent::Loaded() {
    TBaseComponent::Loaded();
    if (!Designing() || designEnabled_) Init();
}

bool TWndProcComponent::AppWndProc(Message&) { return false; }

void TWndProcComponent::WndProc(Message& message) {
    if (message.msg == WM_DESTROY) ending_ = true;
    if (hook_) message.result = CallWindowProcW(hook_->previous, hook_->window, message.msg, message.wParam, message.lParam);
}

// ---- TTrayIcon ----

namespace {

constexpr UINT WM_ANIMATION_STEP = WM_USER + 102;

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

constexpr std::pair<std::string_view, TTimerMode> kTimerModes[] = {
    {"tmGlobalTimer", TTimerMode::tmGlobalTimer}, {"tmHiTimer", TTimerMode::tmHiTimer}, {"tmThreaded", TTimerMode::tmThreaded}};
constexpr std::pair<std::string_view, TThreadPriority> kPriorities[] = {
    {"tpIdle", TThreadPriority::tpIdle},       {"tpLowest", TThreadPriority::tpLowest},
    {"tpLower", TThreadPriority::tpLower},     {"tpNormal", TThreadPriority::tpNormal},
    {"tpHigher", TThreadPriority::tpHigher},   {"tpHighest", TThreadPriority::tpHighest},
    {"tpTimeCritical", TThreadPriority::tpTimeCritical}};

}  // namespace

TTrayIcon::TTrayIcon(forms::TComponent* owner) : TWndProcComponent(owner), icon_(std::make_unique<forms::TIcon>()) {
    icon_->OnChange = [this](TObject* sender) { IconChanged(sender); };
    changeLink_.OnChange = [this](TObject* sender) { GetIMLChange(sender); };
    uiThread_ = GetCurrentThreadId();
    // Top-level, never shown: a message-only window would not hear the shell's broadcasts.
    auto* procedure = &forms::ObjectWindowProcedure<TTrayIcon, &TTrayIcon::callbackWindow_, &TTrayIcon::CallbackWndProc>;
    forms::CheckCreated(CreateWindowExW(WS_EX_TOOLWINDOW, forms::EnsureWindowClass(L"KurunTrayIcon", procedure), L"",
                                        WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), this));
}

TTrayIcon::~TTrayIcon() {
    DeActivateTimer(timerMode_);
    if (changeLink_.Sender()) changeLink_.Sender()->UnRegisterChanges(&changeLink_);
    SetEnabled(false);
    hint_.clear();
    NotifyIcon(NIM_DELETE);
    if (popupMenu_ && popupMenu_->PopupComponent == this) popupMenu_->PopupComponent = nullptr;
    callbackWindow_.Reset();
}

void TTrayIcon::CallbackWndProc(Message& message) {
    if (message.msg == WM_TRAYNOTIFY) {
        GetCursorPos(&cursorPos_);
        const POINT anchor{static_cast<short>(LOWORD(message.wParam)), static_cast<short>(HIWORD(message.wParam))};
        TrayNotification(LOWORD(message.lParam), anchor);
    } else if (message.msg == TaskbarCreatedMessage()) {
        // The shell started again (or only now): the icon it had is gone.
        if (active_ && !AddIcon()) NotifyIcon(NIM_MODIFY);
    } else if (message.msg == WM_ANIMATION_STEP) {
        stepPending_ = false;
        StepAnimation();
    } else if (message.msg == WM_CLOSE) {
        // Not a window one closes (taskkill asks every window): without it the icon could
        // never be taken away.
    } else {
        message.result = DefWindowProcW(callbackWindow_.Get(), message.msg, message.wParam, message.lParam);
    }
}

// The shell follows a left click's release with NIN_SELECT and a right one's with WM_CONTEXTMENU
// (Wine does too): the mouse events have answered those already; only the keyboard's count.
void TTrayIcon::TrayNotification(UINT event, POINT anchor) {
    const UINT previous = lastEvent_;
    if (event != WM_MOUSEMOVE) lastEvent_ = event;
    switch (event) {
    case NIN_SELECT:
        if (previous == WM_LBUTTONUP) return;
        [[fallthrough]];
    case NIN_KEYSELECT:
        if (OnDblClick) OnDblClick(this);
        return;
    case WM_CONTEXTMENU:
        // A menu left without a choice gives the keyboard back to where it came from.
        if (previous != WM_RBUTTONUP && popupMenu_ && !ShowPopupMenu(anchor)) NotifyIcon(NIM_SETFOCUS);
        return;
    default:
        MouseNotification(event);
    }
}

void TTrayIcon::MouseNotification(UINT mouseMessage) {
    const int x = cursorPos_.x, y = cursorPos_.y;
    if (mouseMessage == WM_MOUSEMOVE) {
        if (OnMouseMove) OnMouseMove(this, 0, x, y);
        return;
    }
    if (mouseMessage < WM_LBUTTONDOWN || mouseMessage > WM_MBUTTONDBLCLK) return;
    // Down, up and double click of the left, right and middle buttons, in that order.
    const auto button = static_cast<forms::TMouseButton>((mouseMessage - WM_LBUTTONDOWN) / 3);
    switch ((mouseMessage - WM_LBUTTONDOWN) % 3) {
    case 0:
        if (OnMouseDown) OnMouseDown(this, button, 0, x, y);
        if (button == forms::TMouseButton::Right && popupMenu_) ShowPopupMenu(cursorPos_);
        break;
    case 1:
        if (OnClick) OnClick(this);
        if (OnMouseUp) OnMouseUp(this, button, 0, x, y);
        break;
    default:
        if (OnDblClick) OnDblClick(this);
        if (OnMouseDown) OnMouseDown(this, button, forms::ssDouble, x, y);
    }
}

bool TTrayIcon::ShowPopupMenu(POINT at) {
    if (OnPopUp) OnPopUp(this);
    if (!popupMenu_) return false;  // the handler may have taken it away
    popupMenu_->PopupComponent = this;
    return popupMenu_->Popup(at.x, at.y, callbackWindow_.Get());
}

bool TTrayIcon::AddIcon() {
    if (!NotifyIcon(NIM_ADD)) return false;
    NotifyIcon(NIM_SETVERSION);
    return true;
}

bool TTrayIcon::NotifyIcon(DWORD command, HICON icon) {
    if (Designing()) return false;
    NOTIFYICONDATAW data{};
    data.hWnd = callbackWindow_.Get();
    data.uID = 0;
    if (command == NIM_SETVERSION || command == NIM_SETFOCUS) {
        // The first record has no room for the version.
        data.cbSize = sizeof(data);
        data.uVersion = NOTIFYICON_VERSION_4;
        return forms::Platform().NotifyIcon(command, data);
    }
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = icon ? icon : icon_->Handle();
    // 63 characters and the terminator; a surrogate pair is not split.
    size_t length = std::min<size_t>(hint_.size(), 63);
    if (length == 63 && IS_HIGH_SURROGATE(hint_[62])) --length;
    hint_.copy(data.szTip, length);
    return forms::Platform().NotifyIcon(command, data);
}

void TTrayIcon::UpdateIcon() {
    if (active_ && !Designing() && !Loading()) NotifyIcon(NIM_MODIFY);
}

void TTrayIcon::IconChanged(TObject*) { UpdateIcon(); }

void TTrayIcon::SetHint(const std::wstring& value) {
    if (value == hint_ && !Loading()) return;
    hint_ = value;
    UpdateIcon();
}

void TTrayIcon::SetActive(bool value) {
    if (value == active_) return;
    active_ = value;
    if (Designing()) return;
    forms::TApplication* application = forms::Application;
    if (value) {
        SetEnabled(true);
        Init();
        // The icon stands in for the taskbar button, and the loop shows no window by itself.
        if (application) {
            application->ShowMainForm = false;
            application->ShowTaskbarButton(false);
        }
        ActivateTimer();
        AddIcon();
        EnableTimer(true);
    } else {
        SilentRemove();
        if (application) {
            application->ShowMainForm = true;
            application->ShowTaskbarButton(true);
        }
        NotifyIcon(NIM_DELETE);
        DeActivateTimer(timerMode_);
    }
}

void TTrayIcon::SetPopUpMenu(forms::TPopupMenu* value) {
    if (value == popupMenu_) return;
    popupMenu_ = value;
    if (value) FreeNotification(value);
}

void TTrayIcon::SetImageList(TIconImageList* value) {
    if (changeLink_.Sender()) changeLink_.Sender()->UnRegisterChanges(&changeLink_);
    imageList_ = value;
    if (value) {
        value->RegisterChanges(&changeLink_);
        FreeNotification(value);
    }
    GetIMLChange(value);
}

void TTrayIcon::SetTimerMode(TTimerMode value) {
    if (value == timerMode_) return;
    if (Loading()) {
        timerMode_ = value;
        return;
    }
    DeActivateTimer(timerMode_);
    timerMode_ = value;
    ActivateTimer();
    // A running animation goes on with the new timer.
    if (animated_ && active_) EnableTimer(true);
}

void TTrayIcon::SetAnimated(bool value) {
    if (value == animated_) return;
    animated_ = value;
    if (!value) DeActivateTimer(timerMode_);
    else if (active_ && !Loading()) {
        ActivateTimer();
        EnableTimer(true);
    }
}

void TTrayIcon::ActivateTimer() {
    if (!animated_) return;
    if (timerMode_ == TTimerMode::tmGlobalTimer) {
        if (globalTimer_ != 0) return;
        TTimerPool& pool = TTimerPool::Global();
        globalTimer_ = pool.Add([this](TObject*) { GetTimer(this); }, interval_);
        if (globalTimer_ == 0) throw forms::EOutOfResources(L"タイマーを取得できません");
        pool.SetEnabled(globalTimer_, false);
    } else if (!hiTimer_) {
        hiTimer_ = std::make_unique<THiTimer>(timerMode_ == TTimerMode::tmThreaded);
        hiTimer_->OnTimer = [this](TObject* sender) { GetTimer(sender); };
    }
}

void TTrayIcon::DeActivateTimer(TTimerMode mode) {
    if (mode == TTimerMode::tmGlobalTimer) {
        if (globalTimer_ != 0) TTimerPool::Global().Remove(std::exchange(globalTimer_, 0));
    } else {
        hiTimer_.reset();
    }
}

void TTrayIcon::EnableTimer(bool on) {
    frame_ = 0;
    if (globalTimer_ != 0) {
        TTimerPool& pool = TTimerPool::Global();
        if (on) pool.SetInterval(globalTimer_, interval_);
        pool.SetEnabled(globalTimer_, on);
    } else if (hiTimer_) {
        if (on) {
            hiTimer_->SetInterval(interval_);
            hiTimer_->SetPriority(threadPriority_);
        }
        hiTimer_->SetEnabled(on);
    }
}

void TTrayIcon::GetTimer(TObject*) {
    // The shell is only ever told things from the user-interface thread.
    if (GetCurrentThreadId() != uiThread_) {
        if (!stepPending_.exchange(true)) PostMessageW(callbackWindow_.Get(), WM_ANIMATION_STEP, 0, 0);
        return;
    }
    StepAnimation();
}

void TTrayIcon::StepAnimation() {
    if (!imageList_ || Designing() || !active_) return;
    const int count = imageList_->Count(listIndex_);
    if (count == 0) return;
    if (frame_ >= count) frame_ = 0;
    forms::TBitmap picture;
    imageList_->GetBitmap(listIndex_, frame_, picture);
    forms::IconHandle icon = forms::MakeIcon(picture, 16, 16);
    NotifyIcon(NIM_MODIFY, icon.Get());
    frame_ = (frame_ + 1) % count;
}

void TTrayIcon::HideOwner() {
    if (forms::Application) forms::Application->ShowTaskbarButton(false);
    if (auto* form = dynamic_cast<forms::TControl*>(Owner())) form->SetVisible(false);
}

void TTrayIcon::WndProc(Message& message) {
    if (Ending() || message.msg != WM_SYSCOMMAND) {
        TWndProcComponent::WndProc(message);
    } else if (message.wParam == SC_MINIMIZE) {
        TWndProcComponent::WndProc(message);
        if (!ShowMinimizedIcon) HideOwner();
    } else if (message.wParam == SC_CLOSE && NoClose && active_) {
        HideOwner();
    } else {
        TWndProcComponent::WndProc(message);
    }
}

void TTrayIcon::Loaded() {
    TWndProcComponent::Loaded();
    // Stored as active: the icon appears now that everything it needs is read.
    if (active_) {
        active_ = false;
        SetActive(true);
    }
}

void TTrayIcon::Notification(forms::TComponent* component, bool removing) {
    TWndProcComponent::Notification(component, removing);
    if (!removing) return;
    if (component == popupMenu_) popupMenu_ = nullptr;
    if (component == imageList_) SetImageList(nullptr);
}

const forms::TPropertyTable<forms::TComponent>& TTrayIcon::StoredProperties() const {
    using P = forms::TProperties<TTrayIcon>;
    static const forms::TPropertyTable<forms::TComponent> table(&TComponent::StoredProperties(), {
        P::String("About", &TTrayIcon::About, L""),
        P::Boolean("Active", &TTrayIcon::Active, &TTrayIcon::SetActive, true),
        P::String("Hint", &TTrayIcon::Hint, &TTrayIcon::SetHint, L""),
        P::Picture("Icon.Data", [](const TTrayIcon& tray) { return tray.icon_.get(); }),
        P::Boolean("NoClose", &TTrayIcon::NoClose, false),
        P::Boolean("ShowMinimizedIcon", &TTrayIcon::ShowMinimizedIcon, false),
        P::Reference<forms::TPopupMenu>("PopupMenu", &TTrayIcon::PopupMenu, &TTrayIcon::SetPopUpMenu),
        P::Reference<TIconImageList>("ImageList", &TTrayIcon::ImageList, &TTrayIcon::SetImageList),
        P::Ident<TTimerMode>("TimerMode", kTimerModes, &TTrayIcon::TimerMode, &TTrayIcon::SetTimerMode,
                             TTimerMode::tmGlobalTimer),
        P::Ident<TThreadPriority>("ThreadPriority", kPriorities, &TTrayIcon::ThreadPriority,
                                  &TTrayIcon::SetThreadPriority, TThreadPriority::tpNormal),
        P::Custom(
            "Interval",
            [](TTrayIcon& tray, const core::LayoutValue& value, forms::TReader& reader) {
                int64_t interval = reader.Integer(value);
                if (interval < 1 || interval > 0xFFFF) reader.InvalidValue();
                tray.SetInterval(static_cast<uint16_t>(interval));
            },
            [](const TTrayIcon& tray, forms::TWriter& writer, const std::string& name) {
                if (tray.interval_ != 200) writer.Integer(name, tray.interval_);
            }),
        P::Boolean("Animated", &TTrayIcon::Animated, &TTrayIcon::SetAnimated, false),
        P::Event("OnClick", &TTrayIcon::OnClick),
        P::Event("OnDblClick", &TTrayIcon::OnDblClick),
        P::Event("OnMouseDown", &TTrayIcon::OnMouseDown),
        P::Event("OnMouseMove", &TTrayIcon::OnMouseMove),
        P::Event("OnMouseUp", &TTrayIcon::OnMouseUp),
        P::Event("OnPopUp", &TTrayIcon::OnPopUp),
    });
    return table;
}

void InitializeTrayIconUnit() {
    static std::once_flag once;
    std::call_once(once, [] {
        forms::RegisterClassOf<TTrayIcon>("TTrayIcon");
        forms::RegisterClassOf<TIconImageList>("TIconImageList");
    });
}

}  // namespace components
