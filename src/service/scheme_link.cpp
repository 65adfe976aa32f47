#include "service/scheme_link.h"

#include <array>
#include <exception>
#include <optional>
#include <vector>

#include "common/text.h"
#include "common/trace.h"
#include "content/content_url.h"
#include "service/envelope.h"
#include "service/http_client.h"
#include "service/link_text.h"
#include "service/platform_api.h"
#include "tenant_profile.h"

namespace {

constexpr std::size_t kKeySize = 32;
static_assert(Tenant::kEnvelopeKeyConstant.size() == kKeySize + 2,
              "the key constant is a seed byte, the scrambled key and one filler byte");
constexpr Envelope::TagRule kTagRule =
    Tenant::kEnvelopeTagRequired ? Envelope::TagRule::Required : Envelope::TagRule::Optional;

// The envelope key exists in plain form only while a link is being opened, and is wiped on every
// way out of the decoding, exceptions included.
class EnvelopeKey {
  public:
    EnvelopeKey() {
        const auto& constant = Tenant::kEnvelopeKeyConstant;
        const std::uint8_t seed = constant[0];
        for (std::size_t i = 0; i < kKeySize; ++i) {
            bytes_[i] = static_cast<char>(constant[i + 1] ^ seed ^ static_cast<std::uint8_t>(i));
        }
    }
    ~EnvelopeKey() { Envelope::SecureZero(bytes_.data(), bytes_.size()); }
    EnvelopeKey(const EnvelopeKey&) = delete;
    EnvelopeKey& operator=(const EnvelopeKey&) = delete;
    std::string_view view() const { return {bytes_.data(), bytes_.size()}; }

  private:
    std::array<char, kKeySize> bytes_{};
};

// A text that did not carry the scheme prefix is taken whole as the body.
std::u16string BodyWithoutPrefix(std::u16string_view link) {
    std::u16string body = UrlDecode(link);
    for (auto& c : body) {
        if (c == u' ') c = u'+';
    }
    return std::u16string(Text::TrimLeadingSlashes(Text::TrimTrailingSlashes(body)));
}

// Splits like repeated getline with ':' as delimiter: empty parts in the middle count, a
// trailing ':' adds no empty last part and an empty body has no parts.
std::vector<std::u16string> SplitParts(std::u16string_view body) {
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    while (start < body.size()) {
        const std::size_t colon = body.find(u':', start);
        if (colon == std::u16string_view::npos) {
            parts.emplace_back(body.substr(start));
            break;
        }
        parts.emplace_back(body.substr(start, colon - start));
        start = colon + 1;
    }
    return parts;
}

bool IsDirectLink(std::u16string_view contentLinkId) {
    return Text::StartsWith(contentLinkId, u"http://") ||
           Text::StartsWith(contentLinkId, u"https://");
}

bool IsDirectKind(const std::string& kind) {
    return kind == "video" || kind == "zoom" || kind == "zoom_url";
}

// Items with a YouTube video come with a page script of their own; without it the player still
// works, so a failed request leaves the script as it was.
void FetchPageScript(AppRecord& record) {
    const std::u16string url = Text::Widen(Tenant::PageScriptEndpoint()) +
                               Text::Widen(std::to_string(record.contentNumber));
    HttpClient client;
    const HttpResponse response = client.Get(url, record.baseUrl);
    if (response.ok) record.contentScript = Text::Utf8ToUtf16(response.body);
}

// The answer of the platform becomes the content descriptor.
void ApplyContentData(const ContentData& data, AppRecord& record) {
    const bool direct = IsDirectKind(data.kind) || ContentUrl::IsZoomUrl(Text::Widen(data.url));
    record.contentKind = direct ? u"url_direct" : Text::Widen(data.kind);
    record.watermarkText = Text::Utf8ToUtf16(data.watermark);
    record.contentNumber = data.number;

    const std::u16string videoUrl = Text::Utf8ToUtf16(data.videoUrl);
    if (!ContentUrl::IsYouTubeUrl(videoUrl)) {
        record.contentUrl = Text::Utf8ToUtf16(data.url);
        return;
    }
    record.contentUrl = ContentUrl::NormalizeYouTubeUrl(videoUrl, record.baseUrl);
    record.contentKind = u"url_direct";
    FetchPageScript(record);
}

bool Decode(std::u16string_view link, std::string& errorCode, AppRecord& record) {
    Trace::Write("ParseSchemeArgs called with payload length: " + std::to_string(link.size()));

    bool matched = false;
    std::u16string body = ExtractSchemePayload(
        link, Text::ToLowerAscii(std::u16string_view(record.tenantId)), &matched);
    if (!matched) body = BodyWithoutPrefix(link);

    const std::vector<std::u16string> parts = SplitParts(body);
    if (parts.size() < 3) {
        errorCode = "split_failed_parts_" + std::to_string(parts.size());
        Trace::Write("ParseSchemeArgs failed: less than 3 parts after split");
        return false;
    }

    std::string linkToken;
    std::string contentLinkId;
    std::string domain;
    {
        const EnvelopeKey key;
        linkToken = Envelope::DecryptEnvelope(Text::Utf16ToUtf8(parts[0]), key.view(), kTagRule);
        contentLinkId =
            Envelope::DecryptEnvelope(Text::Utf16ToUtf8(parts[1]), key.view(), kTagRule);
        domain = Envelope::DecryptEnvelope(Text::Utf16ToUtf8(parts[2]), key.view(), kTagRule);
    }
    if (linkToken.empty() || contentLinkId.empty() || domain.empty()) {
        errorCode = "decrypt_failed_empty_strings";
        Trace::Write("ParseSchemeArgs failed: one of the parts decrypted to empty string");
        return false;
    }

    Trace::Write("Decrypted OK. Domain: " + domain);
    // "/" and "\\" are ASCII, so trimming after the conversion is the same as before it.
    record.baseUrl = Text::TrimTrailingSlashes(Text::Utf8ToUtf16(domain));

    const std::u16string contentLink = Text::Utf8ToUtf16(contentLinkId);
    if (IsDirectLink(contentLink)) {
        record.contentUrl = contentLink;
        record.contentKind = u"url_direct";
        record.watermarkText.clear();
        record.contentNumber = 0;
        Trace::Write("ParseSchemeArgs: contentLinkId is a direct URL. Skipping GetContentData.");
    } else {
        std::string serverMessage;
        const std::optional<ContentData> data =
            GetContentData(record.baseUrl, contentLinkId, linkToken, serverMessage);
        if (!data) {
            errorCode =
                serverMessage.empty() ? "api_content_data_failed" : "server:" + serverMessage;
            Trace::Write("ParseSchemeArgs failed: GetContentData returned empty value");
            return false;
        }
        ApplyContentData(*data, record);
    }

    Trace::Write("ParseSchemeArgs succeeded");
    return true;
}

// The report of a failure must not itself become a way out of the decoder.
void TraceQuietly(const std::string& line) noexcept {
    try {
        Trace::Write(line);
    } catch (...) {
    }
}

}  // namespace

bool ParseSchemeArgs(std::u16string_view link, std::string& errorCode, AppRecord& record) {
    errorCode = "unknown_error";
    try {
        return Decode(link, errorCode, record);
    } catch (const std::exception& e) {
        errorCode = std::string("exception_") + e.what();
        TraceQuietly(std::string("ParseSchemeArgs exception: ") + e.what());
    } catch (...) {
        errorCode = "unknown_exception";
        TraceQuietly("ParseSchemeArgs unknown exception");
    }
    return false;
}
