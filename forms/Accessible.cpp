#include "forms/Accessible.h"

#include <ole2.h>
#include <oleacc.h>

#include <utility>

#include "forms/SystemLibrary.h"

namespace forms {

namespace {

// Defined here: the one in MinGW's oleacc import library is a code thunk, not the GUID, and
// oleacc is loaded at run time anyway.
constexpr IID kIID_IAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using CreateStdAccessibleObjectFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT GiveText(const std::wstring& text, BSTR* result) {
    if (!result) return E_POINTER;
    *result = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *result ? S_OK : E_OUTOFMEMORY;
}

HRESULT GiveNumber(long number, VARIANT* result) {
    if (!result) return E_POINTER;
    result->vt = VT_I4;
    result->lVal = number;
    return S_OK;
}

// No exception leaves through COM: whatever a control's answer throws is a failed call.
template <class F>
HRESULT Guarded(F&& answer) noexcept {
    try {
        return answer();
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace

// The COM object a screen reader holds: the control's own parts over the standard object.
class TAccessibleObject final : public IAccessible, public IOleWindow {
public:
    TAccessibleObject(HWND window, IAccessible* standard, TAccessibleServer* server)
        : window_(window), standard_(standard), server_(server) {}
    HWND Window() const { return window_; }
    void Disconnect() { server_ = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** result) override {
        if (!result) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIID_IAccessible)
            *result = static_cast<IAccessible*>(this);
        else if (iid == IID_IOleWindow)
            *result = static_cast<IOleWindow*>(this);
        else {
            *result = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return left;
    }

    // IOleWindow: how a reader finds the window of an object.
    STDMETHODIMP GetWindow(HWND* result) override {
        if (!result) return E_POINTER;
        *result = window_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch: readers call through the table, not by name.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // The control's own parts; a question about a child goes to the standard object.
    STDMETHODIMP get_accName(VARIANT child, BSTR* result) override {
        auto standard = [&] { return standard_->get_accName(child, result); };
        return Answer(child, standard, [&](const TAccessibleInfo& info) {
            return info.Name.empty() ? standard() : GiveText(info.Name, result);
        });
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* result) override {
        auto standard = [&] { return standard_->get_accRole(child, result); };
        return Answer(child, standard, [&](const TAccessibleInfo& info) {
            return info.Role ? GiveNumber(info.Role, result) : standard();
        });
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* result) override {
        auto standard = [&] { return standard_->get_accState(child, result); };
        return Answer(child, standard, [&](const TAccessibleInfo& info) {
            if (!result) return E_POINTER;
            const long base = SUCCEEDED(standard()) && result->vt == VT_I4 ? result->lVal : 0;
            VariantClear(result);
            return GiveNumber(base | info.State, result);
        });
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* result) override {
        auto standard = [&] { return standard_->get_accValue(child, result); };
        return Answer(child, standard, [&](const TAccessibleInfo& info) {
            return info.Value ? GiveText(*info.Value, result) : standard();
        });
    }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* result) override {
        auto standard = [&] { return standard_->get_accDefaultAction(child, result); };
        return Answer(child, standard, [&](const TAccessibleInfo& info) {
            return info.DefaultAction.empty() ? standard() : GiveText(info.DefaultAction, result);
        });
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        auto standard = [&] { return standard_->accDoDefaultAction(child); };
        return Answer(child, standard, [&](const TAccessibleInfo& info) {
            if (info.DefaultAction.empty()) return standard();
            server_->doDefaultAction_();
            return S_OK;
        });
    }

    // Everything else is the standard object's.
    STDMETHODIMP get_accParent(IDispatch** result) override { return Connected([&] { return standard_->get_accParent(result); }); }
    STDMETHODIMP get_accChildCount(long* result) override { return Connected([&] { return standard_->get_accChildCount(result); }); }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** result) override {
        return Connected([&] { return standard_->get_accChild(child, result); });
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* result) override {
        return Connected([&] { return standard_->get_accDescription(child, result); });
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* result) override {
        return Connected([&] { return standard_->get_accHelp(child, result); });
    }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return Connected([&] { return standard_->get_accHelpTopic(file, child, topic); });
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* result) override {
        return Connected([&] { return standard_->get_accKeyboardShortcut(child, result); });
    }
    STDMETHODIMP get_accFocus(VARIANT* result) override { return Connected([&] { return standard_->get_accFocus(result); }); }
    STDMETHODIMP get_accSelection(VARIANT* result) override {
        return Connected([&] { return standard_->get_accSelection(result); });
    }
    STDMETHODIMP accSelect(long flags, VARIANT child) override { return Connected([&] { return standard_->accSelect(flags, child); }); }
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return Connected([&] { return standard_->accLocation(left, top, width, height, child); });
    }
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* result) override {
        return Connected([&] { return standard_->accNavigate(direction, start, result); });
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* result) override {
        return Connected([&] { return standard_->accHitTest(x, y, result); });
    }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~TAccessibleObject() { standard_->Release(); }

    // The control answers for itself; a child is the standard object's.
    template <class Standard, class Own>
    HRESULT Answer(const VARIANT& child, Standard&& standard, Own&& own) {
        return Connected([&] { return IsSelf(child) ? own(server_->describe_()) : standard(); });
    }
    // Asked after the control has gone, the object says so; its answers never throw.
    template <class F>
    HRESULT Connected(F&& answer) {
        if (!server_) return RPC_E_DISCONNECTED;
        return Guarded(std::forward<F>(answer));
    }

    LONG references_ = 1;
    HWND window_;
    IAccessible* standard_;  // owned: one reference
    TAccessibleServer* server_;
};

TAccessibleServer::TAccessibleServer(std::function<TAccessibleInfo()> describe, std::function<void()> doDefaultAction)
    : describe_(std::move(describe)), doDefaultAction_(std::move(doDefaultAction)) {}

TAccessibleServer::~TAccessibleServer() {
    if (object_) {
        object_->Disconnect();
        object_->Release();
    }
}

bool TAccessibleServer::AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return false;
    static const auto lresultFromObject = SystemFunction<LresultFromObjectFunction>(L"oleacc.dll", "LresultFromObject");
    static const auto createStandard =
        SystemFunction<CreateStdAccessibleObjectFunction>(L"oleacc.dll", "CreateStdAccessibleObject");
    if (!lresultFromObject || !createStandard) return false;
    if (object_ && object_->Window() != window) {  // the window was made anew
        object_->Disconnect();
        object_->Release();
        object_ = nullptr;
    }
    if (!object_) {
        IAccessible* standard = nullptr;
        if (FAILED(createStandard(window, OBJID_CLIENT, kIID_IAccessible, reinterpret_cast<void**>(&standard))))
            return false;
        object_ = new TAccessibleObject(window, standard, this);
    }
    const LRESULT answer = lresultFromObject(kIID_IAccessible, wParam, static_cast<IAccessible*>(object_));
    if (FAILED(static_cast<HRESULT>(answer))) return false;
    result = answer;
    return true;
}

}  // namespace forms
