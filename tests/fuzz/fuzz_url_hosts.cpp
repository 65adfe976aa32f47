// Host extraction and the predicates on it, fed with arbitrary URLs: every navigation and every
// request of a page reaches these with text the page chose.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/app_record.h"
#include "common/run_mode.h"
#include "common/text.h"
#include "content/browser_url.h"
#include "content/content_url.h"
#include "content/navigation_policy.h"
#include "content/request_filter.h"
#include "content/url_rules.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

bool IsStrictHostUnit(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

bool HasUpperAscii(std::u16string_view text) {
    for (const char16_t c : text) {
        if (c >= u'A' && c <= u'Z') return true;
    }
    return false;
}

// The strict host rule written the slow, obvious way, step by step on a lower-cased copy; the real
// one folds all steps into a single pass and must agree with it on every input.
std::u16string ReferenceExtractHost(std::u16string_view url) {
    const std::u16string lower = Text::ToLowerAscii(url);
    std::size_t start = 0;
    if (lower.size() >= 8 && lower.starts_with(u"https://")) {
        start = 8;
    } else if (lower.size() >= 7 && lower.starts_with(u"http://")) {
        start = 7;
    } else {
        return {};
    }
    const std::size_t stop = lower.find_first_of(u"/?#\\", start);
    const std::u16string authority =
        lower.substr(start, stop == std::u16string::npos ? std::u16string::npos : stop - start);
    if (authority.empty() || authority.find_first_of(u"@%[") != std::u16string::npos) return {};
    const std::size_t colon = authority.find(u':');
    const std::u16string host = authority.substr(0, colon);
    if (host.empty() || host.front() == u'.' || host.back() == u'.') return {};
    for (const char16_t c : host) {
        if (!IsStrictHostUnit(c)) return {};
    }
    if (host.size() >= 2 && host.find(u"..") != std::u16string::npos) return {};
    if (colon == std::u16string::npos) return host;
    const std::u16string port = authority.substr(colon + 1);
    if (port.empty()) return {};
    unsigned value = 0;
    for (const char16_t c : port) {
        if (c < u'0' || c > u'9') return {};
        value = value * 10 + static_cast<unsigned>(c - u'0');
        if (value > 65535) return {};
    }
    return value == 0 ? std::u16string() : host;
}

void Exercise(std::u16string_view url) {
    using namespace UrlRules;
    constexpr std::u16string_view kBase = u"https://orbis.example.edu";

    // The strict reading answers only where the browser contacts exactly that host.
    const BrowserUrl::Reading reading = BrowserUrl::Read(url);
    const std::u16string strict = ReferenceExtractHost(url);
    const bool browserAgrees = reading.IsCertain() && reading.LowerHost() == strict;
    const std::u16string host = ExtractHost(url);
    Check(host == (browserAgrees ? strict : std::u16string()));
    for (const char16_t c : host)
        Check(IsStrictHostUnit(c));
    if (!host.empty()) {
        Check(host.front() != u'.' && host.back() != u'.');
        Check(host.find(u"..") == std::u16string::npos);
        // A valid host stands for itself: extracting it again changes nothing.
        Check(ExtractHost(u"https://" + host) == host);
        Check(url.size() > host.size());
    }

    // The browser's reading: ASCII without forbidden units, and it stands for itself.
    const std::u16string browserHost = reading.LowerHost();
    Check(!HasUpperAscii(browserHost));
    Check((reading.status == BrowserUrl::HostStatus::Read) == !browserHost.empty());
    for (const char16_t c : browserHost)
        Check(c > u' ' && c < 0x7F && c != u'/' && c != u'@' && c != u'%' && c != u'\\');
    if (!browserHost.empty()) {
        const BrowserUrl::Reading again = BrowserUrl::Read(u"https://" + browserHost + u"/");
        Check(again.status == BrowserUrl::HostStatus::Read && again.LowerHost() == browserHost);
    }

    const bool trusted = IsTrustedUrl(url, kBase);
    if (trusted) Check(!host.empty() && !IsMeetingHost(host));
    if (IsInsecureTrustedUrl(url, kBase)) Check(trusted && !IsLoopbackHost(host));
    if (IsMediaPermissionUrl(url, kBase)) Check(!host.empty());
    // Whatever the base, a meeting host is never trusted.
    Check(!IsTrustedUrl(u"https://zoom.us/", url));
    (void)IsTrustedUrl(url, url);

    const std::u16string origin = TenantOrigin(url);
    if (!origin.empty()) {
        Check(url.substr(0, origin.size()) == origin);
        Check(ExtractHost(origin) == host);
    }

    const std::u16string site = RegistrableDomain(host);
    Check(site.size() <= host.size());
    Check(IsSameSite(host, host) == !host.empty());
    Check(IsSameSite(host, browserHost) == IsSameSite(browserHost, host));
    (void)IsMediaAllowListedHost(host);

    // The player lets nothing through whose host is not known for certain.
    AppRecord record;
    record.baseUrl = kBase;
    record.contentUrl = u"https://lessons.course-host.net/unit/1";
    record.contentKind = u"url_direct";
    if (IsPlayerNavigationAllowed(url, record) && url != u"about:blank") {
        const BrowserUrl::Reading inner =
            reading.scheme == BrowserUrl::Scheme::Blob
                ? BrowserUrl::Read(BrowserUrl::BlobInner(url, reading))
                : reading;
        Check(inner.IsWeb() && inner.IsCertain());
    }
    (void)DecideRequest(url, RunMode::Player, kBase);
    (void)MayNavigate(url, kBase);

    const std::u16string normalized = ContentUrl::NormalizeYouTubeUrl(url, kBase);
    (void)ContentUrl::IsYouTubeUrl(url);
    (void)ContentUrl::IsZoomUrl(url);
    (void)ContentUrl::PercentEncode(url);
    (void)normalized;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Exercise(Text::Utf8ToUtf16(bytes));

    // The same bytes as raw 16-bit units reach the code paths UTF-8 cannot produce (lone
    // surrogates, units that look like ASCII only after a careless narrowing).
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    Exercise(units);
    return 0;
}
