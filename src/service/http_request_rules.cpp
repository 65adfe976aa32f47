#include "service/http_request_rules.h"

#include "common/text.h"
#include "content/url_rules.h"
#include "tenant_profile.h"

namespace HttpRules {
namespace {

constexpr int kDefaultHttpPort = 80;
constexpr int kDefaultHttpsPort = 443;
constexpr int kMaxPort = 65535;

// An explicit port: decimal digits only, checked against the maximum digit by digit so that a long
// run of digits cannot overflow, and never zero.
std::optional<int> ParsePort(std::u16string_view text) {
    if (text.empty()) return std::nullopt;
    int port = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        port = port * 10 + (c - u'0');
        if (port > kMaxPort) return std::nullopt;
    }
    if (port == 0) return std::nullopt;
    return port;
}

// The position of the ':' before the port (npos when there is none); nothing when a bracketed
// IPv6 literal, which keeps its own colons, is never closed.
std::optional<std::size_t> PortColon(std::u16string_view authority) {
    if (!authority.empty() && authority.front() == u'[') {
        const auto close = authority.find(u']');
        if (close == std::u16string_view::npos) return std::nullopt;
        return authority.find(u':', close);
    }
    return authority.find(u':');
}

// The connection goes to the split host, while the host rules read the URL as written. The two
// readings differ when '?', '#' or '\' comes before an '@' ("http://localhost#@example.org/" is
// user information "localhost#" and host "example.org" to WinHttpCrackUrl). Only a URL on which
// both agree may profit from a decision about its host.
bool ConnectsToRuleHost(const CrackedUrl& url, std::u16string_view ruleHost) {
    return !ruleHost.empty() && Text::ToLowerAscii(url.host) == ruleHost;
}

}  // namespace

std::optional<CrackedUrl> CrackUrl(std::u16string_view url) {
    const auto colon = url.find(u':');
    if (colon == std::u16string_view::npos) return std::nullopt;
    const auto scheme = Text::ToLowerAscii(url.substr(0, colon));
    CrackedUrl cracked;
    if (scheme == u"https") {
        cracked.https = true;
    } else if (scheme != u"http") {
        return std::nullopt;
    }

    auto rest = url.substr(colon + 1);
    if (!Text::StartsWith(rest, u"//")) return std::nullopt;
    rest.remove_prefix(2);

    // User information ends at an '@' that comes before the first '/'; it is never sent.
    const auto at = rest.find(u'@');
    if (at != std::u16string_view::npos &&
        rest.substr(0, at).find(u'/') == std::u16string_view::npos) {
        rest.remove_prefix(at + 1);
    }

    const auto slash = rest.find(u'/');
    const auto authority = rest.substr(0, slash);
    const auto path =
        slash == std::u16string_view::npos ? std::u16string_view{} : rest.substr(slash);

    const auto portColon = PortColon(authority);
    if (!portColon) return std::nullopt;
    const auto host = authority.substr(0, *portColon);
    if (host.empty() || host.size() > kMaxHostLength || path.size() > kMaxPathLength) {
        return std::nullopt;
    }

    if (*portColon == std::u16string_view::npos) {
        cracked.port = cracked.https ? kDefaultHttpsPort : kDefaultHttpPort;
    } else {
        const auto port = ParsePort(authority.substr(*portColon + 1));
        if (!port) return std::nullopt;
        cracked.port = *port;
    }
    cracked.host = std::u16string(host);
    cracked.path = path.empty() ? std::u16string(u"/") : std::u16string(path);
    return cracked;
}

bool IsSchemeAllowed(const CrackedUrl& url, std::u16string_view fullUrl) {
    if (url.https) return true;
    const std::u16string host = UrlRules::ExtractHost(fullUrl);
    return UrlRules::IsLoopbackHost(host) && ConnectsToRuleHost(url, host);
}

std::vector<Header> RequestHeaders(const CrackedUrl& connectedTo, std::u16string_view url,
                                   std::u16string_view base, std::u16string_view contentType) {
    std::vector<Header> headers;
    if (ConnectsToRuleHost(connectedTo, UrlRules::ExtractHost(url)) &&
        UrlRules::IsTrustedUrl(url, base)) {
        headers.emplace_back(Tenant::PlatformMarkerHeader1Name(),
                             Tenant::PlatformMarkerHeader1Value());
        headers.emplace_back(Tenant::PlatformMarkerHeader2Name(),
                             Tenant::PlatformMarkerHeader2Value());
        headers.emplace_back(Tenant::PlatformMarkerHeader3Name(),
                             Tenant::PlatformMarkerHeader3Value());
    }
    if (!contentType.empty()) headers.emplace_back("Content-Type", Text::Utf16ToUtf8(contentType));
    return headers;
}

std::vector<Header> RequestHeaders(std::u16string_view url, std::u16string_view base,
                                   std::u16string_view contentType) {
    const auto cracked = CrackUrl(url);
    if (!cracked) return RequestHeaders(CrackedUrl{}, url, u"", contentType);
    return RequestHeaders(*cracked, url, base, contentType);
}

std::string_view RefusalBeforeSending(const std::optional<CrackedUrl>& cracked,
                                      std::u16string_view fullUrl) {
    if (!cracked) return kParseFailed;
    if (!IsSchemeAllowed(*cracked, fullUrl)) return kHttpsRequired;
    return {};
}

}  // namespace HttpRules
