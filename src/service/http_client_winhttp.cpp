// The HTTPS client on WinHTTP: one session per client, one connection and request handle pair
// per Send, all closed on every path.
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/wide_text_win32.h"
#include "service/http_client.h"
#include "service/http_request_rules.h"
#include "tenant_profile.h"

namespace {

struct InternetHandleClose {
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleClose>;

std::u16string FromWide(const wchar_t* text, DWORD length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// The failure text of a stage that reports the system error code; the code is read before any
// handle is closed, since closing may overwrite it.
std::string StageFailure(std::string_view stage) {
    const DWORD code = GetLastError();
    return std::string(stage) + std::to_string(code);
}

std::optional<HttpRules::CrackedUrl> Crack(const std::u16string& url) {
    wchar_t host[HttpRules::kHostBufferLength] = {};
    wchar_t path[HttpRules::kPathBufferLength] = {};
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = static_cast<DWORD>(HttpRules::kHostBufferLength);
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = static_cast<DWORD>(HttpRules::kPathBufferLength);
    // No extra-info buffer: the query string stays part of the path.
    if (url.empty() ||
        !WinHttpCrackUrl(Win32::WidePtr(url), static_cast<DWORD>(url.size()), 0, &parts)) {
        return std::nullopt;
    }
    HttpRules::CrackedUrl cracked;
    cracked.https = parts.nScheme == INTERNET_SCHEME_HTTPS;
    cracked.host = FromWide(host, parts.dwHostNameLength);
    cracked.port = parts.nPort;
    cracked.path = FromWide(path, parts.dwUrlPathLength);
    if (cracked.path.empty()) cracked.path = u"/";
    return cracked;
}

void ApplyRequestSettings(HINTERNET request) {
    DWORD disabled = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof disabled);
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP;
    WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
}

void AddHeaders(HINTERNET request, const std::vector<HttpRules::Header>& headers) {
    for (const auto& [name, value] : headers) {
        const std::u16string line = Text::Widen(name + ": " + value);
        WinHttpAddRequestHeaders(request, Win32::WidePtr(line), static_cast<DWORD>(-1),
                                 WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
    }
}

constexpr DWORD kReadBlock = 64 * 1024;

// Reads the body until the server has no more, or until it has passed the bound: then false,
// and the rest is never fetched. Reads are capped at one block, so however much the server
// announces as available, no more than a block beyond the body is held.
bool ReadBody(HINTERNET request, std::string& body) {
    std::vector<char> buffer(kReadBlock);
    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request, &available) || available == 0) return true;
        // One byte past the bound is enough to know the answer is too large.
        const std::size_t room = HttpRules::kMaxResponseBodyBytes - body.size() + 1;
        const auto wanted = static_cast<DWORD>(
            std::min<std::size_t>({static_cast<std::size_t>(available), kReadBlock, room}));
        DWORD read = 0;
        if (!WinHttpReadData(request, buffer.data(), wanted, &read) || read == 0) return true;
        if (!HttpRules::BodyFits(body.size(), read)) return false;
        body.append(buffer.data(), read);
    }
}

}  // namespace

struct HttpClient::Session {
    InternetHandle handle;
};

HttpClient::HttpClient() : session_(std::make_unique<Session>()) {
    const std::u16string agent = Text::Widen(Tenant::UserAgent());
    session_->handle.reset(WinHttpOpen(Win32::WidePtr(agent), WINHTTP_ACCESS_TYPE_NO_PROXY,
                                       WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session_->handle) throw std::runtime_error(std::string(HttpRules::kSessionFailed));
    WinHttpSetTimeouts(session_->handle.get(), static_cast<int>(HttpRules::kResolveTimeoutMs),
                       static_cast<int>(HttpRules::kConnectTimeoutMs),
                       static_cast<int>(HttpRules::kSendTimeoutMs),
                       static_cast<int>(HttpRules::kReceiveTimeoutMs));
}

HttpClient::~HttpClient() = default;

void HttpClient::ForceDirectConnections() {
    WINHTTP_PROXY_INFO proxy{};
    proxy.dwAccessType = WINHTTP_ACCESS_TYPE_NO_PROXY;
    WinHttpSetOption(session_->handle.get(), WINHTTP_OPTION_PROXY, &proxy, sizeof proxy);
}

HttpResponse HttpClient::Send(std::u16string_view method, std::u16string_view url,
                              std::string_view body, std::u16string_view contentType,
                              std::u16string_view trustBase) {
    HttpResponse response;
    const std::u16string urlText(url);
    const auto cracked = Crack(urlText);
    response.error = HttpRules::RefusalBeforeSending(cracked, url);
    if (!response.error.empty()) return response;

    const InternetHandle connection(WinHttpConnect(session_->handle.get(),
                                                   Win32::WidePtr(cracked->host),
                                                   static_cast<INTERNET_PORT>(cracked->port), 0));
    if (!connection) {
        response.error = HttpRules::kConnectFailed;
        return response;
    }
    const std::u16string methodText(method);
    const InternetHandle request(
        WinHttpOpenRequest(connection.get(), Win32::WidePtr(methodText),
                           Win32::WidePtr(cracked->path), nullptr, WINHTTP_NO_REFERER,
                           WINHTTP_DEFAULT_ACCEPT_TYPES, cracked->https ? WINHTTP_FLAG_SECURE : 0));
    if (!request) {
        response.error = HttpRules::kOpenRequestFailed;
        return response;
    }
    ApplyRequestSettings(request.get());
    AddHeaders(request.get(), HttpRules::RequestHeaders(*cracked, url, trustBase, contentType));

    if (body.size() > MAXDWORD) {
        SetLastError(ERROR_INVALID_PARAMETER);
        response.error = StageFailure(HttpRules::kSendFailed);
        return response;
    }
    const auto length = static_cast<DWORD>(body.size());
    void* data = body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(body.data());
    if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, data, length, length,
                            0)) {
        response.error = StageFailure(HttpRules::kSendFailed);
        return response;
    }
    if (!WinHttpReceiveResponse(request.get(), nullptr)) {
        response.error = StageFailure(HttpRules::kReceiveFailed);
        return response;
    }

    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize,
                            WINHTTP_NO_HEADER_INDEX)) {
        response.status = static_cast<std::int32_t>(status);
    }
    if (!ReadBody(request.get(), response.body)) {
        // WinHTTP's own code for a response larger than a limit allows.
        response = HttpResponse{};
        response.error = std::string(HttpRules::kReceiveFailed) +
                         std::to_string(ERROR_WINHTTP_RESPONSE_DRAIN_OVERFLOW);
        return response;
    }
    response.ok = HttpRules::IsSuccessStatus(response.status);
    return response;
}
