#include "support/ApiCalls.h"

#include <windows.h>

#include <cstring>
#include <stdexcept>

namespace wintest {

namespace {

constexpr size_t kApiCount = static_cast<size_t>(Api::Count);
std::array<int, kApiCount> counts{};
std::array<void*, kApiCount> originals{};
bool installed = false;

// A stand-in with the function's own signature: counts, then calls the original.
template <Api Which, typename Function>
struct Counted;

template <Api Which, typename R, typename... Args>
struct Counted<Which, R (*)(Args...)> {
    static R WINAPI Call(Args... args) {
        ++counts[static_cast<size_t>(Which)];
        return reinterpret_cast<R(WINAPI*)(Args...)>(originals[static_cast<size_t>(Which)])(args...);
    }
};

struct Entry {
    const char* name;
    void* standIn;
};

#define KURUN_COUNTED(name) Entry{#name, reinterpret_cast<void*>(&Counted<Api::name, decltype(&::name)>::Call)}
const std::array<Entry, kApiCount> kEntries = {{
    KURUN_COUNTED(SetWindowRgn), KURUN_COUNTED(SetWindowPos),   KURUN_COUNTED(MoveWindow),
    KURUN_COUNTED(ShowWindow),   KURUN_COUNTED(SetWindowLongW), KURUN_COUNTED(InvalidateRect),
    KURUN_COUNTED(RedrawWindow), KURUN_COUNTED(UpdateWindow),   KURUN_COUNTED(BeginPaint),
    KURUN_COUNTED(GetCursorPos),
}};
#undef KURUN_COUNTED

void WriteSlot(ULONG_PTR& slot, void* value) {
    DWORD protection;
    VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &protection);
    slot = reinterpret_cast<ULONG_PTR>(value);
    VirtualProtect(&slot, sizeof slot, protection, &protection);
}

// Calls `visit(index, slot)` for each import table slot of this program that names a counted function.
template <typename Visit>
void ForEachCountedSlot(Visit visit) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name;
         ++library) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            base + (library->OriginalFirstThunk ? library->OriginalFirstThunk : library->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const char* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            for (size_t i = 0; i < kApiCount; ++i)
                if (std::strcmp(name, kEntries[i].name) == 0) visit(i, slots->u1.Function);
        }
    }
}

}  // namespace

ApiCalls::ApiCalls() {
    if (installed) throw std::logic_error("one API call counter at a time");
    installed = true;
    Reset();
    ForEachCountedSlot([](size_t i, ULONG_PTR& slot) {
        originals[i] = reinterpret_cast<void*>(slot);
        WriteSlot(slot, kEntries[i].standIn);
    });
}

ApiCalls::~ApiCalls() {
    ForEachCountedSlot([](size_t i, ULONG_PTR& slot) { WriteSlot(slot, originals[i]); });
    installed = false;
}

int ApiCalls::operator[](Api api) const { return counts[static_cast<size_t>(api)]; }

int ApiCalls::WindowCalls() const {
    int total = 0;
    for (size_t i = 0; i < kApiCount; ++i)
        if (static_cast<Api>(i) != Api::GetCursorPos) total += counts[i];
    return total;
}

void ApiCalls::Reset() { counts.fill(0); }

}  // namespace wintest
