// The HTTPS client on libcurl. It reproduces the WinHTTP client's behaviour: the URL split, the
// scheme rule and the headers come from HttpRules before any network activity, every request runs
// on a fresh easy handle (no cookies, no connection carried over), and failures are reported with
// the WinHTTP stage texts followed by curl's own error number.
#include <curl/curl.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "service/curl_library_curl.h"
#include "service/http_client.h"
#include "service/http_client_curl.h"
#include "service/http_request_rules.h"
#include "tenant_profile.h"

struct HttpClient::Session {
    std::string userAgent;
};

namespace {

// Nothing is sent or received for this long counts as the send or receive time-out. The limit is
// on silence, not on the whole transfer, so a large body that keeps flowing is never cut off.
constexpr long kLowSpeedBytesPerSecond = 1;
constexpr long kStallSeconds = HttpRules::kReceiveTimeoutMs / 1000;

// curl_global_init must not race with itself or with any other curl call, so it runs exactly once
// for the process and is never undone (the shared client lives until exit).
bool InitialiseCurl(const CurlFunctions& curl) {
    static const bool initialised = curl.global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return initialised;
}

struct EasyCleanup {
    decltype(CurlFunctions::easy_cleanup) cleanup;
    void operator()(CURL* handle) const { cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;

struct ListCleanup {
    decltype(CurlFunctions::slist_free_all) freeAll;
    void operator()(curl_slist* list) const { freeAll(list); }
};
using HeaderList = std::unique_ptr<curl_slist, ListCleanup>;

struct Transfer {
    const CurlFunctions* curl = nullptr;
    CURL* handle = nullptr;
    std::string body;
    bool headersComplete = false;  // the final (non-1xx) response's header block has ended
    bool outOfMemory = false;
    bool tooLarge = false;  // the body passed HttpRules::kMaxResponseBodyBytes
};

// The code that follows the receive-failure text when the body passed the bound: curl's own
// number for a transfer larger than it was allowed to be.
constexpr int kTooLargeCode = CURLE_FILESIZE_EXCEEDED;

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    if (!HttpRules::BodyFits(transfer->body.size(), length)) {
        transfer->tooLarge = true;
        return 0;  // makes curl abandon the transfer: nothing more is read
    }
    try {
        transfer->body.append(data, length);
    } catch (const std::bad_alloc&) {
        transfer->outOfMemory = true;
        return 0;  // makes curl stop; the exception is raised again once curl has returned
    }
    return length;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    const std::string_view line(data, length);
    if (line == "\r\n" || line == "\n") {
        long status = 0;
        transfer->curl->easy_getinfo(transfer->handle, CURLINFO_RESPONSE_CODE, &status);
        if (status >= 200) transfer->headersComplete = true;
    }
    return length;
}

bool SameHeaderName(std::string_view a, std::string_view b) {
    return Text::ToLowerAscii(a) == Text::ToLowerAscii(b);
}

// WinHTTP's add-or-replace: a header whose name is already there overwrites the earlier value in
// its place instead of being added twice.
std::vector<HttpRules::Header> AddOrReplace(const std::vector<HttpRules::Header>& headers) {
    std::vector<HttpRules::Header> merged;
    for (const auto& header : headers) {
        const auto existing = std::find_if(merged.begin(), merged.end(), [&](const auto& h) {
            return SameHeaderName(h.first, header.first);
        });
        if (existing != merged.end()) {
            existing->second = header.second;
        } else {
            merged.push_back(header);
        }
    }
    return merged;
}

// The header list of one request. curl adds "Accept", "Expect: 100-continue" and, for a body, a
// form "Content-Type" of its own; WinHTTP sends none of them, so each is removed unless the
// request sets it itself.
std::optional<HeaderList> BuildHeaderList(const CurlFunctions& curl,
                                          const std::vector<HttpRules::Header>& requested) {
    const auto headers = AddOrReplace(requested);
    HeaderList list(nullptr, ListCleanup{curl.slist_free_all});
    const auto append = [&curl, &list](const std::string& line) {
        curl_slist* grown = curl.slist_append(list.get(), line.c_str());
        if (grown == nullptr) return false;
        static_cast<void>(list.release());
        list.reset(grown);
        return true;
    };
    for (const auto& [name, value] : headers) {
        // "Name;" is curl's way of sending a header with an empty value.
        if (!append(value.empty() ? name + ";" : name + ": " + value)) return std::nullopt;
    }
    for (const std::string suppressed : {"Accept", "Expect", "Content-Type"}) {
        const bool given = std::any_of(headers.begin(), headers.end(), [&](const auto& h) {
            return SameHeaderName(h.first, suppressed);
        });
        if (!given && !append(suppressed + ":")) return std::nullopt;
    }
    return list;
}

// WinHTTP escapes spaces, control characters and non-ASCII bytes of the request path on its own;
// curl refuses such a URL, so the same escaping is applied here. Existing escapes stay as they are.
std::string EscapePath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F) {
            escaped.push_back('%');
            escaped.push_back(kHex[byte >> 4]);
            escaped.push_back(kHex[byte & 0x0F]);
        } else {
            escaped.push_back(c);
        }
    }
    return escaped;
}

