// Reads kurun's windows from outside, as a screen reader does, and prints what it hears: one line
// per object, tab-separated: name, role, states, value, default action (events first say which).
//   screen_reader read TITLE        the window titled so, then each of its child windows
//   screen_reader act TITLE NAME    does the default action of the object of that window named so
//   screen_reader listen SECONDS    focus, selection, state and value events of kurun's windows
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

// Defined here: MinGW's oleacc import library gives a code thunk under this name.
constexpr IID kIID_IAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

void Print(const std::wstring& line) {
    const std::wstring text = line + L"\n";
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size() - 1, stdout);
    fflush(stdout);
}

std::wstring Text(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), VARIANT self) {
    BSTR text = nullptr;
    std::wstring result = SUCCEEDED((object->*get)(self, &text)) && text ? text : L"";
    SysFreeString(text);
    return result;
}

long Number(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), VARIANT self) {
    VARIANT number;
    VariantInit(&number);
    const long result = SUCCEEDED((object->*get)(self, &number)) && number.vt == VT_I4 ? number.lVal : 0;
    VariantClear(&number);
    return result;
}

const std::pair<long, const wchar_t*> kRoles[] = {
    {ROLE_SYSTEM_CHECKBUTTON, L"checkbutton"}, {ROLE_SYSTEM_PUSHBUTTON, L"pushbutton"}, {ROLE_SYSTEM_LINK, L"link"},
    {ROLE_SYSTEM_TEXT, L"text"}, {ROLE_SYSTEM_CLIENT, L"client"}, {ROLE_SYSTEM_WINDOW, L"window"}};
const std::pair<long, const wchar_t*> kStates[] = {
    {STATE_SYSTEM_CHECKED, L"checked"}, {STATE_SYSTEM_FOCUSED, L"focused"}, {STATE_SYSTEM_SELECTED, L"selected"},
    {STATE_SYSTEM_READONLY, L"readonly"}, {STATE_SYSTEM_UNAVAILABLE, L"unavailable"},
    {STATE_SYSTEM_INVISIBLE, L"invisible"}};

std::wstring Heard(IAccessible* object, VARIANT self) {
    const long role = Number(object, &IAccessible::get_accRole, self);
    std::wstring roleName = std::to_wstring(role), states;
    for (const auto& [value, name] : kRoles)
        if (role == value) roleName = name;
    const long state = Number(object, &IAccessible::get_accState, self);
    for (const auto& [flag, name] : kStates)
        if (state & flag) states += (states.empty() ? L"" : L"+") + std::wstring(name);
    return Text(object, &IAccessible::get_accName, self) + L"\t" + roleName + L"\t" + (states.empty() ? L"-" : states) +
           L"\t" + Text(object, &IAccessible::get_accValue, self) + L"\t" +
           Text(object, &IAccessible::get_accDefaultAction, self);
}

VARIANT Self() {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

// The client object of the window titled so and of each window inside it.
std::vector<IAccessible*> Objects(const wchar_t* title) {
    std::vector<HWND> windows{FindWindowW(nullptr, title)};
    if (!windows[0]) return {};
    EnumChildWindows(windows[0], [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&windows));
    std::vector<IAccessible*> objects;
    for (HWND window : windows) {
        IAccessible* object = nullptr;
        if (SUCCEEDED(AccessibleObjectFromWindow(window, OBJID_CLIENT, kIID_IAccessible, reinterpret_cast<void**>(&object))))
            objects.push_back(object);
    }
    return objects;
}

int Read(const wchar_t* title) {
    const auto objects = Objects(title);
    for (IAccessible* object : objects) {
        Print(Heard(object, Self()));
        object->Release();
    }
    return objects.empty() ? 1 : 0;
}

int Act(const wchar_t* title, const std::wstring& name) {
    int result = 1;
    for (IAccessible* object : Objects(title)) {
        if (result && Text(object, &IAccessible::get_accName, Self()) == name)
            result = FAILED(object->accDoDefaultAction(Self()));
        object->Release();
    }
    return result;
}

const std::pair<DWORD, const wchar_t*> kEvents[] = {{EVENT_OBJECT_FOCUS, L"focus"},
                                                    {EVENT_OBJECT_SELECTION, L"selection"},
                                                    {EVENT_OBJECT_STATECHANGE, L"state"},
                                                    {EVENT_OBJECT_VALUECHANGE, L"value"}};

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG objectId, LONG childId, DWORD, DWORD) {
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    if (wcsncmp(className, L"Kurun", 5) != 0) return;  // the program's own windows only
    for (const auto& [value, name] : kEvents) {
        IAccessible* object = nullptr;
        VARIANT child;
        if (event != value || FAILED(AccessibleObjectFromEvent(window, objectId, childId, &object, &child))) continue;
        Print(name + std::wstring(L"\t") + Heard(object, child));
        object->Release();
    }
}

int Listen(int seconds) {
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, &OnEvent, 0, 0,
                                               WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (!hook) return 1;
    Print(L"ready");
    // Out-of-context events arrive as messages of this thread.
    const ULONGLONG end = GetTickCount64() + 1000ULL * seconds;
    for (ULONGLONG now; (now = GetTickCount64()) < end;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    UnhookWinEvent(hook);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    CoInitialize(nullptr);
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    int result = 2;
    if (mode == L"read" && argc == 3) result = Read(argv[2]);
    else if (mode == L"act" && argc == 4) result = Act(argv[2], argv[3]);
    else if (mode == L"listen" && argc == 3) result = Listen(_wtoi(argv[2]));
    else fputs("usage: screen_reader read TITLE | act TITLE NAME | listen SECONDS\n", stderr);
    CoUninitialize();
    return result;
}
