#pragma once
// What the platform-facing tests compare against: the platform's primary domain and the marker
// headers every request to a platform host carries.
#include <string>
#include <vector>

#include "common/text.h"
#include "content/url_rules.h"
#include "service/http_request_rules.h"
#include "tenant_profile.h"

namespace TestSupport {

inline std::string PlatformDomain() {
    return Text::Utf16ToUtf8(UrlRules::PlatformDomains().front());
}

inline std::vector<HttpRules::Header> MarkerHeaders() {
    return {{Tenant::PlatformMarkerHeader1Name(), Tenant::PlatformMarkerHeader1Value()},
            {Tenant::PlatformMarkerHeader2Name(), Tenant::PlatformMarkerHeader2Value()},
            {Tenant::PlatformMarkerHeader3Name(), Tenant::PlatformMarkerHeader3Value()}};
}

}  // namespace TestSupport
