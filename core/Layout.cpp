#include "core/Layout.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace core {

namespace {

constexpr int kMaxDepth = 200;         // deeper nesting is refused rather than risking the stack
constexpr size_t kBytesPerLine = 32;   // 64 hex digits per line of a binary block

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    LayoutObject Document() {
        SkipSpace();
        LayoutObject root = Object(0);
        SkipSpace();
        if (!AtEnd()) Fail("unexpected " + Describe() + " after the last 'end'");
        return root;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1;

    [[noreturn]] void Fail(const std::string& message) const { FailAt(line_, message); }
    [[noreturn]] static void FailAt(int line, const std::string& message) {
        throw LayoutError("line " + std::to_string(line) + ": " + message);
    }

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

    void Advance() {
        if (text_[pos_] == '\n') ++line_;
        ++pos_;
    }

    void SkipSpace() {
        while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' || text_[pos_] == '\n'))
            Advance();
    }

    // A short picture of what stands at the current position, for messages.
    std::string Describe() const {
        if (AtEnd()) return "end of text";
        size_t end = pos_;
        if (IsIdentChar(text_[end]) || text_[end] == '.') {
            while (end < text_.size() && (IsIdentChar(text_[end]) || text_[end] == '.')) ++end;
        } else {
            ++end;
        }
        return "'" + std::string(text_.substr(pos_, end - pos_)) + "'";
    }

    // A name, possibly dotted (Font.Name, RgnBitmap.Data).
    std::string Name() {
        if (!IsIdentStart(Peek())) Fail("expected a name but found " + Describe());
        size_t start = pos_;
        while (!AtEnd()) {
            if (IsIdentChar(Peek())) {
                Advance();
            } else if (Peek() == '.' && pos_ + 1 < text_.size() && IsIdentStart(text_[pos_ + 1])) {
                Advance();
            } else {
                break;
            }
        }
        return std::string(text_.substr(start, pos_ - start));
    }

    void Expect(char c) {
        SkipSpace();
        if (Peek() != c) Fail(std::string("expected '") + c + "' but found " + Describe());
        Advance();
    }

    bool IsKeyword(std::string_view word) const {
        if (text_.size() - pos_ < word.size()) return false;
        if (!EqualsNoCase(text_.substr(pos_, word.size()), word)) return false;
        size_t after = pos_ + word.size();
        return after == text_.size() || !(IsIdentChar(text_[after]) || text_[after] == '.');
    }

    LayoutObject Object(int depth) {
        if (depth > kMaxDepth) Fail("objects nested too deeply");
        if (!IsKeyword("object")) Fail("expected 'object' but found " + Describe());
        const int openLine = line_;
        pos_ += 6;
        LayoutObject obj;
        SkipSpace();
        obj.name = Name();
        Expect(':');
        SkipSpace();
        obj.className = Name();
        for (;;) {
            SkipSpace();
            if (AtEnd())
                FailAt(line_, "missing 'end' of object " + obj.name + " begun on line " + std::to_string(openLine));
            if (IsKeyword("end")) {
                pos_ += 3;
                return obj;
            }
            if (IsKeyword("object")) {
                obj.children.push_back(Object(depth + 1));
                continue;
            }
            if (!obj.children.empty()) Fail("property " + Describe() + " after a child object");
            LayoutProperty prop;
            prop.name = Name();
            Expect('=');
            SkipSpace();
            prop.value = Value();
            obj.properties.push_back(std::move(prop));
        }
    }

    LayoutValue Value() {
        const char c = Peek();
        if (IsDigit(c) || c == '-' || c == '+') return Integer();
        if (c == '\'' || c == '#') return String();
        if (c == '[') return Set();
        if (c == '{') return Binary();
        if (IsIdentStart(c)) return LayoutIdent{Name()};
        Fail("unexpected " + Describe() + " where a value belongs");
    }

    LayoutValue Integer() {
        bool negative = false;
        if (Peek() == '-' || Peek() == '+') {
            negative = Peek() == '-';
            Advance();
        }
        if (!IsDigit(Peek())) Fail("expected digits but found " + Describe());
        // Accumulated as a negative number so that the most negative value fits.
        int64_t value = 0;
        const int64_t lowest = std::numeric_limits<int64_t>::min();
        while (IsDigit(Peek())) {
            int digit = Peek() - '0';
            if (value < (lowest + digit) / 10) Fail("integer out of range");
            value = value * 10 - digit;
            Advance();
        }
        if (IsIdentChar(Peek()) || Peek() == '.') Fail("unexpected " + Describe() + " in a number");
        if (!negative) {
            if (value == lowest) Fail("integer out of range");
            value = -value;
        }
        return value;
    }

    LayoutValue String() {
        std::string out;
        for (;;) {
            ReadStringPart(out);
            while (Peek() == '\'' || Peek() == '#') ReadStringPart(out);
            // A long string may go on after a '+' on the next line.
            size_t savePos = pos_;
            int saveLine = line_;
            SkipSpace();
            if (Peek() == '+') {
                Advance();
                SkipSpace();
                if (Peek() != '\'' && Peek() != '#') Fail("expected a string after '+' but found " + Describe());
                continue;
            }
            pos_ = savePos;
            line_ = saveLine;
            return out;
        }
    }

    void ReadStringPart(std::string& out) {
        if (Peek() == '#') {
            Advance();
            if (!IsDigit(Peek())) Fail("expected a character code after '#'");
            uint32_t code = 0;
            while (IsDigit(Peek())) {
                code = code * 10 + static_cast<uint32_t>(Peek() - '0');
                if (code > 0x10FFFF) Fail("character code out of range");
                Advance();
            }
            AppendUtf8(out, code);
            return;
        }
        const int openLine = line_;
        Advance();  // opening quote
        for (;;) {
            if (AtEnd() || Peek() == '\n' || Peek() == '\r') FailAt(openLine, "unterminated string");
            char c = Peek();
            Advance();
            if (c == '\'') {
                if (Peek() != '\'') return;
                Advance();
            }
            out += c;
        }
    }

    LayoutValue Set() {
        Advance();  // '['
        LayoutSet set;
        SkipSpace();
        if (Peek() == ']') {
            Advance();
            return set;
        }
        for (;;) {
            SkipSpace();
            set.items.push_back(Name());
            SkipSpace();
            if (Peek() == ']') {
                Advance();
                return set;
            }
            if (Peek() != ',') Fail("expected ',' or ']' in a set but found " + Describe());
            Advance();
        }
    }

    // The hex digits from here to the block's end (or the text's).
    size_t HexDigitsAhead() const {
        const std::string_view rest = text_.substr(pos_, text_.find('}', pos_) - pos_);
        return static_cast<size_t>(std::count_if(rest.begin(), rest.end(), [](char c) { return HexValue(c) >= 0; }));
    }

    LayoutValue Binary() {
        const int openLine = line_;
        Advance();  // '{'
        LayoutBytes bytes;
        bytes.reserve(HexDigitsAhead() / 2);  // one block for a picture, not a trail of outgrown ones
        int high = -1;
        for (;;) {
            if (AtEnd()) FailAt(openLine, "binary block is not closed with '}'");
            char c = Peek();
            if (c == '}') {
                if (high >= 0) Fail("odd number of hex digits in a binary block");
                Advance();
                return bytes;
            }
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                Advance();
                continue;
            }
            int v = HexValue(c);
            if (v < 0) Fail("bad hex digit " + Describe() + " in a binary block");
            Advance();
            if (high < 0) {
                high = v;
            } else {
                bytes.push_back(static_cast<uint8_t>(high << 4 | v));
                high = -1;
            }
        }
    }
};

