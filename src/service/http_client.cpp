#include "service/http_client.h"

HttpResponse HttpClient::Get(std::u16string_view url, std::u16string_view trustBase) {
    return Send(u"GET", url, {}, {}, trustBase);
}

HttpResponse HttpClient::Post(std::u16string_view url, std::string_view body,
                              std::u16string_view contentType, std::u16string_view trustBase) {
    return Send(u"POST", url, body, contentType, trustBase);
}

HttpResponse HttpClient::Put(std::u16string_view url, std::string_view body,
                             std::u16string_view contentType, std::u16string_view trustBase) {
    return Send(u"PUT", url, body, contentType, trustBase);
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
