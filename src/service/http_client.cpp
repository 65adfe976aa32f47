#include "service/http_client.h"

HttpResponse HttpClient::Get(std::u16string_view url) {
    return Send(u"GET", url, {}, {});
}

HttpResponse HttpClient::Post(std::u16string_view url, std::string_view body,
                              std::u16string_view contentType) {
    return Send(u"POST", url, body, contentType);
}

HttpResponse HttpClient::Put(std::u16string_view url, std::string_view body,
                             std::u16string_view contentType) {
    return Send(u"PUT", url, body, contentType);
}

HttpClient& SharedHttpClient() {
    // A function-local static gives the thread-safe one-time creation; when the constructor
    // throws, nothing is kept and the next call tries again.
    struct Shared {
        HttpClient client;
        Shared() { client.ForceDirectConnections(); }
    };
    static Shared shared;
    return shared.client;
}