bool ValidName(std::string_view name) {
    if (name.empty()) return false;
    bool start = true;
    for (char c : name) {
        if (start ? !IsIdentStart(c) : !(IsIdentChar(c) || c == '.')) return false;
        start = c == '.';
    }
    return !start;
}

void CheckName(std::string_view name, const char* what) {
    if (!ValidName(name)) throw LayoutError("cannot write " + std::string(what) + " '" + std::string(name) + "'");
}

void WriteString(std::string& out, const std::string& s) {
    if (s.empty()) {
        out += "''";
        return;
    }
    bool quoted = false;
    for (char c : s) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20) {  // control characters cannot stand inside quotes on one line
            if (quoted) out += '\'';
            quoted = false;
            out += '#' + std::to_string(u);
            continue;
        }
        if (!quoted) out += '\'';
        quoted = true;
        out += c;
        if (c == '\'') out += '\'';
    }
    if (quoted) out += '\'';
}

void WriteBinary(std::string& out, const LayoutBytes& bytes, const std::string& lineIndent) {
    static const char kHex[] = "0123456789ABCDEF";
    // Like a form-text writer: short blocks stay on the property's line, longer ones start each
    // line of up to 32 bytes on a new line; the brace closes on the last line.
    const bool multiLine = bytes.size() >= kBytesPerLine;
    out += '{';
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % kBytesPerLine == 0 && multiLine) {
            out += '\n';
            out += lineIndent;
        }
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 0x0F];
    }
    out += '}';
}