// The URL that curl is given, rebuilt from the split parts so that curl connects exactly where
// WinHTTP would. A host holding '?' or '#' would be read differently by curl's own parser; such a
// URL fails the way a malformed one does.
std::optional<std::string> TransportUrl(const HttpRules::CrackedUrl& url) {
    const std::string host = Text::Utf16ToUtf8(url.host);
    if (host.find_first_of("?#") != std::string::npos) return std::nullopt;
    return std::string(url.https ? "https://" : "http://") + host + ":" + std::to_string(url.port) +
           EscapePath(Text::Utf16ToUtf8(url.path));
}

// Whether the whole request (headers and body) had left before the failure: WinHTTP reports a
// failure after that point from WinHttpReceiveResponse, and one before it from WinHttpSendRequest.
bool RequestWasSent(const CurlFunctions& curl, CURL* handle, std::size_t bodyLength) {
    long requestSize = 0;
    curl_off_t uploaded = 0;
    curl.easy_getinfo(handle, CURLINFO_REQUEST_SIZE, &requestSize);
    curl.easy_getinfo(handle, CURLINFO_SIZE_UPLOAD_T, &uploaded);
    return requestSize > 0 && uploaded >= 0 && static_cast<std::uint64_t>(uploaded) >= bodyLength;
}

class Options {
  public:
    Options(const CurlFunctions& curl, CURL* handle) : curl_(curl), handle_(handle) {}
    template <typename Value>
    Options& Set(CURLoption option, Value value) {
        if (result_ == CURLE_OK) result_ = curl_.easy_setopt(handle_, option, value);
        return *this;
    }
    bool Ok() const { return result_ == CURLE_OK; }

  private:
    const CurlFunctions& curl_;
    CURL* handle_;
    CURLcode result_ = CURLE_OK;
};

bool ApplyRequestSettings(const CurlFunctions& curl, CURL* handle, const std::string& url,
                          const std::string& userAgent, const std::string& method,
                          std::string_view body, curl_slist* headers, Transfer& transfer) {
    Options options(curl, handle);
    options.Set(CURLOPT_URL, url.c_str())
        .Set(CURLOPT_USERAGENT, userAgent.c_str())
        .Set(CURLOPT_PROXY, "")
        .Set(CURLOPT_NOPROXY, "*")
        .Set(CURLOPT_PROTOCOLS_STR, "http,https")
        .Set(CURLOPT_FOLLOWLOCATION, 0L)
        .Set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1))
        .Set(CURLOPT_PATH_AS_IS, 1L)
        .Set(CURLOPT_SSL_VERIFYPEER, 1L)
        .Set(CURLOPT_SSL_VERIFYHOST, 2L)
        .Set(CURLOPT_NOSIGNAL, 1L)
        // One curl limit spans name resolution, connection and the TLS handshake, where WinHTTP
        // has one for resolving and one for connecting: it gets the two together.
        .Set(CURLOPT_CONNECTTIMEOUT_MS, HttpRules::kResolveTimeoutMs + HttpRules::kConnectTimeoutMs)
        .Set(CURLOPT_LOW_SPEED_LIMIT, kLowSpeedBytesPerSecond)
        .Set(CURLOPT_LOW_SPEED_TIME, kStallSeconds)
        .Set(CURLOPT_HTTPHEADER, headers)
        .Set(CURLOPT_WRITEFUNCTION, &OnBody)
        .Set(CURLOPT_WRITEDATA, &transfer)
        .Set(CURLOPT_HEADERFUNCTION, &OnHeader)
        .Set(CURLOPT_HEADERDATA, &transfer);

    // A body (or a POST or PUT, which always announce their length) goes out as one block with
    // its Content-Length; curl would call that a POST, so any other method is named explicitly.
    const bool sendsBody = !body.empty() || method == "POST" || method == "PUT";
    if (sendsBody) {
        options.Set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()))
            .Set(CURLOPT_POSTFIELDS, body.empty() ? "" : body.data());
    }
    if (method == "HEAD") options.Set(CURLOPT_NOBODY, 1L);
    if (method != (sendsBody ? "POST" : "GET")) options.Set(CURLOPT_CUSTOMREQUEST, method.c_str());
    return options.Ok();
}

}  // namespace

