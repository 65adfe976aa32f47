// Link decoding against the demo platform: the content-data call, the classification of its
// answer and the YouTube page script. Links are minted by the platform itself (its /_mint
// endpoint), so these tests also prove that the client opens what the platform seals.
#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "common/trace.h"
#include "content/content_url.h"
#include "service/http_client.h"
#include "service/scheme_link.h"
#include "support/demo_platform.h"
#include "support/test_support.h"
#include "tenant_profile.h"

namespace {

using Text::Widen;

std::string QueryValue(std::string_view text) {
    return Text::Utf16ToUtf8(ContentUrl::PercentEncode(Widen(text)));
}

// A link for `content`, sealed by the platform; the domain defaults to the platform's own base.
std::u16string Mint(const TestSupport::DemoPlatform& platform, std::string_view token,
                    std::string_view content, std::string_view domain = {}) {
    std::string url =
        platform.base + "/_mint?token=" + QueryValue(token) + "&content=" + QueryValue(content);
    if (!domain.empty()) url += "&domain=" + QueryValue(domain);
    HttpClient client;
    const HttpResponse response = client.Get(Widen(url), u"");
    EXPECT_TRUE(response.ok) << response.status << " " << response.error;
    std::string link = response.body;
    while (!link.empty() && (link.back() == '\n' || link.back() == '\r'))
        link.pop_back();
    return Widen(link);
}

struct Decoding {
    AppRecord record = MakeDefaultAppRecord();
    std::string error;
    std::string lastTrace;

    bool Run(std::u16string_view link) {
        const Trace::ScopedSink sink([this](std::string_view line) { lastTrace = line; });
        return ParseSchemeArgs(link, error, record);
    }
};

// The page script comes from the tenant's fixed endpoint, which is the demo platform of this run
// only when the fixture got the profile's port; otherwise whoever answers there decides. Either
// way the decoded script must be exactly what that endpoint serves, or stay empty.
std::u16string ScriptServedFor(std::int32_t number) {
    HttpClient client;
    const HttpResponse response =
        client.Get(Widen(Tenant::PageScriptEndpoint() + std::to_string(number)), u"");
    return response.ok ? Text::Utf8ToUtf16(response.body) : std::u16string();
}

bool PageScriptServedBy(const TestSupport::DemoPlatform& platform) {
    return Tenant::PageScriptEndpoint().rfind(platform.base + "/", 0) == 0;
}

}  // namespace

TEST(SchemeLinkPlatform, PdfItemKeepsThePlatformKind) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    Decoding decoding;
    ASSERT_TRUE(decoding.Run(Mint(platform, "tok-pdf", "pdf-1"))) << decoding.error;
    EXPECT_EQ(decoding.error, "unknown_error");
    EXPECT_EQ(decoding.record.baseUrl, Widen(platform.base));
    EXPECT_EQ(decoding.record.contentKind, u"pdf_url");
    EXPECT_EQ(decoding.record.contentUrl, Widen(platform.base + "/content/sample.pdf"));
    EXPECT_EQ(decoding.record.watermarkText, u"learner@example.test");
    EXPECT_EQ(decoding.record.contentNumber, 101);
    EXPECT_EQ(decoding.record.contentScript, u"");
    EXPECT_EQ(decoding.lastTrace, "ParseSchemeArgs succeeded");
}

TEST(SchemeLinkPlatform, VideoAndZoomKindsPlayDirectly) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    Decoding video;
    ASSERT_TRUE(video.Run(Mint(platform, "tok", "video-1"))) << video.error;
    EXPECT_EQ(video.record.contentKind, u"url_direct");
    EXPECT_EQ(video.record.contentUrl, Widen(platform.base + "/content/video.html"));
    EXPECT_EQ(video.record.contentNumber, 102);

    Decoding zoom;
    ASSERT_TRUE(zoom.Run(Mint(platform, "tok", "zoom-1"))) << zoom.error;
    EXPECT_EQ(zoom.record.contentKind, u"url_direct");
    EXPECT_EQ(zoom.record.contentUrl, u"https://zoom.us/j/1234567890?pwd=demo");
    EXPECT_EQ(zoom.record.contentNumber, 105);
    EXPECT_EQ(zoom.record.contentScript, u"");  // only YouTube items fetch a script
}

TEST(SchemeLinkPlatform, ZoomUrlUnderAnotherKindPlaysDirectly) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    Decoding decoding;
    ASSERT_TRUE(decoding.Run(Mint(platform, "tok", "pdf-1", platform.base + "/s/zoom-pdf")))
        << decoding.error;
    EXPECT_EQ(decoding.record.contentKind, u"url_direct");
    EXPECT_TRUE(ContentUrl::IsZoomUrl(decoding.record.contentUrl));
}

