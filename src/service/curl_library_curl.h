#pragma once
// The libcurl functions the HTTPS client calls, taken from the library when the first request is
// made (see common/shared_library_posix.h for why it is not linked). Typed from libcurl's own
// declarations, so a call through the table is checked as a direct call would be.
#include <curl/curl.h>

#include <string_view>

#include "common/shared_library_posix.h"

struct CurlFunctions {
    decltype(&curl_global_init) global_init = nullptr;
    decltype(&curl_easy_init) easy_init = nullptr;
    decltype(&curl_easy_setopt) easy_setopt = nullptr;
    decltype(&curl_easy_perform) easy_perform = nullptr;
    decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
    decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&curl_slist_append) slist_append = nullptr;
    decltype(&curl_slist_free_all) slist_free_all = nullptr;
};

// Its error is what a request reports when the library is not there.
using CurlLibrary = LoadedLibrary<CurlFunctions>;

CurlLibrary LoadCurlLibrary(std::string_view name);

// The program's libcurl (ORBIS_LIBCURL_SONAME), loaded once by the first caller of any thread.
const CurlLibrary& ProgramCurlLibrary();
