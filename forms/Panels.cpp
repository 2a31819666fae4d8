#include "forms/Panels.h"

#include "forms/Streaming.h"

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

bool TPanel::ReadProperty(std::string_view name, const core::LayoutValue& value, TReader& reader) {
    if (name == "BevelOuter") SetBeveled(reader.Ident(value) != "bvNone");
    else return TCustomControl::ReadProperty(name, value, reader);
    return true;
}

void TPanel::WriteProperties(TWriter& writer) const {
    TCustomControl::WriteProperties(writer);
    if (!beveled_) writer.Ident("BevelOuter", "bvNone");
}

}  // namespace forms
