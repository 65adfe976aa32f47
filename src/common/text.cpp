#include "common/text.h"

#include <cstdint>

namespace Text {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

void AppendCodePoint(std::u16string& out, std::uint32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    while (i < n) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        std::size_t length = 0;
        std::uint32_t cp = 0;
        std::uint32_t minimum = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, cp = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, cp = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, cp = lead & 0x07, minimum = 0x10000;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        // A maximal valid prefix of a broken sequence is replaced by one U+FFFD, the way the
        // Windows converter and the WHATWG decoder do it.
        std::size_t consumed = 1;
        bool valid = true;
        while (consumed < length) {
            if (i + consumed >= n ||
                !IsContinuation(static_cast<unsigned char>(utf8[i + consumed]))) {
                valid = false;
                break;
            }
            const auto next = static_cast<unsigned char>(utf8[i + consumed]);
            if (consumed == 1) {
                if ((lead == 0xE0 && next < 0xA0) || (lead == 0xED && next > 0x9F) ||
                    (lead == 0xF0 && next < 0x90) || (lead == 0xF4 && next > 0x8F)) {
                    valid = false;
                    break;
                }
            }
            cp = (cp << 6) | (next & 0x3F);
            ++consumed;
        }
        if (!valid || cp < minimum) {
            out.push_back(kReplacement);
            i += consumed;
            continue;
        }
        AppendCodePoint(out, cp);
        i += length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t unit = utf16[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            const std::uint32_t cp = 0x10000 + ((unit - 0xD800u) << 10) + (utf16[i + 1] - 0xDC00u);
            AppendUtf8(out, cp);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string ToLowerAscii(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out)
        c = ToLowerAscii(c);
    return out;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (auto& c : out)
        c = ToLowerAscii(c);
    return out;
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::u16string_view TrimLeadingSlashes(std::u16string_view text) {
    while (!text.empty() && IsSlash(text.front()))
        text.remove_prefix(1);
    return text;
}

std::u16string_view TrimTrailingSlashes(std::u16string_view text) {
    while (!text.empty() && IsSlash(text.back()))
        text.remove_suffix(1);
    return text;
}

bool EndsWith(std::u16string_view text, std::u16string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool MatchesFoldedAt(std::u16string_view text, std::size_t at, std::u16string_view lowerPart) {
    if (at > text.size() || text.size() - at < lowerPart.size()) return false;
    for (std::size_t i = 0; i < lowerPart.size(); ++i) {
        if (ToLowerAscii(text[at + i]) != lowerPart[i]) return false;
    }
    return true;
}

bool ContainsFolded(std::u16string_view text, std::u16string_view lowerPart) {
    if (lowerPart.empty()) return true;
    if (text.size() < lowerPart.size()) return false;
    // Only positions whose first unit matches in either case are compared in full.
    const char16_t first = lowerPart[0];
    const char16_t firstUpper =
        (first >= u'a' && first <= u'z') ? static_cast<char16_t>(first - (u'a' - u'A')) : first;
    const std::size_t last = text.size() - lowerPart.size();
    for (std::size_t at = 0; at <= last; ++at) {
        const char16_t unit = text[at];
        if ((unit == first || unit == firstUpper) && MatchesFoldedAt(text, at, lowerPart)) {
            return true;
        }
    }
    return false;
}

bool EqualsFolded(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
    }
    return true;
}

}  // namespace Text
