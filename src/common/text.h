#pragma once
// Text helpers shared by every layer. UTF-16 (std::u16string) is what meets Win32, WebView2 and
// Qt; std::string holds UTF-8 or raw bytes.
#include <cstddef>
#include <string>
#include <string_view>

namespace Text {

// Invalid or truncated sequences become U+FFFD; the conversion never fails, as the system
// code-page conversion behaves.
std::u16string Utf8ToUtf16(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// Lower-casing as the C runtime's default locale does it: 'A' to 'Z' only, per UTF-16 unit.
constexpr char16_t ToLowerAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}
constexpr char ToLowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}
std::u16string ToLowerAscii(std::u16string_view text);
std::string ToLowerAscii(std::string_view text);

// Searches that give the same answer as searching a lower-cased copy of `text` for `lowerPart`
// (which must already be lower case), without making the copy: they run on every request.
bool MatchesFoldedAt(std::u16string_view text, std::size_t at, std::u16string_view lowerPart);
bool ContainsFolded(std::u16string_view text, std::u16string_view lowerPart);
// Equal when lower-cased as above; neither side needs to be lower case.
bool EqualsFolded(std::u16string_view a, std::u16string_view b);

bool StartsWith(std::u16string_view text, std::u16string_view prefix);

// Links and base addresses may carry any number of "/" and "\" at either end.
constexpr bool IsSlash(char16_t c) {
    return c == u'/' || c == u'\\';
}
std::u16string_view TrimLeadingSlashes(std::u16string_view text);
std::u16string_view TrimTrailingSlashes(std::u16string_view text);
bool EndsWith(std::u16string_view text, std::u16string_view suffix);

// Widening of ASCII literals and tenant constants (which are ASCII or UTF-8).
inline std::u16string Widen(std::string_view utf8) {
    return Utf8ToUtf16(utf8);
}

}  // namespace Text
