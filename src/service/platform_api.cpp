#include "service/platform_api.h"

#include <nlohmann/json.hpp>

#include "common/json_int32.h"
#include "common/text.h"
#include "service/http_client.h"
#include "tenant_profile.h"

namespace {

using Json = nlohmann::json;

constexpr std::u16string_view kFormContentType = u"application/x-www-form-urlencoded";

Json ParseLeniently(std::string_view text) {
    return Json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
}

// A missing or null field keeps its default; any other non-string value fails the answer.
bool ReadText(const Json& source, const std::string& name, std::string& field) {
    const auto it = source.find(name);
    if (it == source.end() || it->is_null()) return true;
    if (!it->is_string()) return false;
    field = it->get<std::string>();
    return true;
}

bool ReadNumber(const Json& source, const std::string& name, std::int32_t& field) {
    const auto it = source.find(name);
    if (it == source.end() || it->is_null()) return true;
    if (!it->is_number() && !it->is_boolean()) return false;
    field = it->is_boolean() ? (it->get<bool>() ? 1 : 0) : JsonInt32::FromNumber(*it);
    return true;
}

// The "message" text of an error answer; empty when the body is not a JSON object or the member
// is missing or not a string.
std::string ErrorAnswerMessage(std::string_view body) {
    const Json answer = ParseLeniently(body);
    if (!answer.is_object()) return {};
    const auto it = answer.find("message");
    if (it == answer.end() || !it->is_string()) return {};
    return it->get<std::string>();
}

}  // namespace

std::u16string NormalizeBaseUrl(std::u16string_view address) {
    const std::u16string text(Text::TrimTrailingSlashes(address));
    if (text.empty()) return {};
    if (text.size() > 2 && text.find(u"://") != std::u16string::npos) return text;
    return u"https://" + text;
}

std::optional<ContentData> ParseContentDataAnswer(std::string_view body) {
    const Json answer = ParseLeniently(body);
    if (answer.is_discarded()) return std::nullopt;
    // Non-objects have no members: find() gives end() and every field keeps its default.
    const auto member = answer.find(Tenant::ResponseDataMember());
    const Json& source = (member != answer.end() && member->is_object()) ? *member : answer;

    ContentData data;
    if (!ReadText(source, Tenant::ResponseKindField(), data.kind) ||
        !ReadText(source, Tenant::ResponseUrlField(), data.url) ||
        !ReadText(source, Tenant::ResponseVideoUrlField(), data.videoUrl) ||
        !ReadText(source, Tenant::ResponseWatermarkField(), data.watermark) ||
        !ReadNumber(source, Tenant::ResponseNumberField(), data.number)) {
        return std::nullopt;
    }
    return data;
}

std::optional<ContentData> GetContentData(std::u16string_view base,
                                          const std::string& contentLinkId,
                                          const std::string& linkToken,
                                          std::string& serverMessage) {
    try {
        HttpClient& client = SharedHttpClient();
        const std::u16string url =
            NormalizeBaseUrl(base) + Text::Widen(Tenant::ApiContentDataPath());
        // The values go in as they are: the platform reads them without percent-decoding.
        const std::string body = Tenant::FormTokenFragment() + linkToken +
                                 Tenant::FormContentIdFragment() + contentLinkId;
        const HttpResponse response = client.Put(url, body, kFormContentType, base);
        if (response.ok) return ParseContentDataAnswer(response.body);

        std::string message = ErrorAnswerMessage(response.body);
        if (message.empty()) message = response.error;
        if (!message.empty()) serverMessage = std::move(message);
    } catch (...) {
        // The shared client's session failure or memory exhaustion: no content data, and no text
        // beyond what was stored already.
    }
    return std::nullopt;
}
