#include "content/navigation_policy.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "content/browser_url.h"
#include "content/content_url.h"
#include "content/url_rules.h"

namespace {

// Where an address leads, as the player's rules judge it: the lower-case host (without a
// trailing dot) of an http or https address, exactly as the browser will contact it; a "blob:"
// address leads to the origin inside it. Every other address (other schemes, hosts the browser
// refuses or that cannot be read for certain) gives an empty host, which no rule allows.
std::u16string DestinationHost(std::u16string_view url) {
    BrowserUrl::Reading reading = BrowserUrl::Read(url);
    if (reading.scheme == BrowserUrl::Scheme::Blob) {
        reading = BrowserUrl::Read(BrowserUrl::BlobInner(url, reading));
    }
    if (!reading.IsWeb() || !reading.IsCertain()) return {};
    return Text::ToLowerAscii(UrlRules::WithoutTrailingDot(reading.Host()));
}

bool InGroup(std::u16string_view host, const std::vector<std::u16string>& group) {
    return std::any_of(group.begin(), group.end(), [host](const std::u16string& domain) {
        return UrlRules::HostMatchesDomain(host, domain);
    });
}

// Video kinds stream from the first provider's hosts, other kinds from the second group; the
// content itself must already live there, so a stray content host opens nothing.
bool SharesVideoCdn(std::u16string_view kind, std::u16string_view contentHost,
                    std::u16string_view targetHost) {
    const bool videoKind = kind == u"url_direct" || kind == u"video";
    const std::vector<std::u16string> group =
        videoKind ? UrlRules::VideoCdnGroup1() : UrlRules::VideoCdnGroup2();
    return InGroup(contentHost, group) && InGroup(targetHost, group);
}

}  // namespace

bool IsPlayerNavigationAllowed(std::u16string_view uri, const AppRecord& record) {
    if (uri == u"about:blank") return true;
    const std::u16string target = DestinationHost(uri);
    if (target.empty()) return false;
    // The content's own pages and everything below its path are on its host, hence its site.
    const std::u16string content = DestinationHost(record.contentUrl);
    if (ContentUrl::IsZoomHost(target) && ContentUrl::IsZoomHost(content)) return true;
    if (ContentUrl::IsYouTubeHost(target) && ContentUrl::IsYouTubeHost(content)) return true;
    if (UrlRules::IsSameSite(DestinationHost(record.baseUrl), target)) return true;
    if (UrlRules::IsSameSite(content, target)) return true;
    if (UrlRules::IsMediaAllowListedHost(target)) return true;
    return SharesVideoCdn(record.contentKind, content, target);
}

bool TrackTenant(std::u16string_view uri, AppRecord& record) {
    // The tenant chooser is the platform's own page, whichever host serves it.
    if (Text::ContainsFolded(uri, u"select-tenants")) return false;
    std::u16string origin = UrlRules::TenantOrigin(uri);
    if (origin.empty() || Text::EqualsFolded(origin, record.baseUrl)) return false;
    record.baseUrl = std::move(origin);
    return true;
}

PermissionDecision DecidePermission(PermissionKind kind, const std::u16string* uri,
                                    std::u16string_view baseUrl) {
    if (kind == PermissionKind::Other) return PermissionDecision::Default;
    return uri != nullptr && UrlRules::IsMediaPermissionUrl(*uri, baseUrl)
               ? PermissionDecision::Allow
               : PermissionDecision::Deny;
}

bool MayNavigate(std::u16string_view url, std::u16string_view baseUrl) {
    if (url == u"about:blank") return true;
    // Content addresses come from links and the platform's answers: only web addresses open.
    const BrowserUrl::Reading reading = BrowserUrl::Read(url);
    if (!reading.IsWeb() || !reading.IsCertain()) return false;
    // A plain-HTTP address of a trusted host would only meet the request filter's 403; the
    // current page stays instead.
    return !UrlRules::IsInsecureTrusted(reading, baseUrl);
}
