#pragma once
// Host extraction and the domain classes every navigation and request decision rests on.
// Pure functions of their arguments and the tenant's constant lists.
#include <string>
#include <string_view>
#include <vector>

namespace UrlRules {

// Domain lists, lower case, without a leading dot, in their fixed order. Decoded from the tenant
// constants once and kept for the life of the process.
const std::vector<std::u16string>& PlatformDomains();           // 3
const std::vector<std::u16string>& MeetingDomains();            // 7
const std::vector<std::u16string>& PermissionMeetingDomains();  // 6
const std::vector<std::u16string>& MediaAllowList();            // 39
std::vector<std::u16string> VideoCdnGroup1();                   // entries 4 and 5 of the media list
std::vector<std::u16string> VideoCdnGroup2();                   // entries 8 and 9

std::u16string ExtractHost(std::u16string_view url);       // strict; lower-case host or empty
std::u16string ExtractHostLoose(std::u16string_view url);  // lenient; no validation
bool HostMatchesDomain(std::u16string_view host, std::u16string_view domain);
bool IsMeetingHost(std::u16string_view host);
bool IsLoopbackHost(std::u16string_view host);  // "localhost" or "127.0.0.1", whole host
bool IsTrustedUrl(std::u16string_view url, std::u16string_view base);
bool IsInsecureTrustedUrl(std::u16string_view url, std::u16string_view base);
bool IsMediaPermissionUrl(std::u16string_view url, std::u16string_view base);
std::u16string TenantOrigin(std::u16string_view url);
std::u16string RegistrableDomain(std::u16string_view host);
bool IsSameSite(std::u16string_view a, std::u16string_view b);
bool IsMediaAllowListedHost(std::u16string_view host);

}  // namespace UrlRules
