#pragma once
// What a character may open, as text rules without the platform: a path or a web address.
#include <optional>
#include <string>
#include <string_view>

namespace core {

// An address the shell opens in the browser: http:// or https://, in any case.
bool IsWebAddress(std::wstring_view text);

// The target that pasted or dropped text names: the text without surrounding blanks and one
// pair of enclosing quotation marks, when it is an absolute path (a drive letter, a colon and a
// backslash, or a UNC name) or a web address; nothing for any other text. Whether the path
// exists is not asked.
std::optional<std::wstring> LaunchTargetFromText(std::wstring_view text);

// What a target is called where room is short: a web address whole, a path by its last name
// (a folder's too, with or without its trailing backslash; a drive's root as it stands).
std::wstring ShortTargetName(std::wstring_view target);

// The text that says what character `rowName` opens: "name: what it opens", with `unset` for
// an empty target and `shortName` for the rest.
std::wstring DescribeTarget(std::wstring_view rowName, std::wstring_view shortName, std::wstring_view unset);

}  // namespace core
