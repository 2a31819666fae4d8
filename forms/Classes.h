#pragma once
// Components with owners and names, the class registry, and byte streams for stored blocks.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/Layout.h"

namespace forms {

class TReader;
class TWriter;
class TFiler;
class TComponent;
template <class T>
class TPropertyTable;

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// A growable byte stream, the carrier of stored binary properties.
class TMemoryStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    int64_t Size() const { return static_cast<int64_t>(bytes_.size()); }
    int64_t Position() const { return position_; }
    void SetPosition(int64_t position) { position_ = position; }
    // Reads exactly count bytes or throws EReadError.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
private:
    std::vector<uint8_t> bytes_;
    int64_t position_ = 0;
};
using TStream = TMemoryStream;

enum class ComponentState : uint32_t { Loading = 1, Designing = 2, Destroying = 4 };

// Binary properties that a class defines beside its published ones.
class TFiler {
public:
    using ReadProc = std::function<void(TStream&)>;
    using WriteProc = std::function<void(TStream&)>;
    void DefineBinaryProperty(std::string name, ReadProc reader, WriteProc writer, bool hasData);

    struct Definition {
        std::string name;
        ReadProc reader;
        WriteProc writer;
        bool hasData;
    };
    const std::vector<Definition>& Definitions() const { return definitions_; }
private:
    std::vector<Definition> definitions_;
};

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    virtual std::string ClassName() const { return "TComponent"; }
    TComponent* Owner() const { return owner_; }
    const std::wstring& Name() const { return name_; }
    virtual void SetName(const std::wstring& name);
    int32_t Tag = 0;

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Component(int index) const { return components_.at(static_cast<size_t>(index)); }
    TComponent* FindComponent(std::wstring_view name) const;
    // Asks to hear (Notification) when `other` goes, whoever owns it; the ask runs both ways.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    bool HasState(ComponentState state) const { return (state_ & static_cast<uint32_t>(state)) != 0; }
    void SetState(ComponentState state, bool on);

    // Called once the whole layout that holds the component has been read.
    virtual void Loaded();
    // The stored properties of the object's class, its bases' included (forms/Properties.h
    // shows how a class declares its own).
    virtual const TPropertyTable<TComponent>& StoredProperties() const;
    // Sets one stored property; returns false when the class does not know it.
    virtual bool ReadProperty(std::string_view name, const core::LayoutValue& value, TReader& reader);
    // Writes the stored properties that differ from their defaults.
    virtual void WriteProperties(TWriter& writer) const;
    virtual void DefineProperties(TFiler& filer);
    // The component under which a layout nests this one (its parent control, its menu, ...).
    virtual TComponent* LayoutContainer() const { return owner_; }
    // Takes a component that a layout nests inside this one.
    virtual void AddLayoutChild(TComponent* child);

    // Published handlers and fields of a root component (a form), found by name while loading.
    TNotifyEvent FindMethod(std::string_view name) const;
    void PublishMethod(std::string name, TNotifyEvent handler);
    template <class T>
    void PublishField(std::string name, T*& field) {
        fields_[std::move(name)] = [&field](TComponent* c) { field = dynamic_cast<T*>(c); };
    }
    void BindField(std::string_view name, TComponent* component) const;

protected:
    virtual void InsertComponent(TComponent* component);
    virtual void RemoveComponent(TComponent* component);
    // Tells every owned component that another is going away (for references between them).
    virtual void Notification(TComponent* component, bool removing);

private:
    TComponent* owner_ = nullptr;
    std::wstring name_;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    uint32_t state_ = 0;
    std::map<std::string, TNotifyEvent, std::less<>> methods_;
    std::map<std::string, std::function<void(TComponent*)>, std::less<>> fields_;
};

// Classes that layouts may name.
using ComponentFactory = std::function<TComponent*(TComponent* owner)>;
void RegisterComponentClass(const std::string& className, ComponentFactory factory);
bool IsClassRegistered(std::string_view className);
TComponent* CreateRegistered(std::string_view className, TComponent* owner);

template <class T>
void RegisterClassOf(const std::string& className) {
    RegisterComponentClass(className, [](TComponent* owner) -> TComponent* { return new T(owner); });
}

}  // namespace forms
