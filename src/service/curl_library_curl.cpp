#include "service/curl_library_curl.h"

CurlLibrary LoadCurlLibrary(std::string_view name) {
    return LoadSharedLibrary<CurlFunctions>(name, [](auto& library, CurlFunctions& functions) {
        library.Bind(functions.global_init, "curl_global_init");
        library.Bind(functions.easy_init, "curl_easy_init");
        library.Bind(functions.easy_setopt, "curl_easy_setopt");
        library.Bind(functions.easy_perform, "curl_easy_perform");
        library.Bind(functions.easy_getinfo, "curl_easy_getinfo");
        library.Bind(functions.easy_cleanup, "curl_easy_cleanup");
        library.Bind(functions.slist_append, "curl_slist_append");
        library.Bind(functions.slist_free_all, "curl_slist_free_all");
    });
}

const CurlLibrary& ProgramCurlLibrary() {
    static const CurlLibrary library = LoadCurlLibrary(ORBIS_LIBCURL_SONAME);
    return library;
}
