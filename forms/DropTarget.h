#pragma once
// Drops through OLE, as browsers and file managers drop: the names of files, or the text of a
// dragged link. Wine hands drops from X programs to a window the same way.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

namespace forms {

struct TDroppedData {
    std::vector<std::wstring> Files;  // every name, in the order given
    std::wstring Text;                // the address of a link or a text, when no name came
};

// The names that a drop handle (CF_HDROP, WM_DROPFILES) carries, each whole.
std::vector<std::wstring> DroppedFileNames(HDROP drop);
// What a dragged data object holds: file names, else the first text among the forms that
// browsers and Wine offer (the link's address, a .url file's address, a plain text).
TDroppedData ReadDroppedData(IDataObject* data);

// What a window does with drops: whether it takes what is dragged over it, and taking it.
struct TDropHandler {
    std::function<bool(const TDroppedData&)> Accepts;
    std::function<void(const TDroppedData&)> Take;
};

// A window registered as a drop target for as long as this lives; the window must outlive it.
// It offers the source a copy, never a move, so that a file manager keeps its files.
class TDropTargetRegistration {
public:
    TDropTargetRegistration(HWND window, TDropHandler handler);
    ~TDropTargetRegistration();
    TDropTargetRegistration(const TDropTargetRegistration&) = delete;
    TDropTargetRegistration& operator=(const TDropTargetRegistration&) = delete;
    // False without OLE on the thread: the window then takes only what WM_DROPFILES brings.
    bool Registered() const { return registered_; }
private:
    HWND window_;
    bool registered_;
};

// OLE on this thread (drops, shortcuts) from construction to destruction.
class TOleScope {
public:
    TOleScope() : result_(OleInitialize(nullptr)) {}
    ~TOleScope() {
        if (SUCCEEDED(result_)) OleUninitialize();
    }
    TOleScope(const TOleScope&) = delete;
    TOleScope& operator=(const TOleScope&) = delete;
private:
    HRESULT result_;
};

}  // namespace forms
