#include "content/url_rules.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "common/text.h"
#include "content/public_suffix.h"
#include "tenant_profile.h"

namespace UrlRules {
namespace {

constexpr std::u16string_view kHttps = u"https://";
constexpr std::u16string_view kHttp = u"http://";
constexpr std::u16string_view kLocalhost = u"localhost";
constexpr std::u16string_view kLoopbackIp = u"127.0.0.1";
constexpr unsigned kMaxPort = 65535;

std::vector<std::u16string> Widened(const std::vector<std::string>& list) {
    std::vector<std::u16string> out;
    out.reserve(list.size());
    for (const auto& entry : list)
        out.push_back(Text::Widen(entry));
    return out;
}

// Lambdas rather than functions, so that each comparison is inlined into the loops using it.
constexpr auto ExactUnit = [](char16_t a, char16_t b) { return a == b; };
constexpr auto FoldedUnit = [](char16_t a, char16_t b) {
    return Text::ToLowerAscii(a) == Text::ToLowerAscii(b);
};

// The request filter asks these questions for every request, so the internal forms work on the
// host exactly as it stands in the URL and fold the letter case while comparing instead of
// allocating a lower-cased copy. The public forms compare exactly: their callers pass hosts that
// are already lower case.
template <typename Eq>
bool SameText(std::u16string_view a, std::u16string_view b, Eq eq) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), eq);
}

template <typename Eq>
bool MatchesDomain(std::u16string_view host, std::u16string_view domain, Eq eq) {
    if (host.size() < domain.size()) return false;
    const std::size_t offset = host.size() - domain.size();
    // A longer host must have the domain as whole trailing labels: "evilzoom.us" is not "zoom.us".
    if (offset != 0 && host[offset - 1] != u'.') return false;
    return std::equal(domain.begin(), domain.end(),
                      host.begin() + static_cast<std::ptrdiff_t>(offset), eq);
}

// Lists are consulted in their order; the first match decides.
template <typename Eq>
bool MatchesAny(std::u16string_view host, const std::vector<std::u16string>& domains, Eq eq) {
    return std::any_of(domains.begin(), domains.end(), [host, eq](const std::u16string& domain) {
        return MatchesDomain(host, domain, eq);
    });
}

bool MatchesAnyFolded(std::u16string_view host, const std::vector<std::u16string>& domains) {
    return MatchesAny(host, domains, FoldedUnit);
}

bool IsLoopbackFolded(std::u16string_view host) {
    return SameText(host, kLocalhost, FoldedUnit) || SameText(host, kLoopbackIp, FoldedUnit);
}

bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           SameText(text.substr(0, prefix.size()), prefix, FoldedUnit);
}

// What an ASCII unit may be inside an authority we accept. Anything else there, from '@', '%'
// and '[' (user information, escapes and IPv6 literals, all ways to make a host read differently
// to us than to the browser) to any non-ASCII unit, rejects the URL.
constexpr std::uint8_t kReject = 0;
constexpr std::uint8_t kHostUnit = 1;
constexpr std::uint8_t kDigit = 2;
constexpr std::uint8_t kColon = 4;
constexpr std::uint8_t kEnd = 8;

constexpr std::array<std::uint8_t, 128> kAuthorityUnits = [] {
    std::array<std::uint8_t, 128> units{};
    for (char c = 'a'; c <= 'z'; ++c)
        units[static_cast<std::size_t>(c)] = kHostUnit;
    for (char c = 'A'; c <= 'Z'; ++c)
        units[static_cast<std::size_t>(c)] = kHostUnit;
    for (char c = '0'; c <= '9'; ++c)
        units[static_cast<std::size_t>(c)] = kHostUnit | kDigit;
    units['-'] = units['.'] = kHostUnit;
    units[':'] = kColon;
    units['/'] = units['?'] = units['#'] = units['\\'] = kEnd;
    return units;
}();

std::uint8_t AuthorityUnitOf(char16_t c) {
    return c < kAuthorityUnits.size() ? kAuthorityUnits[c] : kReject;
}

