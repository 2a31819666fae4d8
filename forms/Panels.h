#pragma once
// A plain windowed container: its background colour, an optional raised edge, and the
// windowless controls placed on it.
#include "forms/StdCtrls.h"

namespace forms {

class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);
    std::string ClassName() const override { return "TPanel"; }

    bool Beveled() const { return beveled_; }
    void SetBeveled(bool value);

    const TPropertyTable<TComponent>& StoredProperties() const override;

protected:
    void Paint() override;
    // Paint covers everything; erasing first would only flicker.
    bool WMEraseBkGnd(HDC) override { return true; }

private:
    bool beveled_ = true;
};

}  // namespace forms
