#include "forms/Streaming.h"

#include <windows.h>

#include "core/Zip.h"
#include "forms/Exceptions.h"
#include "forms/Registration.h"
#include "forms/ScratchArena.h"
#include "forms/Text.h"

namespace forms {

namespace {

std::string ToLowerAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return result;
}

// The archive of stored layouts that the build packs into the program (RCDATA "LAYOUTS").
std::span<const uint8_t> LayoutArchive() {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, L"LAYOUTS", MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) throw EResNotFound(L"リソース LAYOUTS が見つかりません");
    return {static_cast<const uint8_t*>(bytes), SizeofResource(module, info)};
}

}  // namespace

std::function<std::optional<core::LayoutObject>(const std::wstring&)> TReader::LayoutSource;

core::LayoutObject TReader::LayoutResource(const std::wstring& resourceName) {
    if (LayoutSource)
        if (std::optional<core::LayoutObject> layout = LayoutSource(resourceName)) return *layout;
    const std::span<const uint8_t> archive = LayoutArchive();
    // The text and the tree live only until the layout is read; nothing read may keep them.
    TScratchScope scratch;
    try {
        if (std::optional<std::vector<uint8_t>> text = core::ZipMember(archive, Narrow(resourceName)))
            return core::ParseLayout({reinterpret_cast<const char*>(text->data()), text->size()});
    } catch (const std::runtime_error& e) {  // a damaged archive or layout
        throw EReadError(resourceName + L": " + Widen(e.what()));
    }
    throw EResNotFound(L"リソース " + resourceName + L" が見つかりません");
}

void TReader::ReadRoot(TComponent* root, const core::LayoutObject& layout) {
    RegisterFrameworkClasses();
    TReader reader(root);
    root->SetState(ComponentState::Loading, true);
    reader.loaded_.push_back(root);
    if (root->Name().empty()) root->SetName(Widen(layout.name));
    reader.ReadProperties(root, layout);
    reader.ReadChildren(root, layout);
    for (auto& [name, assign] : reader.fixups_) {
        TComponent* target = root->FindComponent(Widen(name));
        if (!target) throw EReadError(L"プロパティ値が無効です: " + Widen(name));
        assign(target);
    }
    for (TComponent* component : reader.loaded_) component->Loaded();
}

void TReader::ReadChildren(TComponent* container, const core::LayoutObject& layout) {
    for (const core::LayoutObject& child : layout.children) {
        TComponent* component = CreateRegistered(child.className, root_);
        component->SetState(ComponentState::Loading, true);
        loaded_.push_back(component);
        component->SetName(Widen(child.name));
        root_->BindField(child.name, component);
        container->AddLayoutChild(component);
        ReadProperties(component, child);
        ReadChildren(component, child);
    }
}

void TReader::ReadProperties(TComponent* component, const core::LayoutObject& layout) {
    TFiler filer;
    bool defined = false;
    for (const core::LayoutProperty& property : layout.properties) {
        if (component->ReadProperty(property.name, property.value, *this)) continue;
        if (!defined) {
            component->DefineProperties(filer);
            defined = true;
        }
        bool handled = false;
        for (const TFiler::Definition& definition : filer.Definitions()) {
            if (ToLowerAscii(definition.name) != ToLowerAscii(property.name)) continue;
            TMemoryStream stream = BytesStream(property.value);
            definition.reader(stream);
            handled = true;
            break;
        }
        if (!handled) throw EReadError(L"プロパティ " + Widen(property.name) + L" は存在しません");
    }
}

void TReader::InvalidValue() const { throw EReadError(L"プロパティ値が無効です"); }

int64_t TReader::Integer(const core::LayoutValue& value) const {
    if (auto v = std::get_if<int64_t>(&value)) return *v;
    InvalidValue();
}

bool TReader::Boolean(const core::LayoutValue& value) const {
    std::string name = ToLowerAscii(Ident(value));
    if (name == "true") return true;
    if (name == "false") return false;
    InvalidValue();
}

std::string TReader::Ident(const core::LayoutValue& value) const {
    if (auto v = std::get_if<core::LayoutIdent>(&value)) return v->name;
    InvalidValue();
}

std::wstring TReader::String(const core::LayoutValue& value) const {
    if (auto v = std::get_if<std::string>(&value)) return Widen(*v);
    InvalidValue();
}

const core::LayoutBytes& TReader::Bytes(const core::LayoutValue& value) const {
    if (auto v = std::get_if<core::LayoutBytes>(&value)) return *v;
    InvalidValue();
}

TMemoryStream TReader::BytesStream(const core::LayoutValue& value) const {
    const core::LayoutBytes& bytes = Bytes(value);
    TScratchScope scratch;
    return TMemoryStream(bytes);
}

const std::vector<std::string>& TReader::Set(const core::LayoutValue& value) const {
    if (auto v = std::get_if<core::LayoutSet>(&value)) return v->items;
    InvalidValue();
}

TNotifyEvent TReader::Method(const core::LayoutValue& value) const {
    std::string name = Ident(value);
    TNotifyEvent handler = root_->FindMethod(name);
    if (!handler) throw EReadError(L"メソッド " + Widen(name) + L" が見つかりません");
    return handler;
}

void TReader::Reference(const core::LayoutValue& value, std::function<void(TComponent*)> assign) {
    fixups_.emplace_back(Ident(value), std::move(assign));
}

core::LayoutObject TWriter::WriteComponent(const TComponent* component) {
    core::LayoutObject object;
    object.name = Narrow(component->Name());
    object.className = component->ClassName();
    TWriter writer(object);
    component->WriteProperties(writer);
    TFiler filer;
    const_cast<TComponent*>(component)->DefineProperties(filer);
    for (const TFiler::Definition& definition : filer.Definitions()) {
        if (!definition.hasData) continue;
        TMemoryStream stream;
        definition.writer(stream);
        writer.Bytes(definition.name, stream.Bytes());
    }
    return object;
}

namespace {
void WriteChildren(const TComponent* root, const TComponent* container, core::LayoutObject& target) {
    for (int i = 0; i < root->ComponentCount(); ++i) {
        const TComponent* child = root->Component(i);
        if (child->LayoutContainer() != container) continue;
        core::LayoutObject object = TWriter::WriteComponent(child);
        WriteChildren(root, child, object);
        target.children.push_back(std::move(object));
    }
}
}  // namespace

core::LayoutObject TWriter::WriteRoot(const TComponent* root) {
    core::LayoutObject object = WriteComponent(root);
    WriteChildren(root, root, object);
    return object;
}

void TWriter::Integer(std::string name, int64_t value) { target_.properties.push_back({std::move(name), value}); }
void TWriter::Boolean(std::string name, bool value) {
    target_.properties.push_back({std::move(name), core::LayoutIdent{value ? "True" : "False"}});
}
void TWriter::Ident(std::string name, std::string value) {
    target_.properties.push_back({std::move(name), core::LayoutIdent{std::move(value)}});
}
void TWriter::String(std::string name, const std::wstring& value) {
    target_.properties.push_back({std::move(name), Narrow(value)});
}
void TWriter::Bytes(std::string name, core::LayoutBytes value) {
    target_.properties.push_back({std::move(name), std::move(value)});
}
void TWriter::Set(std::string name, std::vector<std::string> items) {
    target_.properties.push_back({std::move(name), core::LayoutSet{std::move(items)}});
}

}  // namespace forms
