#include "service/platform_api.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "common/text.h"
#include "tenant_profile.h"

namespace {

using Json = nlohmann::json;

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

}  // namespace