void WriteValue(std::string& out, const LayoutValue& value, const std::string& lineIndent) {
    if (const auto* i = std::get_if<int64_t>(&value)) {
        out += std::to_string(*i);
    } else if (const auto* id = std::get_if<LayoutIdent>(&value)) {
        CheckName(id->name, "identifier");
        out += id->name;
    } else if (const auto* s = std::get_if<std::string>(&value)) {
        WriteString(out, *s);
    } else if (const auto* set = std::get_if<LayoutSet>(&value)) {
        out += '[';
        for (size_t i = 0; i < set->items.size(); ++i) {
            CheckName(set->items[i], "set item");
            if (i > 0) out += ", ";
            out += set->items[i];
        }
        out += ']';
    } else {
        WriteBinary(out, std::get<LayoutBytes>(value), lineIndent);
    }
}

void WriteObject(std::string& out, const LayoutObject& obj, int level) {
    CheckName(obj.name, "object name");
    CheckName(obj.className, "class name");
    const std::string indent(2 * static_cast<size_t>(level), ' ');
    const std::string inner = indent + "  ";
    out += indent + "object " + obj.name + ": " + obj.className + "\n";
    for (const LayoutProperty& p : obj.properties) {
        CheckName(p.name, "property name");
        out += inner + p.name + " = ";
        WriteValue(out, p.value, inner + "  ");
        out += '\n';
    }
    for (const LayoutObject& child : obj.children) WriteObject(out, child, level + 1);
    out += indent + "end\n";
}

}  // namespace

const LayoutProperty* LayoutObject::Find(std::string_view propertyName) const {
    for (const LayoutProperty& p : properties)
        if (p.name == propertyName) return &p;
    return nullptr;
}

LayoutProperty* LayoutObject::Find(std::string_view propertyName) {
    return const_cast<LayoutProperty*>(static_cast<const LayoutObject&>(*this).Find(propertyName));
}

const LayoutObject* LayoutObject::FindChild(std::string_view childName) const {
    for (const LayoutObject& c : children)
        if (c.name == childName) return &c;
    return nullptr;
}

LayoutObject* LayoutObject::FindChild(std::string_view childName) {
    return const_cast<LayoutObject*>(static_cast<const LayoutObject&>(*this).FindChild(childName));
}

void LayoutObject::Set(std::string_view propertyName, LayoutValue value) {
    if (LayoutProperty* p = Find(propertyName)) {
        p->value = std::move(value);
        return;
    }
    properties.push_back(LayoutProperty{std::string(propertyName), std::move(value)});
}

LayoutObject ParseLayout(std::string_view text) {
    // A byte-order mark from an editor is not part of the text.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return Parser(text).Document();
}

std::string WriteLayout(const LayoutObject& root) {
    std::string out;
    WriteObject(out, root, 0);
    return out;
}

}  // namespace core