// A host of letters, digits, '-' and '.' is what the browser contacts, unless it reads as a
// number (then it must already be the dotted-decimal form) or has a label the browser checks as
// an international name, which it may refuse.
bool BrowserReadsAsItStands(std::u16string_view host) {
    if (BrowserUrl::HasPunycodeLabel(host)) return false;
    return !BrowserUrl::EndsInNumber(host) || BrowserUrl::IsCanonicalIpv4(host);
}

std::size_t AuthorityEnd(std::u16string_view url, std::size_t start) {
    std::size_t end = start;
    while (end < url.size() && !(AuthorityUnitOf(url[end]) & kEnd))
        ++end;
    return end;
}

// The validated host of the authority that begins at `start`, as it stands in the URL (letter
// case not folded); empty when the authority or its host or port is not acceptable. Every
// rejection gives the same empty answer, so one pass stops at the first fault it meets.
std::u16string_view HostOfAuthorityAt(std::u16string_view url, std::size_t start) {
    constexpr auto npos = std::u16string_view::npos;
    std::size_t colon = npos;
    unsigned port = 0;
    std::size_t end = start;
    for (char16_t previous = 0; end < url.size(); ++end) {
        const char16_t c = url[end];
        const std::uint8_t unit = AuthorityUnitOf(c);
        if (unit & kEnd) break;
        if (colon == npos) {
            if (unit & kColon) {
                colon = end;
            } else if (!(unit & kHostUnit) || (c == u'.' && previous == u'.')) {
                return {};
            }
            previous = c;
        } else {
            // Read digit by digit, so that no length of digits can overflow.
            if (!(unit & kDigit)) return {};
            port = port * 10 + static_cast<unsigned>(c - u'0');
            if (port > kMaxPort) return {};
        }
    }
    const std::u16string_view host = url.substr(start, (colon == npos ? end : colon) - start);
    if (host.empty() || host.front() == u'.' || host.back() == u'.') return {};
    if (colon != npos && port == 0) return {};  // also an empty port
    if (!BrowserReadsAsItStands(host)) return {};
    return host;
}

std::u16string_view RawHost(std::u16string_view url) {
    if (StartsWithFolded(url, kHttps)) return HostOfAuthorityAt(url, kHttps.size());
    if (StartsWithFolded(url, kHttp)) return HostOfAuthorityAt(url, kHttp.size());
    return {};
}

bool IsMeetingHostFolded(std::u16string_view host) {
    return MatchesAnyFolded(host, MeetingDomains());
}

// The trust rule on a host taken from a URL. `base` may be a full URL or a bare host name
// (with an optional port), which reads as if it had "https://" in front.
bool IsTrustedHost(std::u16string_view host, std::u16string_view base) {
    if (host.empty() || IsMeetingHostFolded(host)) return false;
    if (MatchesAnyFolded(host, PlatformDomains())) return true;
    if (IsLoopbackFolded(host)) return true;
    std::u16string_view baseHost = RawHost(base);
    if (baseHost.empty() && base.find(u"://") == std::u16string_view::npos) {
        baseHost = HostOfAuthorityAt(base, 0);
    }
    return !baseHost.empty() && MatchesDomain(host, baseHost, FoldedUnit);
}

std::u16string_view OriginPrefix(std::u16string_view url, std::size_t authorityStart) {
    return url.substr(0, AuthorityEnd(url, authorityStart));
}

}  // namespace

const std::vector<std::u16string>& PlatformDomains() {
    static const std::vector<std::u16string> list = Widened(Tenant::PlatformDomains());
    return list;
}

const std::vector<std::u16string>& MeetingDomains() {
    static const std::vector<std::u16string> list = Widened(Tenant::MeetingDomains());
    return list;
}

const std::vector<std::u16string>& PermissionMeetingDomains() {
    static const std::vector<std::u16string> list = Widened(Tenant::PermissionMeetingDomains());
    return list;
}

const std::vector<std::u16string>& MediaAllowList() {
    static const std::vector<std::u16string> list = Widened(Tenant::MediaAllowList());
    return list;
}

