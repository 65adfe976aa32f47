#include "content/navigation_policy.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "common/text.h"
#include "content/content_url.h"
#include "content/url_rules.h"

namespace {

// Two addresses of one page: query and fragment play no part.
std::u16string_view WithoutQueryOrFragment(std::u16string_view url) {
    return url.substr(0, url.find_first_of(u"?#"));
}

bool ContainsAny(std::u16string_view host, const std::vector<std::u16string>& parts) {
    return std::any_of(parts.begin(), parts.end(), [host](const std::u16string& part) {
        return host.find(part) != std::u16string_view::npos;
    });
}

// Video kinds stream from the first provider's hosts, other kinds from the second group; the
// content itself must already live there, so a stray content host opens nothing.
bool SharesVideoCdn(std::u16string_view kind, std::u16string_view contentHost,
                    std::u16string_view targetHost) {
    const bool videoKind = kind == u"url_direct" || kind == u"video";
    const std::vector<std::u16string> group =
        videoKind ? UrlRules::VideoCdnGroup1() : UrlRules::VideoCdnGroup2();
    return ContainsAny(contentHost, group) && ContainsAny(targetHost, group);
}

}  // namespace

bool IsPlayerNavigationAllowed(std::u16string_view uri, const AppRecord& record) {
    if (uri == u"about:blank") return true;

    const std::u16string_view target = WithoutQueryOrFragment(uri);
    const std::u16string_view content = WithoutQueryOrFragment(record.contentUrl);
    if (target == content) return true;

    // Loose hosts: a "blob:" address counts as the host inside it, and a bare-host base (no
    // "://") gives an empty host that matches nothing.
    const std::u16string targetHost = UrlRules::ExtractHostLoose(uri);
    const std::u16string contentHost = UrlRules::ExtractHostLoose(record.contentUrl);
    const std::u16string baseHost = UrlRules::ExtractHostLoose(record.baseUrl);

    if (ContentUrl::IsZoomUrl(target) && ContentUrl::IsZoomUrl(content)) return true;
    if (ContentUrl::IsYouTubeUrl(target) && ContentUrl::IsYouTubeUrl(content)) return true;
    if (UrlRules::IsSameSite(baseHost, targetHost)) return true;
    if (UrlRules::IsSameSite(contentHost, targetHost)) return true;

    // A resource below the content's own path.
    if (target.size() > content.size() && target.starts_with(content) &&
        target[content.size()] == u'/') {
        return true;
    }

    if (UrlRules::IsMediaAllowListedHost(targetHost)) return true;
    return SharesVideoCdn(record.contentKind, contentHost, targetHost);
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
    // Such an address would only meet the request filter's 403; the current page stays instead.
    return !UrlRules::IsInsecureTrustedUrl(url, baseUrl);
}
