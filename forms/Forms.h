#pragma once
// Forms (top-level windows) and the application object with its message loop.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "forms/Controls.h"
#include "forms/DropTarget.h"
#include "forms/Exceptions.h"
#include "forms/Hints.h"

namespace forms {

enum class TBorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };
enum class TFormStyle { Normal, StayOnTop };

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;
    std::string ClassName() const override { return "TForm"; }

    // Runs once the constructor has finished: the create handler.
    virtual void AfterConstruction();

    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    TBrushStyle BrushStyle() const { return brushStyle_; }
    void SetBrushStyle(TBrushStyle value);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle value);
    bool OldCreateOrder = false;
    // False for a desktop ornament: the form is shown without activation, a click on it does
    // not activate it, and it never takes the keyboard focus. Set before the handle exists.
    bool Activatable = true;
    // Hints raised only by the user's own pointing, never by the form moving under a resting
    // pointer (a walking ornament). Set before the form is shown.
    bool PointedHintsOnly = false;

    void SetVisible(bool value) override;
    void SetColor(TColor value) override;
    // The outer size that gives a client area of `value` across (or down) with this border.
    void SetClientSize(bool horizontal, int value);
    void Show();
    void Hide();
    // Closing the main form ends the program; closing any other form hides it.
    void Close();
    // Shows the form modally, in front: the program's other windows are disabled until it closes.
    // The focus moves to ActiveControl once the form is in front, and goes back to the window
    // that had it when the showing ends.
    int ShowModal();
    int ModalResult = 0;
    // Where the keyboard starts when the form is shown modally.
    TWinControl* ActiveControl = nullptr;
    // The form's OnKeyDown sees every key pressed in its controls before they do.
    bool KeyPreview = false;
    TKeyEvent OnKeyDown;
    const TFormHints& Hints() const { return hints_; }
    // A control's Hint or ShowHint changed: the form's hints are registered anew.
    void HintsChanged();
    void SetBounds(int left, int top, int width, int height) override;

    // The DPI the layout was designed at (96 unless it says otherwise).
    int PixelsPerInch() const { return designedDpi_; }
    // Screen pixels per picture pixel on a monitor of `dpi`, for this form's design.
    int PixelScaleForDpi(int dpi) const;
    // Scales the children, the size and the font; the place follows ScaleAnchor.
    void ChangeScale(int M, int D) override;
    // Takes the scale of a monitor of `dpi`; `suggested`, the system's rectangle for the
    // window there, gives the place of a form without an anchor.
    void ChangeDpi(int dpi, const RECT* suggested);
    // Built at the scale of the monitor at its designed place, and placed at that scale.
    void Loaded() override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnClose;

    const TPropertyTable<TComponent>& StoredProperties() const override;

protected:
    // Builds the form from the layout stored under the given resource name.
    void InitInheritedComponent(const std::wstring& resourceName);
    void LoadLayout(const core::LayoutObject& layout);
    void CreateParams(CreateParamsData& params) override;
    bool WMEraseBkGnd(HDC dc) override;
    // A close request (WM_CLOSE, which the system's close command sends): closes the form.
    virtual void WMClose(Message& message);
    // The window menu's commands (WM_SYSCOMMAND), Alt+F4's close among them.
    virtual void WMSysCommand(Message& message) { DefaultHandler(message); }
    void WndProc(Message& message) override;
    void RelayToHints(HWND window, const Message& message) override;
    void WMActivate(Message& message);
    // A key in the form shows the keyboard cues from then on, as the system's dialogs do.
    void PreviewKey(WORD& key, TShiftState shift) override;
    void UpdateStyles();
    // A point of the client area that stays where it is on the screen when the scale changes
    // (a sprite's feet); none: the top-left corner stays, or the system's suggestion decides.
    virtual std::optional<POINT> ScaleAnchor() const { return std::nullopt; }

private:
    TBorderStyle borderStyle_ = TBorderStyle::Sizeable;
    TBrushStyle brushStyle_ = TBrushStyle::Solid;
    TFormStyle formStyle_ = TFormStyle::Normal;
    bool inModal_ = false;
    HWND focusedChild_ = nullptr;  // where the keyboard was when the form was last deactivated
    int designedDpi_ = 96;
    TFormHints hints_;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

// Creates a form and runs its create handler after the constructor, as the framework does.
template <class T, class... Args>
T* CreateForm(TComponent* owner, Args&&... args) {
    T* form = new T(owner, std::forward<Args>(args)...);
    try {
        form->AfterConstruction();
    } catch (...) {
        delete form;
        throw;
    }
    return form;
}

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* owner);
    ~TApplication() override;
    std::string ClassName() const override { return "TApplication"; }

    void Initialize() {}
    std::wstring Title() const { return title_; }
    void SetTitle(const std::wstring& title);
    // The hidden window that carries the taskbar button and owns every form.
    HWND Handle() const { return handle_.Get(); }
    void ShowTaskbarButton(bool show);
    // Hooks on the application window, newest asked first; a hook that returns true has
    // handled the message. `key` names the hook for its removal.
    using TWindowHook = std::function<bool(Message& message)>;
    void HookMainWindow(const void* key, TWindowHook hook);
    void UnhookMainWindow(const void* key);

    TCustomForm* MainForm() const { return mainForm_; }
    bool ShowMainForm = true;

    // Creates a form owned by the application and stores it in `reference` before its
    // constructor runs; the first form created this way becomes the main form.
    template <class T>
    void CreateForm(T*& reference) {
        void* memory = ::operator new(sizeof(T));
        reference = static_cast<T*>(memory);
        T* form;
        try {
            form = new (memory) T(this);
        } catch (...) {
            reference = nullptr;
            ::operator delete(memory);
            throw;
        }
        form->AfterConstruction();
        if (!mainForm_) mainForm_ = form;
    }

    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Ends the program as closing the main form does: the answer to a request from outside
    // (another program's close, the session's end).
    void CloseMainForm();
    // Handles every waiting message, then returns.
    void ProcessMessages();
    bool HandleMessage();

    // The report of an exception that reached an event boundary. Tests replace it.
    std::function<void(TObject* sender, const Exception& error)> OnException;
    void HandleException(TObject* sender);
    // A message box owned by the active window, so that the focus goes back there afterwards.
    void ShowException(const Exception& error);

    void FormDestroyed(TCustomForm* form);

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    std::wstring title_;
    // Drops and shortcuts need OLE on the thread of the windows, from the first to the last.
    TOleScope ole_;
    WindowHandle handle_;
    std::vector<std::pair<const void*, TWindowHook>> hooks_;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
};

extern TApplication* Application;

}  // namespace forms
