#pragma once
// What happens to one request a view makes: answered by the host itself (refused plain HTTP to a
// trusted host, hidden service-worker scripts) or passed on, possibly with headers added by the
// window it comes from. Runs for every request of every page, so the plain pass costs no
// allocation of its own.
#include <string>
#include <string_view>
#include <vector>

#include "common/run_mode.h"

struct RequestHeader {
    std::u16string name;
    std::u16string value;
};

struct RequestDecision {
    enum class Kind {
        Pass,
        HttpsRequired,  // answered 403 "HTTPS required"
        NotFound,       // answered 404 "Not Found"
    } kind = Kind::Pass;
    std::vector<RequestHeader> headers;  // set on the request when it passes, in this order
};

// Status code and reason phrase of a host answer; 0 and empty for Pass.
int StatusOf(RequestDecision::Kind kind);
std::u16string_view ReasonOf(RequestDecision::Kind kind);

// `window` names the window whose view made the request; `baseUrl` is read anew per request.
RequestDecision DecideRequest(std::u16string_view uri, RunMode window, std::u16string_view baseUrl);
