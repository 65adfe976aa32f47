#include "content/request_filter.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "common/text.h"
#include "content/browser_url.h"
#include "content/content_url.h"
#include "content/url_rules.h"
#include "tenant_profile.h"

namespace {

constexpr auto npos = std::u16string_view::npos;

// The platform's service-worker scripts would cache its pages outside the host's rules.
// Every marker begins with '/', which the search below relies on.
constexpr std::array<std::u16string_view, 3> kServiceWorkerMarkers = {
    u"/front/sw.js", u"/select-tenants-sw.js", u"/front/workbox-"};

// Same answer as searching a lower-cased copy, without making one: only a '/' can start a marker.
bool HasServiceWorkerMarker(std::u16string_view uri) {
    for (std::size_t at = uri.find(u'/'); at != npos; at = uri.find(u'/', at + 1)) {
        for (const std::u16string_view marker : kServiceWorkerMarkers) {
            if (Text::MatchesFoldedAt(uri, at, marker)) return true;
        }
    }
    return false;
}

struct InitMarkers {
    RequestHeader first;
    RequestHeader second;
};

const InitMarkers& InitMarkerHeaders() {
    static const InitMarkers markers = [] {
        const std::u16string value = Text::Widen(Tenant::InitMarkerHeaderValue());
        return InitMarkers{{Text::Widen(Tenant::InitMarkerHeader1Name()), value},
                           {Text::Widen(Tenant::InitMarkerHeader2Name()), value}};
    }();
    return markers;
}

void DecorateInitRequest(std::u16string_view uri, std::u16string_view baseUrl,
                         std::vector<RequestHeader>& headers) {
    if (!UrlRules::IsTrustedUrl(uri, baseUrl)) return;
    const InitMarkers& markers = InitMarkerHeaders();
    headers.reserve(2);
    headers.push_back(markers.first);
    headers.push_back(markers.second);
}

// YouTube's embedded player identifies the embedding site by the referrer; name the platform to
// YouTube's own hosts and to no one else.
void DecoratePlayerRequest(BrowserUrl::Scheme scheme, std::u16string_view uri,
                           std::u16string_view baseUrl, std::vector<RequestHeader>& headers) {
    if (scheme != BrowserUrl::Scheme::Http && scheme != BrowserUrl::Scheme::Https) return;
    const BrowserUrl::Reading reading = BrowserUrl::Read(uri);
    if (!reading.IsCertain() || !ContentUrl::IsYouTubeHost(reading.Host())) return;
    std::u16string_view referer = baseUrl;
    if (referer.ends_with(u'/')) referer.remove_suffix(1);
    if (!referer.empty()) headers.push_back({u"Referer", std::u16string(referer)});
}

}  // namespace

int StatusOf(RequestDecision::Kind kind) {
    switch (kind) {
        case RequestDecision::Kind::HttpsRequired:
            return 403;
        case RequestDecision::Kind::NotFound:
            return 404;
        case RequestDecision::Kind::Pass:
            break;
    }
    return 0;
}

std::u16string_view ReasonOf(RequestDecision::Kind kind) {
    switch (kind) {
        case RequestDecision::Kind::HttpsRequired:
            return u"HTTPS required";
        case RequestDecision::Kind::NotFound:
            return u"Not Found";
        case RequestDecision::Kind::Pass:
            break;
    }
    return {};
}

RequestDecision DecideRequest(std::u16string_view uri, RunMode window,
                              std::u16string_view baseUrl) {
    RequestDecision decision;
    // Most requests are secure: their host is read only where a rule below needs it.
    const BrowserUrl::Scheme scheme = BrowserUrl::SchemeOf(uri);
    const bool plain = scheme == BrowserUrl::Scheme::Http || scheme == BrowserUrl::Scheme::Ws;
    // Plain HTTP (and plain WebSocket) to the platform or the tenant never leaves the machine;
    // loopback is exempt.
    if (plain && UrlRules::IsInsecureTrustedUrl(uri, baseUrl)) {
        decision.kind = RequestDecision::Kind::HttpsRequired;
    } else if (HasServiceWorkerMarker(uri)) {
        decision.kind = RequestDecision::Kind::NotFound;
    } else if (window == RunMode::Init) {
        DecorateInitRequest(uri, baseUrl, decision.headers);
    } else {
        DecoratePlayerRequest(scheme, uri, baseUrl, decision.headers);
    }
    return decision;
}
