#include "content/browser_url.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "common/text.h"

namespace BrowserUrl {
namespace {

constexpr auto npos = std::u16string_view::npos;

constexpr bool IsTabOrNewline(char16_t c) {
    return c == u'\t' || c == u'\n' || c == u'\r';
}
constexpr bool IsAsciiAlpha(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
constexpr bool IsAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
constexpr int HexValue(char16_t c) {
    if (IsAsciiDigit(c)) return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}
constexpr bool EndsAuthority(char16_t c) {
    return c == u'/' || c == u'\\' || c == u'?' || c == u'#';
}

// Code points no host may contain once decoded (the standard's forbidden domain code points).
constexpr bool IsForbiddenInDomain(char32_t c) {
    if (c <= 0x20 || c == 0x7F) return true;
    switch (c) {
        case U'#':
        case U'%':
        case U'/':
        case U':':
        case U'<':
        case U'>':
        case U'?':
        case U'@':
        case U'[':
        case U'\\':
        case U']':
        case U'^':
        case U'|':
            return true;
        default:
            return false;
    }
}

struct SchemeName {
    std::u16string_view name;
    Scheme scheme;
    int defaultPort;
};
constexpr std::array<SchemeName, 6> kSchemes = {{{u"http", Scheme::Http, 80},
                                                 {u"https", Scheme::Https, 443},
                                                 {u"ws", Scheme::Ws, 80},
                                                 {u"wss", Scheme::Wss, 443},
                                                 {u"ftp", Scheme::Ftp, 21},
                                                 {u"blob", Scheme::Blob, -1}}};

// The input without leading and trailing C0 controls and spaces, as the parser first trims it.
std::u16string_view Trimmed(std::u16string_view url) {
    while (!url.empty() && url.front() <= 0x20)
        url.remove_prefix(1);
    while (!url.empty() && url.back() <= 0x20)
        url.remove_suffix(1);
    return url;
}

struct SchemePart {
    bool found = false;
    Scheme scheme = Scheme::Other;
    int defaultPort = -1;
    std::size_t afterScheme = 0;  // just after the ':'
    std::size_t inputEnd = 0;     // the end of the input without trailing spaces and controls
};

// Scheme: a letter, then letters, digits, '+', '-' and '.', up to ':'.
SchemePart SchemeOfInput(std::u16string_view url) {
    SchemePart part;
    const std::u16string_view trimmed = Trimmed(url);
    const std::size_t offset = static_cast<std::size_t>(trimmed.data() - url.data());
    part.inputEnd = offset + trimmed.size();
    std::array<char16_t, 6> name{};
    std::size_t nameLength = 0;
    std::size_t at = offset;
    for (bool first = true;; ++at) {
        if (at == part.inputEnd) return part;
        const char16_t c = url[at];
        if (IsTabOrNewline(c)) continue;
        if (c == u':' && !first) break;
        const bool valid =
            first ? IsAsciiAlpha(c)
                  : IsAsciiAlpha(c) || IsAsciiDigit(c) || c == u'+' || c == u'-' || c == u'.';
        if (!valid) return part;
        if (nameLength < name.size()) name[nameLength] = Text::ToLowerAscii(c);
        ++nameLength;
        first = false;
    }
    part.found = true;
    part.afterScheme = at + 1;
    for (const SchemeName& known : kSchemes) {
        if (nameLength == known.name.size() &&
            std::u16string_view(name.data(), nameLength) == known.name) {
            part.scheme = known.scheme;
            part.defaultPort = known.defaultPort;
        }
    }
    return part;
}

std::u16string WithoutTabsOrNewlines(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (const char16_t c : text)
        if (!IsTabOrNewline(c)) out.push_back(c);
    return out;
}

// --- IPv4 --------------------------------------------------------------------------------------

// One dotted part: decimal, "0x" hexadecimal or leading-zero octal; empty fails. Values above
// 2^32 are clipped there, which every caller refuses alike.
std::optional<std::uint64_t> Ipv4Number(std::u16string_view part) {
    if (part.empty()) return std::nullopt;
    unsigned radix = 10;
    if (part.size() >= 2 && part[0] == u'0' && (part[1] == u'x' || part[1] == u'X')) {
        radix = 16;
        part.remove_prefix(2);
    } else if (part.size() >= 2 && part[0] == u'0') {
        radix = 8;
        part.remove_prefix(1);
    }
    std::uint64_t value = 0;
    for (const char16_t c : part) {
        const int digit = HexValue(c);
        if (digit < 0 || static_cast<unsigned>(digit) >= radix) return std::nullopt;
        value = value * radix + static_cast<unsigned>(digit);
        if (value > (std::uint64_t{1} << 32)) value = std::uint64_t{1} << 32;
    }
    return value;
}

std::u16string_view LastIpv4Part(std::u16string_view host) {
    if (host.size() > 1 && host.back() == u'.') host.remove_suffix(1);
    const std::size_t dot = host.rfind(u'.');
    return dot == npos ? host : host.substr(dot + 1);
}

std::optional<std::uint32_t> ParseIpv4(std::u16string_view host) {
    // At most four parts split at '.', one trailing empty part dropped.
    if (host.size() > 1 && host.back() == u'.') host.remove_suffix(1);
    std::array<std::uint64_t, 4> numbers{};
    std::size_t count = 0;
    for (std::size_t start = 0;; ++count) {
        const std::size_t dot = host.find(u'.', start);
        const auto number = Ipv4Number(host.substr(start, dot == npos ? npos : dot - start));
        if (!number || count == numbers.size()) return std::nullopt;
        numbers[count] = *number;
        if (dot == npos) break;
        start = dot + 1;
    }
    ++count;
    for (std::size_t i = 0; i + 1 < count; ++i)
        if (numbers[i] > 255) return std::nullopt;
    const std::uint64_t limit = std::uint64_t{1} << (8 * (5 - count));
    if (numbers[count - 1] >= limit) return std::nullopt;
    std::uint64_t address = numbers[count - 1];
    for (std::size_t i = 0; i + 1 < count; ++i)
        address += numbers[i] << (8 * (3 - i));
    return static_cast<std::uint32_t>(address);
}

std::u16string Ipv4Text(std::uint32_t address) {
    std::u16string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const std::string digits = std::to_string((address >> shift) & 0xFF);
        out.append(digits.begin(), digits.end());
        if (shift != 0) out.push_back(u'.');
    }
    return out;
}

// --- IPv6 --------------------------------------------------------------------------------------

std::optional<std::array<std::uint16_t, 8>> ParseIpv6(std::u16string_view input) {
    std::array<std::uint16_t, 8> address{};
    std::size_t piece = 0;
    std::optional<std::size_t> compress;
    std::size_t at = 0;
    const auto c = [&](std::size_t offset = 0) -> char16_t {
        return at + offset < input.size() ? input[at + offset] : char16_t{0};
    };
    const auto atEnd = [&] { return at >= input.size(); };

    if (c() == u':') {
        if (c(1) != u':') return std::nullopt;
        at += 2;
        compress = ++piece;
    }
    while (!atEnd()) {
        if (piece == 8) return std::nullopt;
        if (c() == u':') {
            if (compress) return std::nullopt;
            ++at;
            compress = ++piece;
            continue;
        }
        unsigned value = 0;
        std::size_t length = 0;
        while (length < 4 && !atEnd() && HexValue(c()) >= 0) {
            value = value * 16 + static_cast<unsigned>(HexValue(c()));
            ++at;
            ++length;
        }
        if (!atEnd() && c() == u'.') {
            // An embedded IPv4 address fills the last two pieces.
            if (length == 0 || piece > 6) return std::nullopt;
            at -= length;
            int numbersSeen = 0;
            while (!atEnd()) {
                if (numbersSeen > 0) {
                    if (c() != u'.' || numbersSeen >= 4) return std::nullopt;
                    ++at;
                }
                if (atEnd() || !IsAsciiDigit(c())) return std::nullopt;
                int part = -1;
                while (!atEnd() && IsAsciiDigit(c())) {
                    const int digit = c() - u'0';
                    if (part == 0) return std::nullopt;
                    part = part < 0 ? digit : part * 10 + digit;
                    if (part > 255) return std::nullopt;
                    ++at;
                }
                address[piece] = static_cast<std::uint16_t>(address[piece] * 0x100 + part);
                ++numbersSeen;
                if (numbersSeen == 2 || numbersSeen == 4) ++piece;
            }
            if (numbersSeen != 4) return std::nullopt;
            break;
        }
        if (!atEnd() && c() == u':') {
            ++at;
            if (atEnd()) return std::nullopt;
        } else if (!atEnd()) {
            return std::nullopt;
        }
        address[piece++] = static_cast<std::uint16_t>(value);
    }
    if (compress) {
        std::size_t swaps = piece - *compress;
        for (std::size_t index = 7; index != 0 && swaps > 0; --index, --swaps)
            std::swap(address[index], address[*compress + swaps - 1]);
    } else if (piece != 8) {
        return std::nullopt;
    }
    return address;
}

std::u16string Ipv6Text(const std::array<std::uint16_t, 8>& address) {
    // The first longest run of two or more zero pieces becomes "::".
    std::size_t bestStart = 8, bestLength = 1;
    for (std::size_t i = 0; i < 8;) {
        std::size_t j = i;
        while (j < 8 && address[j] == 0)
            ++j;
        if (j - i > bestLength) {
            bestStart = i;
            bestLength = j - i;
        }
        i = j == i ? i + 1 : j;
    }
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    std::u16string out = u"[";
    for (std::size_t i = 0; i < 8; ++i) {
        if (i == bestStart) {
            out += i == 0 ? u"::" : u":";
            i += bestLength - 1;
            continue;
        }
        bool started = false;
        for (int shift = 12; shift >= 0; shift -= 4) {
            const unsigned digit = (address[i] >> shift) & 0xF;
            if (digit != 0 || started || shift == 0) {
                out.push_back(kHex[digit]);
                started = true;
            }
        }
        if (i != 7) out.push_back(u':');
    }
    out.push_back(u']');
    return out;
}

// --- Domains -----------------------------------------------------------------------------------

// Strict UTF-8: any malformed sequence gives nothing (the browser's decoder would put U+FFFD
// there, which no host may contain).
std::optional<std::u32string> DecodeUtf8(std::string_view bytes) {
    std::u32string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int extra = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, code = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, code = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, code = lead & 0x07, minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        if (i + static_cast<std::size_t>(extra) >= bytes.size()) return std::nullopt;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return std::nullopt;
        }
        out.push_back(code);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string PercentDecoded(std::string_view text) {
    const auto hex = [](char c) { return HexValue(static_cast<unsigned char>(c)); };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 &&
            hex(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// The ASCII a browser makes of a decoded host, for the code points whose mapping is plain:
// ASCII, full-width ASCII forms and the three ideographic or full-width full stops. Anything
// else gives nothing.
std::optional<std::u16string> MappedToAscii(const std::u32string& decoded) {
    std::u16string out;
    out.reserve(decoded.size());
    for (char32_t c : decoded) {
        if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;  // full-width forms of ASCII '!' to '~'
        if (c == 0x3002 || c == 0xFF61) c = U'.';
        if (c >= 0x80) return std::nullopt;
        out.push_back(Text::ToLowerAscii(static_cast<char16_t>(c)));
    }
    return out;
}

bool IsAcceptableDomain(std::u16string_view host) {
    if (host.empty()) return false;
    for (const char16_t c : host)
        if (IsForbiddenInDomain(c)) return false;
    return true;
}

}  // namespace

std::u16string Reading::LowerHost() const {
    return Text::ToLowerAscii(Host());
}

bool EndsInNumber(std::u16string_view host) {
    const std::u16string_view last = LastIpv4Part(host);
    if (last.empty()) return false;
    bool allDigits = true;
    for (const char16_t c : last)
        allDigits = allDigits && IsAsciiDigit(c);
    return allDigits || Ipv4Number(last).has_value();
}

bool HasPunycodeLabel(std::u16string_view host) {
    for (std::size_t start = 0; start <= host.size();) {
        if (Text::MatchesFoldedAt(host, start, u"xn--")) return true;
        const std::size_t dot = host.find(u'.', start);
        if (dot == npos) break;
        start = dot + 1;
    }
    return false;
}

bool IsCanonicalIpv4(std::u16string_view host) {
    const auto address = ParseIpv4(host);
    return address && Text::EqualsFolded(Ipv4Text(*address), host);
}

Scheme SchemeOf(std::u16string_view url) {
    return SchemeOfInput(url).scheme;
}

Reading Read(std::u16string_view url) {
    Reading reading;
    const SchemePart start = SchemeOfInput(url);
    if (!start.found) return reading;
    const std::size_t end = start.inputEnd;
    const int defaultPort = start.defaultPort;
    reading.scheme = start.scheme;
    reading.afterScheme = start.afterScheme;
    if (reading.scheme == Scheme::Other || reading.scheme == Scheme::Blob) return reading;

    // Web schemes: any run of slashes, then the authority up to the next delimiter.
    std::size_t at = reading.afterScheme;
    while (at < end && (url[at] == u'/' || url[at] == u'\\' || IsTabOrNewline(url[at])))
        ++at;
    const std::size_t authorityStart = at;
    std::size_t lastAt = npos;
    while (at < end && !EndsAuthority(url[at])) {
        if (url[at] == u'@') lastAt = at;
        ++at;
    }
    const std::size_t authorityEnd = at;
    const std::size_t hostStart = lastAt == npos ? authorityStart : lastAt + 1;

    // Host and port split at the first ':' outside brackets.
    std::size_t colon = npos;
    bool inBrackets = false;
    bool needsRewrite = false;
    for (std::size_t i = hostStart; i < authorityEnd; ++i) {
        const char16_t c = url[i];
        if (c == u'[') inBrackets = true;
        if (c == u']') inBrackets = false;
        if (c == u':' && !inBrackets) {
            colon = i;
            break;
        }
        needsRewrite = needsRewrite || IsTabOrNewline(c) || c == u'%' || c >= 0x80;
    }
    const std::size_t hostEnd = colon == npos ? authorityEnd : colon;

    if (colon != npos) {
        std::uint32_t port = 0;
        bool digits = false;
        for (std::size_t i = colon + 1; i < authorityEnd; ++i) {
            const char16_t c = url[i];
            if (IsTabOrNewline(c)) continue;
            if (!IsAsciiDigit(c)) return reading;
            port = port * 10 + static_cast<std::uint32_t>(c - u'0');
            if (port > 65535) return reading;
            digits = true;
        }
        if (digits && static_cast<int>(port) != defaultPort) reading.port = static_cast<int>(port);
    }

    std::u16string_view raw = url.substr(hostStart, hostEnd - hostStart);
    std::u16string cleaned;
    if (needsRewrite) {
        cleaned = WithoutTabsOrNewlines(raw);
        raw = cleaned;
    }
    if (raw.empty()) return reading;

    if (raw.front() == u'[') {
        if (raw.size() < 2 || raw.back() != u']') return reading;
        const auto address = ParseIpv6(raw.substr(1, raw.size() - 2));
        if (!address) return reading;
        reading.owned_ = Ipv6Text(*address);
        reading.status = HostStatus::Read;
        return reading;
    }
    std::u16string mapped;
    if (needsRewrite) {
        const auto decoded = DecodeUtf8(PercentDecoded(Text::Utf16ToUtf8(raw)));
        if (!decoded) return reading;
        auto ascii = MappedToAscii(*decoded);
        if (!ascii) {
            // Still refused when an ASCII part alone makes the browser refuse it.
            // (U+FFFD stands for bytes that were no UTF-8.)
            for (const char32_t c : *decoded)
                if ((c < 0x80 && IsForbiddenInDomain(c)) || c == 0xFFFD) return reading;
            reading.status = HostStatus::Unreadable;
            return reading;
        }
        mapped = std::move(*ascii);
    }
    const std::u16string_view host = needsRewrite ? std::u16string_view(mapped) : raw;
    if (!IsAcceptableDomain(host)) return reading;
    if (EndsInNumber(host)) {
        const auto address = ParseIpv4(host);
        if (!address) return reading;
        reading.owned_ = Ipv4Text(*address);
    } else if (needsRewrite) {
        reading.owned_ = std::move(mapped);
    } else {
        reading.view_ = host;
    }
    reading.hasPunycodeLabel = HasPunycodeLabel(reading.Host());
    reading.status = HostStatus::Read;
    return reading;
}

std::u16string_view BlobInner(std::u16string_view url, const Reading& reading) {
    if (reading.scheme != Scheme::Blob) return {};
    return url.substr(reading.afterScheme);
}

}  // namespace BrowserUrl
