#pragma once
// Stored properties, each named once: a class's table is both what a layout may set on an
// object and what writing a layout stores for it.
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "forms/Graphics.h"
#include "forms/Streaming.h"
#include "forms/Text.h"

namespace forms {

// One stored property: how a layout value sets it and how it is written back. Without a
// write the name is only read (events, designer bookkeeping).
template <class T>
struct TStoredProperty {
    using ReadProc = std::function<void(T& object, const core::LayoutValue& value, TReader& reader)>;
    using WriteProc = std::function<void(const T& object, TWriter& writer, const std::string& name)>;
    std::string name;
    ReadProc read;
    WriteProc write;
};

// The stored properties of one class, after those of its base class.
//
// A component class declares each of its stored properties once, with its default, in its
// override of StoredProperties; TProperties<C> builds the entries:
//
//   const TPropertyTable<TComponent>& TShape::StoredProperties() const {
//       using P = TProperties<TShape>;
//       static const TPropertyTable<TComponent> table(&TGraphicControl::StoredProperties(), {
//           P::Color("Brush.Color", &TShape::BrushColor, &TShape::SetBrushColor, clWhite),
//           P::Boolean("Rounded", &TShape::rounded_, false),
//           P::Event("OnMouseDown", &TShape::OnMouseDown),
//       });
//       return table;
//   }
//
// Reading looks a name up in the class's table, then in its bases'. Writing walks the tables
// base first and writes each value that differs from its default; a property declared
// without a default is always written. A class that declares a base's name again (with
// another default) replaces the base's entry for both.
template <class T>
class TPropertyTable {
public:
    using Entry = TStoredProperty<T>;
    // One entry or a group of them, as the builders return them.
    struct Entries {
        Entries(Entry entry) : list{std::move(entry)} {}
        Entries(std::vector<Entry> entries) : list(std::move(entries)) {}
        std::vector<Entry> list;
    };

    TPropertyTable(const TPropertyTable* base, std::initializer_list<Entries> own) : base_(base) {
        for (const Entries& entries : own) own_.insert(own_.end(), entries.list.begin(), entries.list.end());
    }

    const Entry* Find(std::string_view name) const {
        for (const TPropertyTable* table = this; table; table = table->base_)
            for (const Entry& entry : table->own_)
                if (entry.name == name) return &entry;
        return nullptr;
    }
    // Sets the named property; false when no table of the chain knows the name.
    bool Read(T& object, std::string_view name, const core::LayoutValue& value, TReader& reader) const {
        const Entry* entry = Find(name);
        if (!entry) return false;
        entry->read(object, value, reader);
        return true;
    }
    void Write(const T& object, TWriter& writer) const { WriteFrom(*this, object, writer); }
    // The class's own entries, without its bases'.
    const std::vector<Entry>& Own() const { return own_; }

private:
    void WriteFrom(const TPropertyTable& top, const T& object, TWriter& writer) const {
        if (base_) base_->WriteFrom(top, object, writer);
        for (const Entry& entry : own_)
            if (entry.write && top.Find(entry.name) == &entry) entry.write(object, writer, entry.name);
    }

    const TPropertyTable* base_;
    std::vector<Entry> own_;
};

template <class V>
using TIdentNames = std::span<const std::pair<std::string_view, V>>;

// A colour stored as a name (clBtnFace) or as a number.
TColor ReadColor(const TReader& reader, const core::LayoutValue& value);
void WriteColor(TWriter& writer, const std::string& name, TColor color);

// Builds the entries of class C for its table: TPropertyTable<TComponent> for components,
// TPropertyTable<C> for plain values (TFont). `get` is a field or a const member function,
// `set` a field or a member function taking the value; one field may serve as both.
template <class C>
class TProperties {
public:
    using Object = std::conditional_t<std::is_base_of_v<TComponent, C>, TComponent, C>;
    using Entry = TStoredProperty<Object>;
    using Entries = std::vector<Entry>;

    // Any other kind: reading and, unless only read, writing as functions of C. The write
    // decides itself whether the value is worth storing.
    static Entry Custom(std::string name, std::function<void(C&, const core::LayoutValue&, TReader&)> read,
                        std::function<void(const C&, TWriter&, const std::string&)> write = nullptr) {
        Entry entry{std::move(name),
                    [read](Object& object, const core::LayoutValue& value, TReader& reader) {
                        read(static_cast<C&>(object), value, reader);
                    },
                    nullptr};
        if (write)
            entry.write = [write](const Object& object, TWriter& writer, const std::string& stored) {
                write(static_cast<const C&>(object), writer, stored);
            };
        return entry;
    }

    // Integer, Boolean, String, Color and Ident take either (get, set[, default]) or
    // (field[, default]); without a default the value is always written.
    template <class... Access>
    static Entry Integer(std::string name, Access... access) {
        return Value<int64_t>(std::move(name), &TReader::Integer, &TWriter::Integer, access...);
    }
    template <class... Access>
    static Entry Boolean(std::string name, Access... access) {
        return Value<bool>(std::move(name), &TReader::Boolean, &TWriter::Boolean, access...);
    }
    template <class... Access>
    static Entry String(std::string name, Access... access) {
        return Value<std::wstring>(std::move(name), &TReader::String, &TWriter::String, access...);
    }
    template <class... Access>
    static Entry Color(std::string name, Access... access) {
        return Value<TColor>(std::move(name), &ReadColor, &WriteColor, access...);
    }
    // A value stored by name; a value without a name is not written.
    template <class V, class... Access>
    static Entry Ident(std::string name, TIdentNames<V> names, Access... access) {
        auto decode = [names](const TReader& reader, const core::LayoutValue& value) {
            std::string ident = reader.Ident(value);
            for (const auto& [known, v] : names)
                if (known == ident) return v;
            reader.InvalidValue();
        };
        auto encode = [names](TWriter& writer, const std::string& stored, V v) {
            for (const auto& [known, candidate] : names)
                if (candidate == v) return writer.Ident(stored, std::string(known));
        };
        return Value<V>(std::move(name), decode, encode, access...);
    }

