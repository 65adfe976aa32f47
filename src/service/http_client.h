#pragma once
// The application's own synchronous HTTPS client: HTTPS only (plain HTTP only to loopback), no
// proxy, no redirects followed, the platform marker headers on platform requests. Failures come
// back in HttpResponse::error, never as exceptions (only construction may throw).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct HttpResponse {
    std::int32_t status = 0;  // 0 when no response was received
    std::string body;         // raw bytes as received
    bool ok = false;          // status 200 to 299
    std::string error;        // empty on a completed exchange, else a fixed failure text
};

class HttpClient {
  public:
    // Opens the session; throws std::runtime_error("WinHttpOpen failed") when it cannot.
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // `trustBase` is the platform base address the request is judged against: requests to the
    // platform's hosts and to its host carry the marker headers.
    HttpResponse Get(std::u16string_view url, std::u16string_view trustBase);
    HttpResponse Post(std::u16string_view url, std::string_view body,
                      std::u16string_view contentType, std::u16string_view trustBase);
    HttpResponse Put(std::u16string_view url, std::string_view body,
                     std::u16string_view contentType, std::u16string_view trustBase);
    HttpResponse Send(std::u16string_view method, std::u16string_view url, std::string_view body,
                      std::u16string_view contentType, std::u16string_view trustBase);

  private:
    friend HttpClient& SharedHttpClient();
    // Sets the session's proxy setting to direct connections once more (the shared client does
    // this on creation, whatever the session was opened with).
    void ForceDirectConnections();

    struct Session;  // the platform's session handle
    std::unique_ptr<Session> session_;
};

// The process-wide client, created on first use.
HttpClient& SharedHttpClient();
