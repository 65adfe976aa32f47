#include "service/link_text.h"

#include <cstdint>
#include <string>

#include "common/text.h"

namespace {

bool IsStreamSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads the two bytes after a '%' the way a hexadecimal stream extraction of an int does:
// leading white space, then an optional sign, then digits up to the first non-digit.
// Returns false when no digit could be read.
bool ReadEscape(char first, char second, std::uint8_t& byte) {
    // A hexadecimal stream read takes "0x" as a prefix and then fails for want of digits.
    if (first == '0' && (second == 'x' || second == 'X')) return false;
    const char pair[2] = {first, second};
    std::size_t i = 0;
    while (i < 2 && IsStreamSpace(pair[i]))
        ++i;
    bool negative = false;
    if (i < 2 && (pair[i] == '+' || pair[i] == '-')) {
        negative = pair[i] == '-';
        ++i;
    }
    int value = 0;
    bool anyDigit = false;
    for (; i < 2 && HexDigitValue(pair[i]) >= 0; ++i) {
        value = value * 16 + HexDigitValue(pair[i]);
        anyDigit = true;
    }
    if (!anyDigit) return false;
    if (negative) value = -value;
    byte = static_cast<std::uint8_t>(static_cast<unsigned>(value) & 0xFFu);
    return true;
}

}  // namespace

std::u16string UrlDecode(std::u16string_view text) {
    const std::string bytes = Text::Utf16ToUtf8(text);
    std::string decoded;
    decoded.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::uint8_t byte = 0;
        const bool twoBytesFollow = bytes.size() - i > 2;
        if (bytes[i] == '%' && twoBytesFollow && ReadEscape(bytes[i + 1], bytes[i + 2], byte)) {
            decoded.push_back(static_cast<char>(byte));
            i += 2;
        } else {
            decoded.push_back(bytes[i]);
        }
    }
    return Text::Utf8ToUtf16(decoded);
}

std::u16string ExtractSchemePayload(std::u16string_view argument, std::u16string_view scheme,
                                    bool* matched) {
    if (matched != nullptr) *matched = false;
    if (argument.empty() || scheme.empty()) return {};

    std::u16string cleaned;
    for (const char16_t c : UrlDecode(argument)) {
        if (c != u'\t' && c != u'\n' && c != u'\r' && c != u'"') cleaned.push_back(c);
    }

    const std::u16string lowered = Text::ToLowerAscii(cleaned);
    const std::u16string prefix = Text::ToLowerAscii(scheme) + u":";
    const std::size_t at = lowered.find(prefix);
    if (at == std::u16string::npos) return {};
    for (std::size_t i = 0; i < at; ++i) {
        if (lowered[i] != u' ') return {};
    }
    if (matched != nullptr) *matched = true;

    std::u16string_view body(cleaned);
    body.remove_prefix(at + prefix.size());
    body = Text::TrimTrailingSlashes(Text::TrimLeadingSlashes(body));

    const bool onlySeparators = body.find_first_not_of(u" /\\") == std::u16string_view::npos;
    if (onlySeparators) return {};
    std::u16string payload(body);
    for (auto& c : payload) {
        if (c == u' ') c = u'+';
    }
    return payload;
}

bool IsSchemeLink(std::u16string_view argument, std::u16string_view scheme) {
    return !ExtractSchemePayload(argument, scheme).empty();
}
