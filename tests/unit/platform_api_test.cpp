#include "service/platform_api.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "support/test_support.h"
#include "tenant_profile.h"

namespace {

using Json = nlohmann::json;

std::u16string U(std::string_view utf8) {
    return Text::Widen(utf8);
}

// The five fields under the tenant's names.
Json Fields(const Json& kind, const Json& url, const Json& videoUrl, const Json& watermark,
            const Json& number) {
    return {{Tenant::ResponseKindField(), kind},
            {Tenant::ResponseUrlField(), url},
            {Tenant::ResponseVideoUrlField(), videoUrl},
            {Tenant::ResponseWatermarkField(), watermark},
            {Tenant::ResponseNumberField(), number}};
}

Json Wrapped(const Json& fields) {
    return {{Tenant::ResponseDataMember(), fields}};
}

std::optional<ContentData> Parse(const Json& answer) {
    return ParseContentDataAnswer(answer.dump());
}

// One field of an otherwise empty data member.
std::optional<ContentData> ParseField(const std::string& name, const Json& value) {
    return Parse(Wrapped({{name, value}}));
}

void ExpectDefaults(const std::optional<ContentData>& data) {
    ASSERT_TRUE(data);
    EXPECT_EQ(data->kind, "video");
    EXPECT_EQ(data->url, "");
    EXPECT_EQ(data->videoUrl, "");
    EXPECT_EQ(data->watermark, "");
    EXPECT_EQ(data->number, 1);
}

// ---------------------------------------------------------------------------------------------
// Base address

TEST(NormalizeBaseUrl, BareHostGetsHttpsAfterTrailingSlashesGo) {
    EXPECT_EQ(NormalizeBaseUrl(u"tenant.example"), u"https://tenant.example");
    EXPECT_EQ(NormalizeBaseUrl(u"tenant.example/"), u"https://tenant.example");
    EXPECT_EQ(NormalizeBaseUrl(u"tenant.example/\\//"), u"https://tenant.example");
    EXPECT_EQ(NormalizeBaseUrl(u"127.0.0.1:47810"), u"https://127.0.0.1:47810");
}

TEST(NormalizeBaseUrl, PresentSchemeStaysAndOnlyTrailingSlashesGo) {
    EXPECT_EQ(NormalizeBaseUrl(u"https://tenant.example///"), u"https://tenant.example");
    EXPECT_EQ(NormalizeBaseUrl(u"http://127.0.0.1:47810/"), u"http://127.0.0.1:47810");
    EXPECT_EQ(NormalizeBaseUrl(u"HTTPS://Tenant.Example/base/\\"), u"HTTPS://Tenant.Example/base");
    EXPECT_EQ(NormalizeBaseUrl(u"x://y"), u"x://y");
    EXPECT_EQ(NormalizeBaseUrl(u"tenant.example/a//b"), u"https://tenant.example/a//b");
}

TEST(NormalizeBaseUrl, NothingLeftGivesEmpty) {
    EXPECT_EQ(NormalizeBaseUrl(u""), u"");
    EXPECT_EQ(NormalizeBaseUrl(u"/"), u"");
    EXPECT_EQ(NormalizeBaseUrl(u"\\/\\"), u"");
}

TEST(NormalizeBaseUrl, SchemeTestNeedsMoreThanTwoCharactersAfterStripping) {
    EXPECT_EQ(NormalizeBaseUrl(u"ab"), u"https://ab");
    // "://" loses its slashes first, and ":" alone has no scheme separator left.
    EXPECT_EQ(NormalizeBaseUrl(u"://"), u"https://:");
}

// ---------------------------------------------------------------------------------------------
// Answer parsing

TEST(ContentDataAnswer, ReadsTheDataMemberWhenItIsAnObject) {
    Json answer = Wrapped(Fields("pdf_url", "https://cdn.example/a.pdf", "https://v.example/1",
                                 "learner@example.test", 101));
    answer[Tenant::ResponseKindField()] = "ignored_top_level";
    const auto data = Parse(answer);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->kind, "pdf_url");
    EXPECT_EQ(data->url, "https://cdn.example/a.pdf");
    EXPECT_EQ(data->videoUrl, "https://v.example/1");
    EXPECT_EQ(data->watermark, "learner@example.test");
    EXPECT_EQ(data->number, 101);
}

