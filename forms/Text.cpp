#include "forms/Text.h"

#include <windows.h>

#include "forms/Exceptions.h"

namespace forms {

std::wstring Decode(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) return {};
    int length = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), result.data(), length);
    return result;
}

std::string Encode(std::wstring_view text, unsigned codePage) {
    if (text.empty()) return {};
    int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), length,
                        nullptr, nullptr);
    return result;
}

std::wstring Widen(std::string_view utf8) { return Decode(utf8, CP_UTF8); }

std::string Narrow(std::wstring_view utf16) { return Encode(utf16, CP_UTF8); }

Exception AsFrameworkException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        return e;
    } catch (...) {
        return Exception(L"");
    }
}

}  // namespace forms
