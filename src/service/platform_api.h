#pragma once
// Calls into the platform's HTTPS API.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct ContentData {
    std::string kind = "video";
    std::string url;
    std::string videoUrl;
    std::string watermark;
    std::int32_t number = 1;
};

// Strips trailing "/" and "\"; adds "https://" unless a scheme is present; empty stays empty.
std::u16string NormalizeBaseUrl(std::u16string_view address);

// PUTs the link's token and id to the content-data endpoint under `base`. On failure returns
// nothing and, when there is a text to give, the server's "message" or the transport error.
std::optional<ContentData> GetContentData(std::u16string_view base,
                                          const std::string& contentLinkId,
                                          const std::string& linkToken, std::string& serverMessage);

// The answer of a 2xx content-data response; nothing when it is not JSON or a field has the
// wrong type. Exposed for the fuzz target.
std::optional<ContentData> ParseContentDataAnswer(std::string_view body);
