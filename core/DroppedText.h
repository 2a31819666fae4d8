#pragma once
// Where the address sits in the texts that a dragged link brings, as rules without the platform.
#include <string>
#include <string_view>

namespace core {

// text/uri-list, text/x-moz-url, _NETSCAPE_URL: the first line that is neither empty nor a
// comment ("#..."); the lines after it are more addresses or the link's title.
std::wstring FirstUri(std::wstring_view text);

// An internet shortcut (the text of a .url file): the value of its "URL=" line, or nothing.
std::wstring InternetShortcutUrl(std::wstring_view text);

}  // namespace core
