// The content-data call against the demo platform: the form it sends, the answers it accepts
// and the message each failure leaves.
#include "service/platform_api.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "common/text.h"
#include "support/demo_platform.h"
#include "support/test_support.h"
#include "tenant_profile.h"

namespace {

using Json = nlohmann::json;

std::u16string U(std::string_view utf8) {
    return Text::Widen(utf8);
}

// ---------------------------------------------------------------------------------------------
// Against the demo platform

struct CallResult {
    std::optional<ContentData> data;
    std::string message = "untouched";
};

CallResult Call(const std::string& base, const std::string& id,
                const std::string& token = "demo-token") {
    CallResult result;
    result.data = GetContentData(U(base), id, token, result.message);
    return result;
}

std::string Scenario(const TestSupport::DemoPlatform& platform, const std::string& name) {
    return platform.base + "/s/" + name;
}

// The platform's empty answers give the same record as an empty answer read without a network
// (its defaults are pinned by the pure tests).
void ExpectTheEmptyAnswersRecord(const std::optional<ContentData>& data) {
    const auto empty = ParseContentDataAnswer("{}");
    ASSERT_TRUE(data);
    ASSERT_TRUE(empty);
    EXPECT_EQ(std::tie(data->kind, data->url, data->videoUrl, data->watermark, data->number),
              std::tie(empty->kind, empty->url, empty->videoUrl, empty->watermark, empty->number));
}

// The logged request whose body is exactly `body`, or null.
Json LoggedRequestWithBody(const TestSupport::DemoPlatform& platform, const std::string& body) {
    std::istringstream lines(TestSupport::ReadFile(platform.logPath));
    for (std::string line; std::getline(lines, line);) {
        Json entry = Json::parse(line, nullptr, false);
        if (entry.is_object() && entry.value("body", "") == body) return entry;
    }
    return nullptr;
}

TEST(GetContentData, ReadsTheCatalogueRecordAndLeavesTheMessageAlone) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    for (const std::string& base : {platform.base, platform.base + "/"}) {
        const auto result = Call(base, "pdf-1");
        ASSERT_TRUE(result.data) << result.message;
        EXPECT_EQ(result.data->kind, "pdf_url");
        EXPECT_EQ(result.data->url, platform.base + "/content/sample.pdf");
        EXPECT_EQ(result.data->videoUrl, "");
        EXPECT_EQ(result.data->watermark, "learner@example.test");
        EXPECT_EQ(result.data->number, 101);
        EXPECT_EQ(result.message, "untouched");
    }
}

TEST(GetContentData, SendsTheFormUnescapedAsAFormPut) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    const std::string token =
        "t&k=v=" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    const auto result = Call(platform.base, "youtube-1", token);
    ASSERT_TRUE(result.data) << result.message;
    EXPECT_EQ(result.data->number, 104);

    const Json entry =
        LoggedRequestWithBody(platform, Tenant::FormTokenFragment() + token +
                                            Tenant::FormContentIdFragment() + "youtube-1");
    ASSERT_TRUE(entry.is_object()) << "the request body was not sent byte for byte";
    EXPECT_EQ(entry["method"], "PUT");
    EXPECT_EQ(entry["path"], Tenant::ApiContentDataPath());
    EXPECT_EQ(entry["headers"].value("content-type", ""), "application/x-www-form-urlencoded");
    EXPECT_EQ(entry["headers"].value(Text::ToLowerAscii(Tenant::PlatformMarkerHeader1Name()), ""),
              Tenant::PlatformMarkerHeader1Value());
}

TEST(GetContentData, IdWithSeparatorsIsSentUnescaped) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    const std::string id =
        "pdf-1&x=" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    const auto result = Call(platform.base, id);
    EXPECT_FALSE(result.data);
    EXPECT_EQ(result.message, "This content link is not available.");
    EXPECT_TRUE(LoggedRequestWithBody(platform, Tenant::FormTokenFragment() + "demo-token" +
                                                    Tenant::FormContentIdFragment() + id)
                    .is_object());
}

TEST(GetContentData, AnswerShapes) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    const auto flat = Call(Scenario(platform, "flat"), "pdf-1");
    ASSERT_TRUE(flat.data);
    EXPECT_EQ(flat.data->kind, "pdf_url");
    EXPECT_EQ(flat.data->number, 101);

    ExpectTheEmptyAnswersRecord(Call(Scenario(platform, "empty-object"), "pdf-1").data);
    ExpectTheEmptyAnswersRecord(Call(Scenario(platform, "array"), "pdf-1").data);

    const auto nullWatermark = Call(Scenario(platform, "null-watermark"), "pdf-1");
    ASSERT_TRUE(nullWatermark.data);
    EXPECT_EQ(nullWatermark.data->watermark, "");
    EXPECT_EQ(nullWatermark.data->kind, "pdf_url");

    EXPECT_EQ(Call(Scenario(platform, "float-number"), "pdf-1").data->number, 7);
    EXPECT_EQ(Call(Scenario(platform, "bool-number"), "pdf-1").data->number, 1);
    EXPECT_EQ(Call(Scenario(platform, "negative-number"), "pdf-1").data->number, -7);
}

TEST(GetContentData, FailedAnswersWithoutTextLeaveNoMessage) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    for (const char* scenario :
         {"number-watermark", "not-json", "html-500", "message-nonstring", "redirect"}) {
        const auto result = Call(Scenario(platform, scenario), "pdf-1");
        EXPECT_FALSE(result.data) << scenario;
        EXPECT_EQ(result.message, "untouched") << scenario;
    }
}

TEST(GetContentData, ErrorAnswerMessageBecomesTheServerMessage) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    const auto forbidden = Call(Scenario(platform, "message-403"), "pdf-1");
    EXPECT_FALSE(forbidden.data);
    EXPECT_FALSE(forbidden.message.empty());
    EXPECT_NE(forbidden.message, "untouched");

    const auto unknown = Call(platform.base, "no-such-item");
    EXPECT_FALSE(unknown.data);
    EXPECT_EQ(unknown.message, "This content link is not available.");

    // Arabic first, then English, as the platform wrote it.
    const auto revoked = Call(platform.base, "pdf-1", "revoked");
    EXPECT_FALSE(revoked.data);
    EXPECT_EQ(revoked.message.rfind("\xD8\xA7\xD9\x86", 0), 0u) << revoked.message;
    EXPECT_NE(revoked.message.find("This link has expired."), std::string::npos);
}

TEST(GetContentData, TransportFailureTextBecomesTheServerMessage) {
    const int port = TestSupport::UnusedLoopbackPort();
    const auto unreachable = Call("http://127.0.0.1:" + std::to_string(port), "pdf-1");
    EXPECT_FALSE(unreachable.data);
    EXPECT_EQ(unreachable.message.rfind("WinHttpSendRequest failed: ", 0), 0u)
        << unreachable.message;

    const auto insecure = Call("http://tenant.example", "pdf-1");
    EXPECT_FALSE(insecure.data);
    EXPECT_EQ(insecure.message, "HTTPS required");
}

}  // namespace