// libcurl is not touched here: it is loaded with the first request, on the thread that sends it.
HttpClient::HttpClient() : session_(std::make_unique<Session>()) {
    session_->userAgent = Tenant::UserAgent();
}

HttpClient::~HttpClient() = default;

// Every transfer turns proxies off on its own handle (CURLOPT_PROXY "" also overrides the proxy
// environment variables), so there is no session-wide setting left to reset.
void HttpClient::ForceDirectConnections() {}

HttpResponse HttpClient::Send(std::u16string_view method, std::u16string_view url,
                              std::string_view body, std::u16string_view contentType,
                              std::u16string_view trustBase) {
    return SendOverCurl(ProgramCurlLibrary(), session_->userAgent, method, url, body, contentType,
                        trustBase);
}

HttpResponse SendOverCurl(const CurlLibrary& library, const std::string& userAgent,
                          std::u16string_view method, std::u16string_view url,
                          std::string_view body, std::u16string_view contentType,
                          std::u16string_view trustBase) {
    HttpResponse response;
    const auto cracked = HttpRules::CrackUrl(url);
    response.error = HttpRules::RefusalBeforeSending(cracked, url);
    if (!response.error.empty()) return response;

    if (!library.functions) {
        response.error = library.error;
        return response;
    }
    const CurlFunctions& curl = *library.functions;
    if (!InitialiseCurl(curl)) {
        response.error = HttpRules::kSessionFailed;
        return response;
    }

    EasyHandle handle(curl.easy_init(), EasyCleanup{curl.easy_cleanup});
    if (!handle) {
        response.error = HttpRules::kConnectFailed;
        return response;
    }
    const auto transportUrl = TransportUrl(*cracked);
    if (!transportUrl) {
        response.error = std::string(HttpRules::kSendFailed) + std::to_string(CURLE_URL_MALFORMAT);
        return response;
    }
    auto headers =
        BuildHeaderList(curl, HttpRules::RequestHeaders(*cracked, url, trustBase, contentType));
    Transfer transfer;
    transfer.curl = &curl;
    transfer.handle = handle.get();
    if (!headers ||
        !ApplyRequestSettings(curl, handle.get(), *transportUrl, userAgent,
                              Text::Utf16ToUtf8(method), body, headers->get(), transfer)) {
        response.error = HttpRules::kOpenRequestFailed;
        return response;
    }

    const CURLcode result = curl.easy_perform(handle.get());
    if (transfer.outOfMemory) throw std::bad_alloc();
    if (transfer.tooLarge) {
        response.error = std::string(HttpRules::kReceiveFailed) + std::to_string(kTooLargeCode);
        return response;
    }

    // Once the response headers are in, the exchange counts as completed even if the body breaks
    // off: WinHTTP's read loop simply stops at the first read that yields nothing.
    if (result == CURLE_OK || transfer.headersComplete) {
        long status = 0;
        curl.easy_getinfo(handle.get(), CURLINFO_RESPONSE_CODE, &status);
        response.status = static_cast<std::int32_t>(status);
        response.body = std::move(transfer.body);
        response.ok = HttpRules::IsSuccessStatus(response.status);
        return response;
    }
    const auto stage = RequestWasSent(curl, handle.get(), body.size()) ? HttpRules::kReceiveFailed
                                                                       : HttpRules::kSendFailed;
    response.error = std::string(stage) + std::to_string(static_cast<int>(result));
    return response;
}