TEST(ContentDataAnswer, FallsBackToTheTopLevelWithoutAnObjectDataMember) {
    const Json fields = Fields("zoom", "https://zoom.us/j/1", nullptr, "w", 5);
    std::vector<Json> answers{fields};
    for (const Json& data : {Json(), Json("text"), Json::array({1}), Json(3)}) {
        answers.push_back(fields);
        answers.back()[Tenant::ResponseDataMember()] = data;
    }
    for (const Json& answer : answers) {
        const auto parsed = Parse(answer);
        ASSERT_TRUE(parsed) << answer.dump();
        EXPECT_EQ(parsed->kind, "zoom");
        EXPECT_EQ(parsed->number, 5);
    }
}

TEST(ContentDataAnswer, EmptyObjectAndNonObjectsGiveAllDefaults) {
    ExpectDefaults(ParseContentDataAnswer("{}"));
    ExpectDefaults(ParseContentDataAnswer(Wrapped(Json::object()).dump()));
    for (const char* answer : {"[]", "[{\"type\":\"pdf_url\"}]", "null", "\"text\"", "5", "true"}) {
        ExpectDefaults(ParseContentDataAnswer(answer));
    }
}

TEST(ContentDataAnswer, NullFieldsKeepTheirDefaults) {
    ExpectDefaults(Parse(Wrapped(Fields(nullptr, nullptr, nullptr, nullptr, nullptr))));
    const auto data = ParseField(Tenant::ResponseWatermarkField(), nullptr);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->watermark, "");
}

TEST(ContentDataAnswer, FieldOfTheWrongTypeFailsTheWholeAnswer) {
    for (const std::string& name :
         {Tenant::ResponseKindField(), Tenant::ResponseUrlField(), Tenant::ResponseVideoUrlField(),
          Tenant::ResponseWatermarkField()}) {
        for (const Json& value : {Json(42), Json(true), Json::array(), Json::object(), Json(1.5)}) {
            EXPECT_FALSE(ParseField(name, value)) << name << "=" << value.dump();
        }
    }
    for (const Json& value : {Json("5"), Json::array({5}), Json::object()}) {
        EXPECT_FALSE(ParseField(Tenant::ResponseNumberField(), value)) << value.dump();
    }
}

TEST(ContentDataAnswer, NumberTakesIntegersBooleansAndTruncatedFloats) {
    const auto number = [](const std::string& text) -> std::optional<std::int32_t> {
        const auto data =
            ParseContentDataAnswer("{\"" + Tenant::ResponseNumberField() + "\":" + text + "}");
        if (!data) return std::nullopt;
        return data->number;
    };
    EXPECT_EQ(number("-7"), -7);
    EXPECT_EQ(number("7.9"), 7);
    EXPECT_EQ(number("-7.9"), -7);
    EXPECT_EQ(number("1e3"), 1000);
    EXPECT_EQ(number("true"), 1);
    EXPECT_EQ(number("false"), 0);
    EXPECT_EQ(number("2147483647"), INT32_MAX);
    EXPECT_EQ(number("-2147483648"), INT32_MIN);
    EXPECT_EQ(number("2147483647.9"), INT32_MAX);
    EXPECT_EQ(number("-2147483648.9"), INT32_MIN);
    // Wider integers keep their low 32 bits; floats beyond the range give INT32_MIN.
    EXPECT_EQ(number("4294967297"), 1);
    EXPECT_EQ(number("18446744073709551615"), -1);
    EXPECT_EQ(number("-4294967295"), 1);
    EXPECT_EQ(number("2147483648.0"), INT32_MIN);
    EXPECT_EQ(number("1e300"), INT32_MIN);
    EXPECT_EQ(number("-1e300"), INT32_MIN);
    EXPECT_EQ(number("1e999999"), std::nullopt);  // not a JSON number nlohmann accepts
}

TEST(ContentDataAnswer, TextThatIsNotJsonGivesNothing) {
    for (const char* body : {"", "not json", "{", "{\"data\":", "<html></html>", "{} trailing"}) {
        EXPECT_FALSE(ParseContentDataAnswer(body)) << body;
    }
}

TEST(ContentDataAnswer, TextFieldsKeepTheirUtf8) {
    const auto data = ParseContentDataAnswer("{\"" + Tenant::ResponseWatermarkField() +
                                             "\":\"\\u0645 \xD8\xB9 \\\"q\\\"\"}");
    ASSERT_TRUE(data);
    EXPECT_EQ(data->watermark, "\xD9\x85 \xD8\xB9 \"q\"");
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

    ExpectDefaults(Call(Scenario(platform, "empty-object"), "pdf-1").data);
    ExpectDefaults(Call(Scenario(platform, "array"), "pdf-1").data);

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
