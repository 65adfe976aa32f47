#pragma once
// Host extraction and the domain classes every navigation and request decision rests on.
// Pure functions of their arguments and the tenant's constant lists.
#include <string>
#include <string_view>
#include <vector>

#include "content/browser_url.h"

namespace UrlRules {

// Domain lists, lower case, without a leading dot, in their fixed order. Decoded from the tenant
// constants once and kept for the life of the process.
const std::vector<std::u16string>& PlatformDomains();           // 3
const std::vector<std::u16string>& MeetingDomains();            // 7
const std::vector<std::u16string>& PermissionMeetingDomains();  // 6
const std::vector<std::u16string>& MediaAllowList();            // 39
std::vector<std::u16string> VideoCdnGroup1();                   // entries 4 and 5 of the media list
std::vector<std::u16string> VideoCdnGroup2();                   // entries 8 and 9

// Strict: the lower-case host of an http or https URL whose authority is a plain host name (no
// user information, escapes, IPv6 literal, "xn--" label, or number the browser would rewrite),
// so that it is exactly the host the browser contacts; empty otherwise.
std::u16string ExtractHost(std::u16string_view url);
bool HostMatchesDomain(std::u16string_view host, std::u16string_view domain);
bool HostMatchesDomainIgnoringCase(std::u16string_view host, std::u16string_view domain);
// "example.com." names the same host as "example.com".
std::u16string_view WithoutTrailingDot(std::u16string_view host);
bool IsMeetingHost(std::u16string_view host);
bool IsLoopbackHost(std::u16string_view host);  // "localhost" or "127.0.0.1", whole host
bool IsTrustedUrl(std::u16string_view url, std::u16string_view base);
// Plain HTTP or plain WebSocket to a trusted, non-loopback host, judged on the host the browser
// will contact; a host this program cannot read counts as trusted, so that it is refused.
bool IsInsecureTrustedUrl(std::u16string_view url, std::u16string_view base);
bool IsInsecureTrusted(const BrowserUrl::Reading& url, std::u16string_view base);
bool IsMediaPermissionUrl(std::u16string_view url, std::u16string_view base);
std::u16string TenantOrigin(std::u16string_view url);
// By the Public Suffix List; empty for a public suffix itself, an IP address or an empty host.
std::u16string RegistrableDomain(std::u16string_view host);
// Lower-case hosts: the same host, or the same registrable domain.
bool IsSameSite(std::u16string_view a, std::u16string_view b);
bool IsMediaAllowListedHost(std::u16string_view host);

}  // namespace UrlRules
