#pragma once
// The decisions of the HTTPS client that do not depend on the transport, shared by the WinHTTP
// and libcurl adapters so both behave the same.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace HttpRules {

inline constexpr long kResolveTimeoutMs = 10000;
inline constexpr long kConnectTimeoutMs = 10000;
inline constexpr long kSendTimeoutMs = 30000;
inline constexpr long kReceiveTimeoutMs = 30000;

// Failure texts. The transport's error code follows the colon of the last two.
inline constexpr std::string_view kParseFailed = "Failed to parse URL";
inline constexpr std::string_view kHttpsRequired = "HTTPS required";
inline constexpr std::string_view kConnectFailed = "WinHttpConnect failed";
inline constexpr std::string_view kOpenRequestFailed = "WinHttpOpenRequest failed";
inline constexpr std::string_view kSendFailed = "WinHttpSendRequest failed: ";
inline constexpr std::string_view kReceiveFailed = "WinHttpReceiveResponse failed: ";

// The URL split the way WinHttpCrackUrl does it (host up to 256, path with query up to 2048
// characters; http and https only).
struct CrackedUrl {
    bool https = false;
    std::u16string host;
    int port = 0;
    std::u16string path;  // with the query, "/" when empty
};
std::optional<CrackedUrl> CrackUrl(std::u16string_view url);

// HTTPS always; plain HTTP only to "localhost" or "127.0.0.1".
bool IsSchemeAllowed(const CrackedUrl& url, std::u16string_view fullUrl);

using Header = std::pair<std::string, std::string>;
// The headers of one request, in the order they are added: the platform marker headers when the
// URL lies on the platform's domains (against `base`), then Content-Type when given.
std::vector<Header> RequestHeaders(std::u16string_view url, std::u16string_view base,
                                   std::u16string_view contentType);

}  // namespace HttpRules
