// The platform's content-data answer and the address rules of the HTTPS client, fed with arbitrary
// bytes: the answer comes from the network, the base address from a scheme link anyone can craft.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text.h"
#include "content/url_rules.h"
#include "service/http_request_rules.h"
#include "service/platform_api.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

void ExerciseAddress(std::u16string_view text) {
    const std::u16string base = NormalizeBaseUrl(text);
    if (!base.empty()) {
        Check(base.back() != u'/' && base.back() != u'\\');
        Check(base.find(u"://") != std::u16string::npos);
    }
    Check(NormalizeBaseUrl(base) == base);

    const auto url = HttpRules::CrackUrl(text);
    if (!url) return;
    Check(!url->host.empty() && url->host.size() <= HttpRules::kMaxHostLength);
    Check(!url->path.empty() && url->path.size() <= HttpRules::kMaxPathLength);
    Check(url->path.front() == u'/');
    Check(url->port >= 1 && url->port <= 65535);
    // Plain HTTP only ever reaches the loopback host, whatever the URL's shape.
    const std::u16string host = Text::ToLowerAscii(url->host);
    if (!url->https && HttpRules::IsSchemeAllowed(*url, text)) {
        Check(host == u"localhost" || host == u"127.0.0.1");
    }
    // Marker headers only go to the host that the trust decision was about.
    const auto headers = HttpRules::RequestHeaders(text, u"https://tenant.example", u"text/plain");
    Check(!headers.empty() && headers.back().first == "Content-Type");
    if (headers.size() > 1) Check(host == UrlRules::ExtractHost(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const auto answer = ParseContentDataAnswer(bytes);
    // Parsing is a pure function of the bytes.
    const auto again = ParseContentDataAnswer(bytes);
    Check(answer.has_value() == again.has_value());
    if (answer) {
        Check(answer->kind == again->kind && answer->url == again->url &&
              answer->videoUrl == again->videoUrl && answer->watermark == again->watermark &&
              answer->number == again->number);
    }

    // The same bytes as UTF-8 (as a link's text arrives) and as raw UTF-16 units (which reach
    // unpaired surrogates and characters the converter never produces).
    ExerciseAddress(Text::Utf8ToUtf16(bytes));
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    ExerciseAddress(units);
    return 0;
}