    // A picture in its stored form; `get` gives the object's TBitmap*, written unless empty.
    template <class Get>
    static Entry Picture(std::string name, Get get) {
        return Custom(
            std::move(name),
            [get](C& object, const core::LayoutValue& value, TReader& reader) {
                TMemoryStream stream = reader.BytesStream(value);
                std::invoke(get, object)->LoadFromStoredData(stream);
            },
            [get](const C& object, TWriter& writer, const std::string& stored) {
                const auto* picture = std::invoke(get, object);
                if (picture->Empty()) return;
                TMemoryStream stream;
                picture->SaveToStoredData(stream);
                writer.Bytes(stored, stream.Bytes());
            });
    }

    // An event bound by the root's handler name; read only. Handlers are published with the
    // sender alone: an event with more arguments (keys, mouse) drops the others.
    template <class Field>
    static Entry Event(std::string name, Field field) {
        return Custom(std::move(name), [field](C& object, const core::LayoutValue& value, TReader& reader) {
            using E = std::remove_reference_t<decltype(object.*field)>;
            if constexpr (std::is_same_v<E, TNotifyEvent>) object.*field = reader.Method(value);
            else object.*field = E([h = reader.Method(value)](TObject* sender, auto&&...) { h(sender); });
        });
    }

    // Another component of the layout's root, stored by its name; `set` takes it as a Target
    // (null when it is none), `get` gives the one held now.
    template <class Target, class Get, class Set>
    static Entry Reference(std::string name, Get get, Set set) {
        return Custom(
            std::move(name),
            [set](C& object, const core::LayoutValue& value, TReader& reader) {
                reader.Reference(value, [&object, set](TComponent* c) { (object.*set)(dynamic_cast<Target*>(c)); });
            },
            [get](const C& object, TWriter& writer, const std::string& stored) {
                if (const TComponent* target = std::invoke(get, object)) writer.Ident(stored, Narrow(target->Name()));
            });
    }

    // Names a layout may carry that nothing here acts on.
    static Entries Ignored(std::initializer_list<const char*> names) {
        Entries entries;
        for (const char* name : names)
            entries.push_back(Custom(name, [](C&, const core::LayoutValue&, TReader&) {}));
        return entries;
    }

    // The properties of a value held in `field` (a font), stored as prefix + their names.
    // They are written only while `stored` holds; `changed` runs after each one is read.
    template <class Field, class Inner>
    static Entries Group(const std::string& prefix, Field field, const TPropertyTable<Inner>& inner,
                         std::function<bool(const C&)> stored, std::function<void(C&)> changed) {
        Entries entries;
        for (const TStoredProperty<Inner>& property : inner.Own()) {
            auto read = property.read;
            auto write = property.write;
            entries.push_back(Custom(
                prefix + property.name,
                [field, read, changed](C& object, const core::LayoutValue& value, TReader& reader) {
                    read(object.*field, value, reader);
                    changed(object);
                },
                [field, write, stored](const C& object, TWriter& writer, const std::string& name) {
                    if (write && stored(object)) write(object.*field, writer, name);
                }));
        }
        return entries;
    }

private:
    template <class Set>
    struct SetterArgument;
    template <class K, class A>
    struct SetterArgument<void (K::*)(A)> {
        using type = std::decay_t<A>;
    };

    template <class Set, class V>
    static void Assign(C& object, Set set, const V& value) {
        if constexpr (std::is_member_object_pointer_v<Set>) {
            auto& target = object.*set;
            target = static_cast<std::remove_reference_t<decltype(target)>>(value);
        } else {
            (object.*set)(static_cast<typename SetterArgument<Set>::type>(value));
        }
    }

    template <class V, class Decode, class Encode, class Get, class Set>
        requires std::is_member_pointer_v<Set>
    static Entry Value(std::string name, Decode decode, Encode encode, Get get, Set set,
                       std::optional<V> byDefault = std::nullopt) {
        return Custom(
            std::move(name),
            [set, decode](C& object, const core::LayoutValue& value, TReader& reader) {
                Assign(object, set, static_cast<V>(std::invoke(decode, reader, value)));
            },
            [get, byDefault, encode](const C& object, TWriter& writer, const std::string& stored) {
                V current = static_cast<V>(std::invoke(get, object));
                if (!byDefault || current != *byDefault) std::invoke(encode, writer, stored, current);
            });
    }
    template <class V, class Decode, class Encode, class Field>
    static Entry Value(std::string name, Decode decode, Encode encode, Field field,
                       std::optional<V> byDefault = std::nullopt) {
        return Value<V>(std::move(name), decode, encode, field, field, std::move(byDefault));
    }
};

}  // namespace forms
