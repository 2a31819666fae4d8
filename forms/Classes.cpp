#include "forms/Classes.h"

#include <algorithm>
#include <cstring>

#include "forms/Exceptions.h"
#include "forms/Properties.h"
#include "forms/Streaming.h"
#include "forms/Text.h"

namespace forms {

void TMemoryStream::ReadBuffer(void* buffer, int64_t count) {
    if (count < 0 || position_ < 0 || count > Size() - position_)
        throw EReadError(L"ストリームの読み込みエラー");
    if (count > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(count));
    position_ += count;
}

void TMemoryStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count <= 0) return;
    size_t end = static_cast<size_t>(position_ + count);
    if (end > bytes_.size()) bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
    position_ += count;
}

void TFiler::DefineBinaryProperty(std::string name, ReadProc reader, WriteProc writer, bool hasData) {
    definitions_.push_back({std::move(name), std::move(reader), std::move(writer), hasData});
}

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    SetState(ComponentState::Destroying, true);
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        RemoveFreeNotification(other);
        other->Notification(this, true);
    }
    // Owned components go first, last created first, each leaving the list itself.
    while (!components_.empty()) delete components_.back();
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::InsertComponent(TComponent* component) {
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it == components_.end()) return;
    components_.erase(it);
    component->owner_ = nullptr;
    for (TComponent* other : components_) other->Notification(component, true);
    Notification(component, true);
}

void TComponent::Notification(TComponent*, bool) {}

void TComponent::FreeNotification(TComponent* other) {
    if (!other || other == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) != freeNotifies_.end()) return;
    freeNotifies_.push_back(other);
    other->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    std::erase(freeNotifies_, other);
    if (other) std::erase(other->freeNotifies_, this);
}

void TComponent::SetName(const std::wstring& name) { name_ = name; }

TComponent* TComponent::FindComponent(std::wstring_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (_wcsicmp(c->name_.c_str(), std::wstring(name).c_str()) == 0) return c;
    return nullptr;
}

void TComponent::SetState(ComponentState state, bool on) {
    if (on) state_ |= static_cast<uint32_t>(state);
    else state_ &= ~static_cast<uint32_t>(state);
}

void TComponent::Loaded() { SetState(ComponentState::Loading, false); }

const TPropertyTable<TComponent>& TComponent::StoredProperties() const {
    static const TPropertyTable<TComponent> table(nullptr, {TProperties<TComponent>::Integer("Tag", &TComponent::Tag, 0)});
    return table;
}

bool TComponent::ReadProperty(std::string_view name, const core::LayoutValue& value, TReader& reader) {
    return StoredProperties().Read(*this, name, value, reader);
}

void TComponent::WriteProperties(TWriter& writer) const { StoredProperties().Write(*this, writer); }

void TComponent::DefineProperties(TFiler&) {}

void TComponent::AddLayoutChild(TComponent*) {}

TNotifyEvent TComponent::FindMethod(std::string_view name) const {
    auto it = methods_.find(name);
    return it == methods_.end() ? TNotifyEvent{} : it->second;
}

void TComponent::PublishMethod(std::string name, TNotifyEvent handler) { methods_[std::move(name)] = std::move(handler); }

void TComponent::BindField(std::string_view name, TComponent* component) const {
    auto it = fields_.find(name);
    if (it != fields_.end()) it->second(component);
}

namespace {
std::map<std::string, ComponentFactory, std::less<>>& Registry() {
    static std::map<std::string, ComponentFactory, std::less<>> registry;
    return registry;
}
}  // namespace

void RegisterComponentClass(const std::string& className, ComponentFactory factory) {
    Registry().emplace(className, std::move(factory));
}

bool IsClassRegistered(std::string_view className) { return Registry().contains(className); }

TComponent* CreateRegistered(std::string_view className, TComponent* owner) {
    auto it = Registry().find(className);
    if (it == Registry().end())
        throw EClassNotFound(L"クラス " + Widen(className) + L" が見つかりません");
    return it->second(owner);
}

}  // namespace forms
