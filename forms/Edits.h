#pragma once
// The single-line edit box: the platform's EDIT control with the framework's colours, font,
// border and read-only state.
#include <windows.h>

#include <string>

#include "forms/Controls.h"

namespace forms {

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);
    ~TEdit() override;
    std::string ClassName() const override { return "TEdit"; }

    // The text lives in the window once it exists, so a user's typing is never lost.
    std::wstring Text() const;
    void SetText(const std::wstring& value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    // bsSingle draws a one-pixel flat frame; bsNone none.
    bool BorderSingle() const { return borderSingle_; }
    void SetBorderSingle(bool value);

    void SetColor(TColor value) override;
    void SetEnabled(bool value) override;
    void ChangeScale(int M, int D) override;
    TNotifyEvent OnChange;
    // Keys the box should not handle itself, before it sees them (Tab excepted).
    TKeyEvent OnKeyDown;

    const TPropertyTable<TComponent>& StoredProperties() const override;

protected:
    void CreateParams(CreateParamsData& params) override;
    void CreateWnd() override;
    void WndProc(Message& message) override;
    HBRUSH CtlColor(HDC dc) override;
    // Read-only editable text whose value is the text.
    void DescribeAccessible(TAccessibleInfo& info) override;

private:
    void SetMargins();
    std::wstring text_;  // the text while there is no window
    bool readOnly_ = false;
    bool borderSingle_ = true;
    BrushHandle brush_;
};

}  // namespace forms
