#pragma once
// Lists of small pictures for animated icons, with change links that tell their users when
// a list changes.
#include <memory>
#include <vector>

#include "forms/Classes.h"
#include "forms/Graphics.h"

namespace components {

class TIconImageList;

// Registered with an image list to hear of its changes; it leaves the list when it goes.
class TChangeLink {
public:
    TChangeLink() = default;
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;

    TIconImageList* Sender() const { return sender_; }
    forms::TNotifyEvent OnChange;

private:
    friend class TIconImageList;
    TIconImageList* sender_ = nullptr;
};

// Several numbered lists of pictures, Width x Height each (16 x 16 unless set otherwise).
class TIconImageList : public forms::TComponent {
public:
    explicit TIconImageList(forms::TComponent* owner) : TComponent(owner) {}
    ~TIconImageList() override;
    std::string ClassName() const override { return "TIconImageList"; }

    int Width = 16;
    int Height = 16;

    int ListCount() const { return static_cast<int>(lists_.size()); }
    // Images in list `list`; 0 for a list that does not exist.
    int Count(int list) const;
    // Appends a copy of the picture, stretched to the list's size, to list `list`.
    void Add(int list, const forms::TBitmap& picture);
    void Clear();
    // Copies image `index` of list `list` into target; raises EListError when there is none.
    void GetBitmap(int list, int index, forms::TBitmap& target) const;

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);

private:
    void Change();
    std::vector<std::vector<std::unique_ptr<forms::TBitmap>>> lists_;
    std::vector<TChangeLink*> links_;
};

}  // namespace components
