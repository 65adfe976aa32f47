#pragma once
// The decisions of the HTTPS client that do not depend on the transport, shared by the WinHTTP
// and libcurl adapters so both behave the same.
#include <cstddef>
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
// The session failure is thrown by the WinHTTP client when it is created; the libcurl client,
// which sets libcurl up with its first request, returns it from that request.
inline constexpr std::string_view kSessionFailed = "WinHttpOpen failed";
inline constexpr std::string_view kParseFailed = "Failed to parse URL";
inline constexpr std::string_view kHttpsRequired = "HTTPS required";
inline constexpr std::string_view kConnectFailed = "WinHttpConnect failed";
inline constexpr std::string_view kOpenRequestFailed = "WinHttpOpenRequest failed";
inline constexpr std::string_view kSendFailed = "WinHttpSendRequest failed: ";
inline constexpr std::string_view kReceiveFailed = "WinHttpReceiveResponse failed: ";

// The most an answer's body may hold. Content data, update checks and page scripts are a few KiB;
// a server that sends more is broken or hostile, and reading on would only grow memory. Past
// the bound the transfer is abandoned and the request fails as a receive failure.
inline constexpr std::size_t kMaxResponseBodyBytes = 4 * 1024 * 1024;

// Whether `incoming` more bytes still fit into a body that holds `held` (at most the bound).
constexpr bool BodyFits(std::size_t held, std::size_t incoming) {
    return held <= kMaxResponseBodyBytes && incoming <= kMaxResponseBodyBytes - held;
}

constexpr bool IsSuccessStatus(int status) {
    return status >= 200 && status <= 299;
}

// The URL split the way WinHttpCrackUrl does it into buffers of 256 and 2048 characters, each with
// room for its terminator (so a host of up to 255 and a path with query of up to 2047 characters);
// http and https only, the scheme in any letter case; user information is dropped; an explicit
// port must be 1 to 65535.
inline constexpr std::size_t kHostBufferLength = 256;
inline constexpr std::size_t kPathBufferLength = 2048;
inline constexpr std::size_t kMaxHostLength = kHostBufferLength - 1;
inline constexpr std::size_t kMaxPathLength = kPathBufferLength - 1;
struct CrackedUrl {
    bool https = false;
    std::u16string host;
    int port = 0;
    std::u16string path;  // with the query, "/" when empty
};
std::optional<CrackedUrl> CrackUrl(std::u16string_view url);

// HTTPS always; plain HTTP only to "localhost" or "127.0.0.1", and only when the split host is
// that same host (an authority such as "localhost#@example.org" goes elsewhere).
bool IsSchemeAllowed(const CrackedUrl& url, std::u16string_view fullUrl);

// The failure text for a request that must not leave the machine (an URL that did not split, or
// plain HTTP to a host other than loopback), or empty when it may be sent.
std::string_view RefusalBeforeSending(const std::optional<CrackedUrl>& cracked,
                                      std::u16string_view fullUrl);

using Header = std::pair<std::string, std::string>;
// The headers of one request, in the order they are added: the platform marker headers when the
// URL lies on the platform's domains (against `base`) and really goes to the host so judged,
// then Content-Type when given.
std::vector<Header> RequestHeaders(const CrackedUrl& connectedTo, std::u16string_view url,
                                   std::u16string_view base, std::u16string_view contentType);
// The same, with the URL split by CrackUrl.
std::vector<Header> RequestHeaders(std::u16string_view url, std::u16string_view base,
                                   std::u16string_view contentType);

}  // namespace HttpRules
