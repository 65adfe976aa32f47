// Reads one JSON object per line on stdin, {"url", "base", "content", "kind"}, and prints one
// JSON object per line with what the product makes of the URL: the host its browser reading
// gives, the player's verdict, the host's own navigation, the init window's trust and the
// request decision of each window. The differential layer compares these with a WHATWG parser.
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "common/app_record.h"
#include "common/run_mode.h"
#include "common/text.h"
#include "content/browser_url.h"
#include "content/navigation_policy.h"
#include "content/request_filter.h"
#include "content/url_rules.h"

namespace {

const char* StatusName(BrowserUrl::HostStatus status) {
    switch (status) {
        case BrowserUrl::HostStatus::Read:
            return "read";
        case BrowserUrl::HostStatus::Unreadable:
            return "unreadable";
        case BrowserUrl::HostStatus::Rejected:
            break;
    }
    return "rejected";
}

std::string DecisionName(const RequestDecision& decision) {
    if (decision.kind != RequestDecision::Kind::Pass)
        return std::to_string(StatusOf(decision.kind));
    return decision.headers.empty() ? "pass" : "pass+headers";
}

nlohmann::json Verdicts(const nlohmann::json& input) {
    const auto field = [&input](const char* name) {
        return Text::Widen(input.value(name, std::string()));
    };
    AppRecord record;
    record.baseUrl = field("base");
    record.contentUrl = field("content");
    record.contentKind = field("kind");
    const std::u16string url = field("url");

    const BrowserUrl::Reading reading = BrowserUrl::Read(url);
    return {
        {"status", StatusName(reading.status)},
        {"host", Text::Utf16ToUtf8(reading.LowerHost())},
        {"punycode", reading.hasPunycodeLabel},
        {"strictHost", Text::Utf16ToUtf8(UrlRules::ExtractHost(url))},
        {"player", IsPlayerNavigationAllowed(url, record)},
        {"navigate", MayNavigate(url, record.baseUrl)},
        {"trusted", UrlRules::IsTrustedUrl(url, record.baseUrl)},
        {"playerRequest", DecisionName(DecideRequest(url, RunMode::Player, record.baseUrl))},
        {"initRequest", DecisionName(DecideRequest(url, RunMode::Init, record.baseUrl))},
    };
}

}  // namespace

int main() {
    std::ios::sync_with_stdio(false);
    for (std::string line; std::getline(std::cin, line);) {
        const nlohmann::json input = nlohmann::json::parse(line, nullptr, false);
        if (input.is_discarded() || !input.is_object()) {
            std::cout << R"({"error":"unreadable input line"})" << '\n';
            continue;
        }
        std::cout << Verdicts(input).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
                  << '\n';
    }
    return 0;
}
