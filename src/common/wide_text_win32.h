#pragma once
// UTF-16 text between the portable code (char16_t) and Win32 (wchar_t, the same 16-bit units on
// Windows): views, not conversions.
#include <windows.h>

#include <string>

namespace Win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 text is UTF-16");

inline const wchar_t* WidePtr(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::u16string FromWide(const wchar_t* text) {
    return text == nullptr ? std::u16string()
                           : std::u16string(reinterpret_cast<const char16_t*>(text));
}

inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

}  // namespace Win32
