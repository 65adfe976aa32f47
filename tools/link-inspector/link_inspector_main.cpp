// Link inspector for support staff: decodes a link of the application's scheme exactly as player
// start-up does, platform call included, and shows every step.
//
//   orbis-link-inspector LINK
//
// Prints the trace lines, then one JSON line: the content descriptor, or the error code.
// Exit status 0 when the link decoded, 1 when it did not, 2 on wrong usage.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "common/app_record.h"
#include "common/text.h"
#include "common/trace.h"
#include "service/link_text.h"
#include "service/scheme_link.h"
#include "tenant_profile.h"

namespace {

std::string Utf8(const std::u16string& text) {
    return Text::Utf16ToUtf8(text);
}

nlohmann::json DescribeDecodedLink(const AppRecord& record) {
    return {
        {"ok", true},
        {"baseUrl", Utf8(record.baseUrl)},
        {"contentUrl", Utf8(record.contentUrl)},
        {"watermarkText", Utf8(record.watermarkText)},
        {"contentKind", Utf8(record.contentKind)},
        {"contentNumber", record.contentNumber},
        {"contentScript", Utf8(record.contentScript)},
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]) == "--help") {
        std::cerr << "usage: orbis-link-inspector LINK\n"
                     "Decodes a link the way the player does and prints the trace and the result "
                     "as JSON.\n";
        return 2;
    }
    const std::u16string link = Text::Utf8ToUtf16(argv[1]);

    Trace::ScopedSink sink([](std::string_view line) { std::cout << "trace: " << line << '\n'; });
    const bool player = IsSchemeLink(link, App().tenantId);
    std::cout << "trace: run mode " << (player ? "player" : "init (not a player link)") << '\n';
    // Support staff must be able to tell a refused untagged link from a damaged one.
    std::cout << "trace: "
              << (Tenant::kEnvelopeTagRequired
                      ? "this build's tenant profile requires the envelope tag (untagged parts "
                        "are refused as tampered)"
                      : "this build's tenant profile accepts untagged envelopes")
              << '\n';

    std::string errorCode;
    AppRecord& record = App();
    const bool decoded = ParseSchemeArgs(link, errorCode, record);
    nlohmann::json result =
        decoded ? DescribeDecodedLink(record) : nlohmann::json{{"ok", false}, {"error", errorCode}};
    // Invalid UTF-8 from a server must not abort the report: replace it.
    std::cout << result.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
    return decoded ? 0 : 1;
}
