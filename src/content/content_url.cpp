#include "content/content_url.h"

#include <cstddef>

#include "common/text.h"
#include "content/url_rules.h"
#include "tenant_profile.h"

namespace ContentUrl {
namespace {

constexpr auto npos = std::u16string_view::npos;
constexpr std::u16string_view kEmbedMarker = u"/embed/";
constexpr std::u16string_view kShortsMarker = u"/shorts/";
constexpr std::u16string_view kLiveMarker = u"/live/";
constexpr std::u16string_view kWatchMarker = u"v=";

struct YouTubeNames {
    std::u16string mainDomain;
    std::u16string shortLinkPrefix;  // the short-link domain followed by "/"
    std::u16string shortDomain;
    std::u16string embedBase;
};

const YouTubeNames& YouTube() {
    static const YouTubeNames names = [] {
        YouTubeNames built;
        // Lower case, as the folded searches require.
        built.mainDomain = Text::ToLowerAscii(Text::Widen(Tenant::YouTubeMainDomain()));
        built.shortDomain = Text::ToLowerAscii(Text::Widen(Tenant::YouTubeShortDomain()));
        built.shortLinkPrefix = built.shortDomain + u"/";
        built.embedBase = Text::Widen(Tenant::YouTubeEmbedBase());
        return built;
    }();
    return names;
}

struct ZoomNames {
    std::u16string domain;
    std::u16string afterDot;    // "." and the domain: any subdomain
    std::u16string afterSlash;  // "//" and the domain: the bare domain as host
};

const ZoomNames& Zoom() {
    static const ZoomNames names = [] {
        std::u16string domain = Text::ToLowerAscii(Text::Widen(Tenant::ZoomMainDomain()));
        return ZoomNames{domain, u"." + domain, u"//" + domain};
    }();
    return names;
}

bool Contains(std::u16string_view text, std::u16string_view part) {
    return text.find(part) != npos;
}

// Where a video id begins and ends in the URL, when a rule that carries an id applies.
struct IdSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// Shorts and live addresses: the id ends at the next '/', or, when there is none, at the next
// '?', or at the end.
IdSpan PathSegmentAfter(std::u16string_view lower, std::size_t begin) {
    std::size_t end = lower.find(u'/', begin);
    if (end == npos) end = lower.find(u'?', begin);
    return {begin, end == npos ? lower.size() : end};
}

IdSpan UpTo(std::u16string_view lower, std::size_t begin, char16_t stop) {
    const std::size_t end = lower.find(stop, begin);
    return {begin, end == npos ? lower.size() : end};
}

std::u16string EmbedWithOrigin(std::u16string_view url, std::u16string_view base) {
    // A page that already names its origin has said what it wants.
    if (Contains(url, u"origin=")) return std::u16string(url);
    std::u16string out(url);
    out += Contains(url, u"?") ? u'&' : u'?';
    out += u"origin=";
    out += PercentEncode(base);
    return out;
}

}  // namespace

// Folded searches: no lower-cased copy is made.
bool IsYouTubeUrl(std::u16string_view url) {
    return Text::ContainsFolded(url, YouTube().mainDomain) ||
           Text::ContainsFolded(url, YouTube().shortDomain);
}

bool IsZoomUrl(std::u16string_view url) {
    return Text::ContainsFolded(url, Zoom().afterDot) ||
           Text::ContainsFolded(url, Zoom().afterSlash);
}

bool IsYouTubeHost(std::u16string_view host) {
    return UrlRules::HostMatchesDomainIgnoringCase(host, YouTube().mainDomain) ||
           UrlRules::HostMatchesDomainIgnoringCase(host, YouTube().shortDomain);
}

bool IsZoomHost(std::u16string_view host) {
    return UrlRules::HostMatchesDomainIgnoringCase(host, Zoom().domain);
}

std::u16string NormalizeYouTubeUrl(std::u16string_view url, std::u16string_view base) {
    // Markers are found in a lower-cased copy; the id is cut from the URL itself, because video
    // ids are case-sensitive. Lower-casing keeps every position, so the two line up.
    const std::u16string lower = Text::ToLowerAscii(url);
    const auto& names = YouTube();
    IdSpan id;
    if (const std::size_t at = lower.find(names.shortLinkPrefix); at != npos) {
        id = UpTo(lower, at + names.shortLinkPrefix.size(), u'?');
    } else if (Contains(lower, kEmbedMarker)) {
        return EmbedWithOrigin(url, base);
    } else if (const std::size_t shorts = lower.find(kShortsMarker); shorts != npos) {
        id = PathSegmentAfter(lower, shorts + kShortsMarker.size());
    } else if (const std::size_t live = lower.find(kLiveMarker); live != npos) {
        id = PathSegmentAfter(lower, live + kLiveMarker.size());
    } else if (const std::size_t watch = lower.find(kWatchMarker); watch != npos) {
        id = UpTo(lower, watch + kWatchMarker.size(), u'&');
    } else {
        return std::u16string(url);
    }

    std::u16string_view videoId = url.substr(id.begin, id.end - id.begin);
    if (videoId.empty()) return std::u16string(url);
    while (!videoId.empty() && videoId.back() == u'/')
        videoId.remove_suffix(1);

    std::u16string out = names.embedBase;
    out += videoId;
    out += u"?origin=";
    out += PercentEncode(base);
    return out;
}

std::u16string PercentEncode(std::u16string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    const std::string utf8 = Text::Utf16ToUtf8(text);
    std::string encoded;
    encoded.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                                byte == '_' || byte == '~';
        if (unreserved) {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(kHex[byte >> 4]);
            encoded.push_back(kHex[byte & 0x0F]);
        }
    }
    return Text::Utf8ToUtf16(encoded);
}

}  // namespace ContentUrl
