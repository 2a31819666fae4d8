#pragma once
// The stored window layout format: readable text of nested objects, e.g.
//
//   object Form1: TForm1
//     Left = -50
//     Caption = 'Pelton'
//     BorderIcons = []
//     object Rgn1: TRgn
//       RgnData = {
//         20000000010000000300000030000000...}
//     end
//   end
//
// Values: integers, identifiers (true, clBtnFace, ...), strings in single quotes (UTF-8, ''
// for a quote, #n for a control character), sets [a, b] and binary blocks {hex}: up to 32 bytes
// per line, blocks shorter than 32 bytes on the property's own line. Parse and write round-trip
// exactly.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace core {

class LayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;  // message includes the line number
};

struct LayoutIdent { std::string name; friend bool operator==(const LayoutIdent&, const LayoutIdent&) = default; };
struct LayoutSet { std::vector<std::string> items; friend bool operator==(const LayoutSet&, const LayoutSet&) = default; };
using LayoutBytes = std::vector<uint8_t>;

using LayoutValue = std::variant<int64_t, LayoutIdent, std::string, LayoutSet, LayoutBytes>;

struct LayoutProperty {
    std::string name;  // may be a path such as RgnBitmap.Data
    LayoutValue value;
    friend bool operator==(const LayoutProperty&, const LayoutProperty&) = default;
};

struct LayoutObject {
    std::string name;
    std::string className;
    std::vector<LayoutProperty> properties;  // in stored order
    std::vector<LayoutObject> children;      // in stored order
    friend bool operator==(const LayoutObject&, const LayoutObject&) = default;

    // First property or child of that exact name, or null.
    const LayoutProperty* Find(std::string_view propertyName) const;
    LayoutProperty* Find(std::string_view propertyName);
    const LayoutObject* FindChild(std::string_view childName) const;
    LayoutObject* FindChild(std::string_view childName);
    // Replaces the value in place, or appends the property when it is missing.
    void Set(std::string_view propertyName, LayoutValue value);
};

LayoutObject ParseLayout(std::string_view text);
std::string WriteLayout(const LayoutObject& root);

}  // namespace core
