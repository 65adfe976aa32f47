#pragma once
// Where a view may go: the player window's content fence, the init window's learning of the
// tenant origin, device permissions and the guard on the host's own navigations. Pure decisions
// over the application record; the browser adapters apply them.
#include <string>
#include <string_view>

#include "common/app_record.h"

// True when the player window may load `uri` while it shows `record`'s content item.
bool IsPlayerNavigationAllowed(std::u16string_view uri, const AppRecord& record);

// The init window never refuses a navigation, but an address of a tenant moves `baseUrl` there.
// True when `baseUrl` changed.
bool TrackTenant(std::u16string_view uri, AppRecord& record);

enum class PermissionKind { Microphone, Camera, Other };
enum class PermissionDecision { Allow, Deny, Default };

// `uri` is null when the browser gave none with the request.
PermissionDecision DecidePermission(PermissionKind kind, const std::u16string* uri,
                                    std::u16string_view baseUrl);

// The host loads only web addresses (and "about:blank"), never a plain-HTTP address of a trusted
// host.
bool MayNavigate(std::u16string_view url, std::u16string_view baseUrl);
