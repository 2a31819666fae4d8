#include "components/IconImageList.h"

#include <algorithm>

#include "forms/Exceptions.h"

namespace components {

TChangeLink::~TChangeLink() {
    if (sender_) sender_->UnRegisterChanges(this);
}

TIconImageList::~TIconImageList() {
    for (TChangeLink* link : links_) link->sender_ = nullptr;
}

int TIconImageList::Count(int list) const {
    return list >= 0 && list < ListCount() ? static_cast<int>(lists_[static_cast<size_t>(list)].size()) : 0;
}

void TIconImageList::Add(int list, const forms::TBitmap& picture) {
    if (list < 0) throw forms::EListError(L"リストのインデックスが範囲を超えています (" + std::to_wstring(list) + L")");
    if (list >= ListCount()) lists_.resize(static_cast<size_t>(list) + 1);
    auto image = std::make_unique<forms::TBitmap>();
    image->SetSize(Width, Height);
    image->Canvas().StretchDraw(RECT{0, 0, Width, Height}, picture);
    lists_[static_cast<size_t>(list)].push_back(std::move(image));
    Change();
}

void TIconImageList::Clear() {
    lists_.clear();
    Change();
}

void TIconImageList::GetBitmap(int list, int index, forms::TBitmap& target) const {
    if (index < 0 || index >= Count(list))
        throw forms::EListError(L"リストのインデックスが範囲を超えています (" + std::to_wstring(index) + L")");
    target.Assign(*lists_[static_cast<size_t>(list)][static_cast<size_t>(index)]);
}

void TIconImageList::RegisterChanges(TChangeLink* link) {
    if (!link || link->sender_ == this) return;
    if (link->sender_) link->sender_->UnRegisterChanges(link);
    link->sender_ = this;
    links_.push_back(link);
}

void TIconImageList::UnRegisterChanges(TChangeLink* link) {
    if (!link || link->sender_ != this) return;
    link->sender_ = nullptr;
    std::erase(links_, link);
}

void TIconImageList::Change() {
    std::vector<TChangeLink*> links = links_;
    for (TChangeLink* link : links)
        if (link->OnChange) link->OnChange(this);
}

}  // namespace components
