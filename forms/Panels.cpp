#include "forms/Panels.h"

#include "forms/Properties.h"

namespace forms {

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
    color_ = clBtnFace;
    width_ = 185, height_ = 41;
}

void TPanel::SetBeveled(bool value) {
    if (value == beveled_) return;
    beveled_ = value;
    Invalidate();
}

void TPanel::Paint() {
    TCanvas& canvas = Canvas();
    RECT client = ClientRect();
    canvas.BrushColor = color_;
    canvas.FillRect(client);
    if (beveled_) DrawEdge(canvas.Handle(), &client, BDR_RAISEDOUTER, BF_RECT);
    if (!caption_.empty())
        DrawTextW(canvas.Handle(), caption_.c_str(), static_cast<int>(caption_.size()), &client,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

const TPropertyTable<TComponent>& TPanel::StoredProperties() const {
    using P = TProperties<TPanel>;
    static constexpr std::pair<std::string_view, bool> bevels[] = {{"bvNone", false}, {"bvRaised", true}};
    static const TPropertyTable<TComponent> table(&TCustomControl::StoredProperties(), {
        P::Ident<bool>("BevelOuter", bevels, &TPanel::Beveled, &TPanel::SetBeveled, true),
    });
    return table;
}

}  // namespace forms
