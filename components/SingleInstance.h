#pragma once
// One program per session and executable name. The first start holds a named mutex in the
// session's namespace and listens on a message-only window; a later start finds that window,
// lets the first take the foreground and asks it to come forward, then ends.
#include <windows.h>

#include <functional>
#include <string>

#include "forms/Controls.h"
#include "forms/Handles.h"

namespace components {

class TSingleInstance : public forms::TObject {
public:
    // `fileName`: the executable's file name ("kurun.exe"), whatever its folder.
    explicit TSingleInstance(const std::wstring& fileName);
    ~TSingleInstance() override;
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // True when this start is the one that runs. False when another runs: it has been asked
    // to come forward (OnRequest there). A start that finds no one listening within `wait` ms
    // runs after all if the other has ended meanwhile, else gives up.
    bool Claim(DWORD wait = 10000);
    // The mutex's name: "Local\" and the file name in lower case.
    const std::wstring& Name() const { return name_; }
    // Called in the running program when a later start asks for it.
    std::function<void()> OnRequest;

private:
    void Listen();
    HWND FindListener() const;
    void WndProc(forms::Message& message);

    std::wstring name_;
    forms::UniqueHandle<HANDLE, &CloseHandle> mutex_;
    bool owned_ = false;
    forms::WindowHandle listener_;
};

}  // namespace components