TEST(SchemeLinkPlatform, YouTubeItemIsNormalisedAndFetchesItsScript) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    Decoding decoding;
    ASSERT_TRUE(decoding.Run(Mint(platform, "tok", "youtube-1"))) << decoding.error;
    EXPECT_EQ(decoding.record.contentKind, u"url_direct");
    EXPECT_EQ(decoding.record.contentUrl, Widen(Tenant::YouTubeEmbedBase()) +
                                              u"dQw4w9WgXcQ?origin=" +
                                              ContentUrl::PercentEncode(Widen(platform.base)));
    EXPECT_EQ(decoding.record.contentNumber, 104);
    EXPECT_EQ(decoding.record.contentScript, ScriptServedFor(104));
    if (PageScriptServedBy(platform)) {
        EXPECT_EQ(decoding.record.contentScript, u"window.__orbisPageScript = 104;");
    }
}

TEST(SchemeLinkPlatform, AMissingPageScriptLeavesTheScriptAndStillSucceeds) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    if (!PageScriptServedBy(platform)) GTEST_SKIP() << "the page-script endpoint is elsewhere";
    Decoding decoding;
    decoding.record.contentScript = u"kept";
    ASSERT_TRUE(
        decoding.Run(Mint(platform, "tok", "youtube-1", platform.base + "/s/script-missing")))
        << decoding.error;
    EXPECT_EQ(decoding.record.contentNumber, 404);
    EXPECT_TRUE(Text::StartsWith(decoding.record.contentUrl, Widen(Tenant::YouTubeEmbedBase())));
    EXPECT_EQ(decoding.record.contentScript, u"kept");
}

TEST(SchemeLinkPlatform, YouTubeVideoWinsOverAZoomUrl) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    Decoding decoding;
    ASSERT_TRUE(
        decoding.Run(Mint(platform, "tok", "youtube-1", platform.base + "/s/youtube-and-zoom")))
        << decoding.error;
    EXPECT_EQ(decoding.record.contentKind, u"url_direct");
    EXPECT_TRUE(Text::StartsWith(decoding.record.contentUrl, Widen(Tenant::YouTubeEmbedBase())));
    EXPECT_EQ(decoding.record.contentScript, ScriptServedFor(decoding.record.contentNumber));
    if (PageScriptServedBy(platform)) {
        EXPECT_FALSE(decoding.record.contentScript.empty());
    }
}

TEST(SchemeLinkPlatform, ServerMessagesBecomeServerCodes) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    Decoding unknown;
    EXPECT_FALSE(unknown.Run(Mint(platform, "tok", "no-such-item")));
    EXPECT_EQ(unknown.error, "server:This content link is not available.");
    EXPECT_EQ(unknown.lastTrace, "ParseSchemeArgs failed: GetContentData returned empty value");
    // The domain stays replaced although the call failed.
    EXPECT_EQ(unknown.record.baseUrl, Widen(platform.base));

    Decoding revoked;
    EXPECT_FALSE(revoked.Run(Mint(platform, "revoked", "pdf-1")));
    EXPECT_EQ(revoked.error.rfind("server:", 0), 0U);
    EXPECT_NE(revoked.error.find("This link has expired."), std::string::npos) << revoked.error;
}

TEST(SchemeLinkPlatform, CapitalHttpsIsNotADirectLink) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    Decoding decoding;
    EXPECT_FALSE(decoding.Run(Mint(platform, "tok", "HTTPS://media.example.test/x")));
    EXPECT_EQ(decoding.error, "server:This content link is not available.");
}

TEST(SchemeLinkPlatform, ErrorWithoutMessageGivesApiFailure) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    Decoding decoding;
    const std::string domain = platform.base + "/s/html-500";
    EXPECT_FALSE(decoding.Run(Mint(platform, "tok", "pdf-1", domain)));
    EXPECT_EQ(decoding.error, "api_content_data_failed");
    EXPECT_EQ(decoding.record.baseUrl, Widen(domain));
    EXPECT_EQ(decoding.record.contentKind, u"");
}

// An answer past the client's bound is never parsed: it fails like any broken transfer.
TEST(SchemeLinkPlatform, OversizedAnswerFailsAsAReceiveFailure) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    Decoding decoding;
    EXPECT_FALSE(decoding.Run(Mint(platform, "tok", "video-1", platform.base + "/s/oversized")));
    EXPECT_EQ(decoding.error.rfind("server:WinHttpReceiveResponse failed: ", 0), 0U)
        << decoding.error;
}

TEST(SchemeLinkPlatform, TransportFailureTextBecomesTheServerCode) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    Decoding decoding;
    const std::string domain =
        "http://127.0.0.1:" + std::to_string(TestSupport::UnusedLoopbackPort());
    EXPECT_FALSE(decoding.Run(Mint(platform, "tok", "pdf-1", domain)));
    EXPECT_EQ(decoding.error.rfind("server:", 0), 0U) << decoding.error;
    EXPECT_GT(decoding.error.size(), std::string("server:").size());
}