std::vector<std::u16string> VideoCdnGroup1() {
    const auto& media = MediaAllowList();
    return {media.at(3), media.at(4)};
}

std::vector<std::u16string> VideoCdnGroup2() {
    const auto& media = MediaAllowList();
    return {media.at(7), media.at(8)};
}

std::u16string ExtractHost(std::u16string_view url) {
    return Text::ToLowerAscii(RawHost(url));
}

bool HostMatchesDomain(std::u16string_view host, std::u16string_view domain) {
    return MatchesDomain(host, domain, ExactUnit);
}

bool HostMatchesDomainIgnoringCase(std::u16string_view host, std::u16string_view domain) {
    return MatchesDomain(WithoutTrailingDot(host), domain, FoldedUnit);
}

std::u16string_view WithoutTrailingDot(std::u16string_view host) {
    if (!host.empty() && host.back() == u'.') host.remove_suffix(1);
    return host;
}

bool IsMeetingHost(std::u16string_view host) {
    return MatchesAny(host, MeetingDomains(), ExactUnit);
}

bool IsLoopbackHost(std::u16string_view host) {
    return host == kLocalhost || host == kLoopbackIp;
}

bool IsTrustedUrl(std::u16string_view url, std::u16string_view base) {
    return IsTrustedHost(RawHost(url), base);
}

bool IsInsecureTrustedUrl(std::u16string_view url, std::u16string_view base) {
    return IsInsecureTrusted(BrowserUrl::Read(url), base);
}

bool IsInsecureTrusted(const BrowserUrl::Reading& url, std::u16string_view base) {
    using BrowserUrl::HostStatus;
    if (url.scheme != BrowserUrl::Scheme::Http && url.scheme != BrowserUrl::Scheme::Ws) {
        return false;
    }
    if (url.status == HostStatus::Unreadable) return true;
    if (url.status != HostStatus::Read) return false;  // the browser sends nothing
    const std::u16string_view host = WithoutTrailingDot(url.Host());
    if (IsLoopbackFolded(host)) return false;
    // Judged as the secure form of the same host: user information, port and path play no part.
    return IsTrustedHost(host, base);
}

bool IsMediaPermissionUrl(std::u16string_view url, std::u16string_view base) {
    const std::u16string_view host = RawHost(url);
    if (host.empty()) return false;
    if (IsLoopbackFolded(host)) return true;
    if (!StartsWithFolded(url, kHttps)) return false;
    return IsTrustedHost(host, base) || MatchesAnyFolded(host, PermissionMeetingDomains());
}

std::u16string TenantOrigin(std::u16string_view url) {
    const std::u16string_view host = RawHost(url);
    if (host.empty() || IsMeetingHostFolded(host)) return {};
    // The platform's own front door is not a tenant; its subdomains are.
    if (SameText(host, PlatformDomains().front(), FoldedUnit)) return {};
    if (StartsWithFolded(url, kHttps)) return std::u16string(OriginPrefix(url, kHttps.size()));
    if (url.substr(0, kHttp.size()) == kHttp && IsLoopbackFolded(host)) {
        return std::u16string(OriginPrefix(url, kHttp.size()));
    }
    return {};
}

std::u16string RegistrableDomain(std::u16string_view host) {
    return std::u16string(PublicSuffix::RegistrableDomain(host));
}

bool IsSameSite(std::u16string_view a, std::u16string_view b) {
    a = WithoutTrailingDot(a);
    b = WithoutTrailingDot(b);
    if (a.empty() || b.empty()) return false;
    if (a == b) return true;
    // A host that is a public suffix itself, or an address, is a site only to itself.
    const std::u16string_view siteA = PublicSuffix::RegistrableDomain(a);
    return !siteA.empty() && siteA == PublicSuffix::RegistrableDomain(b);
}

bool IsMediaAllowListedHost(std::u16string_view host) {
    return MatchesAny(host, MediaAllowList(), ExactUnit);
}

}  // namespace UrlRules
