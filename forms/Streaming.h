#pragma once
// Reading a component tree from a stored layout and writing one back.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Layout.h"
#include "forms/Classes.h"

namespace forms {

class TReader {
public:
    // Builds root's owned components from the layout, sets every stored property, binds
    // events and fields by name, resolves references, then calls Loaded on everything read.
    static void ReadRoot(TComponent* root, const core::LayoutObject& layout);
    // The stored layout of the given name, from the archive of layouts in the program's resources.
    static core::LayoutObject LayoutResource(const std::wstring& resourceName);
    // Lets a test hand out its own layout for a resource name (empty: use the resource).
    static std::function<std::optional<core::LayoutObject>(const std::wstring& resourceName)> LayoutSource;

    TComponent* Root() const { return root_; }

    // Typed access to a stored value; a value of the wrong kind raises EReadError.
    int64_t Integer(const core::LayoutValue& value) const;
    bool Boolean(const core::LayoutValue& value) const;
    std::string Ident(const core::LayoutValue& value) const;
    std::wstring String(const core::LayoutValue& value) const;
    const core::LayoutBytes& Bytes(const core::LayoutValue& value) const;
    // The bytes as a stream to read one property from: a scratch copy, gone once it is read.
    TMemoryStream BytesStream(const core::LayoutValue& value) const;
    const std::vector<std::string>& Set(const core::LayoutValue& value) const;
    // A handler published by the root under the stored name.
    TNotifyEvent Method(const core::LayoutValue& value) const;
    // A component of the root named by the value, handed over once everything is read.
    void Reference(const core::LayoutValue& value, std::function<void(TComponent*)> assign);
    // Raises the error of a value that the property cannot take.
    [[noreturn]] void InvalidValue() const;

private:
    explicit TReader(TComponent* root) : root_(root) {}
    void ReadProperties(TComponent* component, const core::LayoutObject& layout);
    void ReadChildren(TComponent* container, const core::LayoutObject& layout);

    TComponent* root_;
    std::vector<TComponent*> loaded_;
    std::vector<std::pair<std::string, std::function<void(TComponent*)>>> fixups_;
};

class TWriter {
public:
    static core::LayoutObject WriteRoot(const TComponent* root);
    static core::LayoutObject WriteComponent(const TComponent* component);

    void Integer(std::string name, int64_t value);
    void Boolean(std::string name, bool value);
    void Ident(std::string name, std::string value);
    void String(std::string name, const std::wstring& value);
    void Bytes(std::string name, core::LayoutBytes value);
    void Set(std::string name, std::vector<std::string> items);

private:
    explicit TWriter(core::LayoutObject& target) : target_(target) {}
    core::LayoutObject& target_;
};

}  // namespace forms
