// Link texts from the command line: percent-decoding, the scheme prefix and the whole link
// decoding up to the point where all three envelopes are open. A fuzzer that splices sealed seed
// envelopes (or strips a tag and hits a valid padding) could otherwise get a link through to the
// platform call, so the trace line written just before it stops the decoding: no input can
// reach the network. Every input must end with false and an error code, never escape.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/app_record.h"
#include "common/text.h"
#include "common/trace.h"
#include "service/link_text.h"
#include "service/scheme_link.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

constexpr const char* kStop = "fuzz: all three envelopes opened";

void StopBeforeThePlatformCall() {
    static const bool installed = [] {
        Trace::SetSink([](std::string_view line) {
            if (line.starts_with("Decrypted OK. Domain: ")) throw std::runtime_error(kStop);
        });
        return true;
    }();
    (void)installed;
}

// Half the inputs as UTF-8, half as raw UTF-16 units (unpaired surrogates included).
std::u16string LinkText(const std::uint8_t* data, std::size_t size) {
    if (data[0] & 1U) {
        std::u16string text;
        for (std::size_t i = 1; i + 1 < size; i += 2) {
            text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
        }
        return text;
    }
    return Text::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    StopBeforeThePlatformCall();
    std::u16string text = LinkText(data, size);
    // Most interesting inputs carry the prefix; let the fuzzer skip finding it.
    if (data[0] & 2U) text = u"orbiscampus://" + text;

    UrlDecode(text);
    bool matched = false;
    const std::u16string payload = ExtractSchemePayload(text, u"orbiscampus", &matched);
    Check(matched || payload.empty());
    Check(IsSchemeLink(text, u"orbiscampus") == !payload.empty());

    AppRecord record = MakeDefaultAppRecord();
    std::string error;
    Check(!ParseSchemeArgs(text, error, record));
    Check(error != "unknown_error" && error != "unknown_exception");
    // Nothing is written before the domain, and the decoding stops before it.
    Check(record.baseUrl == MakeDefaultAppRecord().baseUrl);
    Check(record.contentKind.empty());
    return 0;
}
