#pragma once
// The libcurl client's request over a given libcurl. HttpClient::Send is this over the program's
// own library; a test hands it one that failed to load.
#include <string>
#include <string_view>

#include "service/curl_library_curl.h"
#include "service/http_client.h"

// A library that did not load fails the request with its error text (status 0, no body), after
// the checks that need no network.
HttpResponse SendOverCurl(const CurlLibrary& library, const std::string& userAgent,
                          std::u16string_view method, std::u16string_view url,
                          std::string_view body, std::u16string_view contentType,
                          std::u16string_view trustBase);
