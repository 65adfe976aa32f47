// Link decoding that never reaches the network: split failures, envelopes that do not open, and
// direct links (which skip the platform call).
#include "service/scheme_link.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "common/trace.h"
#include "unit/scheme_link_vectors.h"

namespace {

using Text::Widen;

constexpr const char* kMacFailure = "exception_MAC verification failed — data may be tampered";
constexpr const char* kParseFailure = "exception_Failed to parse AES envelope JSON";

// Runs one decoding on a record of its own and keeps the trace lines it wrote.
struct Decoding {
    AppRecord record = MakeDefaultAppRecord();
    std::string error;
    std::vector<std::string> trace;

    bool Run(std::u16string_view link) {
        const Trace::ScopedSink sink([this](std::string_view line) { trace.emplace_back(line); });
        return ParseSchemeArgs(link, error, record);
    }
};

std::u16string Replace(std::u16string text, char16_t from, std::u16string_view to) {
    std::u16string out;
    for (const char16_t c : text) {
        if (c == from) {
            out += to;
        } else {
            out += c;
        }
    }
    return out;
}

// Everything outside the base64 alphabet and ':' as percent escapes, and ':' too.
std::u16string PercentEncodeBody(std::u16string_view body) {
    std::u16string out;
    for (const char16_t c : body) {
        switch (c) {
            case u':':
                out += u"%3A";
                break;
            case u'+':
                out += u"%2B";
                break;
            case u'/':
                out += u"%2f";
                break;
            case u'=':
                out += u"%3D";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

TEST(SchemeLinkSplit, FewerThanThreePartsAreCounted) {
    const std::vector<std::pair<std::u16string, std::string>> cases = {
        {u"orbiscampus://", "split_failed_parts_0"},
        {u"orbiscampus:/\\//", "split_failed_parts_0"},
        {u"", "split_failed_parts_0"},
        {u"orbiscampus://abc", "split_failed_parts_1"},
        {u"orbiscampus://a:b", "split_failed_parts_2"},
        {u"orbiscampus://a:b:", "split_failed_parts_2"},  // a trailing ':' adds no part
        {u"garbage", "split_failed_parts_1"},             // no prefix: the whole text is the body
        {u"::", "split_failed_parts_2"},
        {u":", "split_failed_parts_1"},
        // A character before the scheme name: not a prefix, so "x+orbiscampus" and "//a".
        {u"x orbiscampus://a", "split_failed_parts_2"},
    };
    for (const auto& [link, code] : cases) {
        Decoding decoding;
        EXPECT_FALSE(decoding.Run(link));
        EXPECT_EQ(decoding.error, code) << Text::Utf16ToUtf8(link);
        EXPECT_EQ(decoding.record.baseUrl, MakeDefaultAppRecord().baseUrl);
    }
}

TEST(SchemeLinkSplit, TracesTheLengthAndTheFailure) {
    Decoding decoding;
    EXPECT_FALSE(decoding.Run(u"orbiscampus://a:b"));
    EXPECT_EQ(decoding.trace,
              (std::vector<std::string>{"ParseSchemeArgs called with payload length: 17",
                                        "ParseSchemeArgs failed: less than 3 parts after split"}));
}

TEST(SchemeLinkEnvelopes, UnopenablePartsGiveExceptionCodes) {
    Decoding garbage;
    EXPECT_FALSE(garbage.Run(u"orbiscampus://a:b:c"));
    EXPECT_EQ(garbage.error, kParseFailure);
    ASSERT_EQ(garbage.trace.size(), 2U);
    EXPECT_EQ(garbage.trace[1], "ParseSchemeArgs exception: Failed to parse AES envelope JSON");

    // Envelopes whose JSON is an array: the library's own type error text is passed on.
    Decoding array;
    EXPECT_FALSE(array.Run(u"orbiscampus://WyJpdiIsInZhbHVlIl0=:WyJpdiIsInZhbHVlIl0=:x"));
    EXPECT_EQ(array.error.rfind("exception_[json.exception.type_error.", 0), 0U) << array.error;
    EXPECT_EQ(array.record.baseUrl, MakeDefaultAppRecord().baseUrl);
}

class SchemeLinkDirect : public ::testing::Test {
  protected:
    void SetUp() override {
        parts_ = LinkVectors::ForThisBuild();
        if (parts_ == nullptr) GTEST_SKIP() << "no minted links for " << Tenant::kProfileName;
    }

    std::u16string Body(const char* token, const char* contentId, const char* domain) const {
        return Widen(token) + u":" + Widen(contentId) + u":" + Widen(domain);
    }
    std::u16string DirectBody() const {
        return Body(parts_->token, parts_->directHttps, parts_->domain);
    }

    // The descriptor of the minted direct link, on a record that had other content before.
    static void ExpectDirectDescriptor(const Decoding& decoding) {
        EXPECT_EQ(decoding.error, "unknown_error");
        EXPECT_EQ(decoding.record.baseUrl, u"https://zelvan.test/learn");
        EXPECT_EQ(decoding.record.contentUrl, u"https://media.example.test/watch?v=1&x=2");
        EXPECT_EQ(decoding.record.contentKind, u"url_direct");
        EXPECT_EQ(decoding.record.watermarkText, u"");
        EXPECT_EQ(decoding.record.contentNumber, 0);
    }

    static Decoding WithPreviousContent() {
        Decoding decoding;
        decoding.record.contentUrl = u"https://old.example.test/";
        decoding.record.contentKind = u"pdf_url";
        decoding.record.watermarkText = u"old mark";
        decoding.record.contentNumber = 9;
        decoding.record.contentScript = u"keep();";
        return decoding;
    }

    const LinkVectors::Parts* parts_ = nullptr;
};

TEST_F(SchemeLinkDirect, DirectLinkFillsDescriptorAndKeepsScript) {
    Decoding decoding = WithPreviousContent();
    const std::u16string link = u"orbiscampus://" + DirectBody();
    ASSERT_TRUE(decoding.Run(link)) << decoding.error;
    ExpectDirectDescriptor(decoding);
    EXPECT_EQ(decoding.record.contentScript, u"keep();");
    EXPECT_EQ(decoding.trace,
              (std::vector<std::string>{
                  "ParseSchemeArgs called with payload length: " + std::to_string(link.size()),
                  "Decrypted OK. Domain: https://zelvan.test/learn/\\/",
                  "ParseSchemeArgs: contentLinkId is a direct URL. Skipping GetContentData.",
                  "ParseSchemeArgs succeeded"}));
}

TEST_F(SchemeLinkDirect, SchemeNameIgnoresCaseSpacesAndSlashes) {
    for (const std::u16string prefix :
         {u"ORBISCAMPUS://", u"  OrbisCampus:", u"orbiscampus:\\\\//", u"\"orbiscampus://"}) {
        Decoding decoding;
        EXPECT_TRUE(decoding.Run(prefix + DirectBody() + u"/")) << Text::Utf16ToUtf8(prefix);
        ExpectDirectDescriptor(decoding);
    }
}

TEST_F(SchemeLinkDirect, PlainHttpIsDirect) {
    Decoding decoding;
    ASSERT_TRUE(
        decoding.Run(u"orbiscampus://" + Body(parts_->token, parts_->directHttp, parts_->domain)))
        << decoding.error;
    EXPECT_EQ(decoding.record.contentUrl, u"http://media.example.test/plain");
}

// The build's tenant profile decides; both shipped profiles require the tag.
TEST_F(SchemeLinkDirect, TaglessPartFollowsTheProfilesTagSetting) {
    Decoding decoding = WithPreviousContent();
    const bool opened = decoding.Run(u"orbiscampus://" +
                                     Body(parts_->token, parts_->directHttp, parts_->noMacDomain));
    if (Tenant::kEnvelopeTagRequired) {
        EXPECT_FALSE(opened);
        EXPECT_EQ(decoding.error, kMacFailure);
        EXPECT_EQ(decoding.trace.back(),
                  "ParseSchemeArgs exception: MAC verification failed — data may be tampered");
        EXPECT_EQ(decoding.record.baseUrl, MakeDefaultAppRecord().baseUrl);
        EXPECT_EQ(decoding.record.contentUrl, u"https://old.example.test/");
    } else {
        ASSERT_TRUE(opened) << decoding.error;
        EXPECT_EQ(decoding.record.baseUrl, u"zelvan.example");  // stored as given, not normalised
    }
}

TEST_F(SchemeLinkDirect, PlusSignsTurnedIntoSpacesAreRestored) {
    const std::u16string body = DirectBody();
    ASSERT_NE(body.find(u'+'), std::u16string::npos);
    const std::u16string damaged = Replace(body, u'+', u" ");
    for (const std::u16string& link : {u"orbiscampus://" + damaged, damaged}) {
        Decoding decoding;
        EXPECT_TRUE(decoding.Run(link)) << decoding.error;
        ExpectDirectDescriptor(decoding);
    }
}

TEST_F(SchemeLinkDirect, PercentEncodedBodiesAreDecoded) {
    const std::u16string encoded = PercentEncodeBody(DirectBody());
    ASSERT_EQ(encoded.find(u':'), std::u16string::npos);
    for (const std::u16string& link : {u"orbiscampus://" + encoded, u"/\\" + encoded + u"//"}) {
        Decoding decoding;
        EXPECT_TRUE(decoding.Run(link)) << decoding.error;
        ExpectDirectDescriptor(decoding);
    }
}

TEST_F(SchemeLinkDirect, PartsAfterTheThirdAreIgnored) {
    Decoding decoding;
    EXPECT_TRUE(
        decoding.Run(u"orbiscampus://" + DirectBody() + u":" + Widen(parts_->wrongTag) + u":junk"))
        << decoding.error;
    ExpectDirectDescriptor(decoding);
}

TEST_F(SchemeLinkDirect, EmptyMiddlePartFailsToOpen) {
    Decoding decoding;
    EXPECT_FALSE(
        decoding.Run(u"orbiscampus://" + Widen(parts_->token) + u"::" + Widen(parts_->domain)));
    EXPECT_EQ(decoding.error, kParseFailure);
}

TEST_F(SchemeLinkDirect, EmptyPlaintextFailsAfterAllThreeOpen) {
    const std::vector<std::u16string> bodies = {
        Body(parts_->empty, parts_->directHttps, parts_->domain),
        Body(parts_->token, parts_->empty, parts_->domain),
        Body(parts_->token, parts_->directHttps, parts_->empty)};
    for (const auto& body : bodies) {
        Decoding decoding = WithPreviousContent();
        EXPECT_FALSE(decoding.Run(u"orbiscampus://" + body));
        EXPECT_EQ(decoding.error, "decrypt_failed_empty_strings");
        EXPECT_EQ(decoding.trace.back(),
                  "ParseSchemeArgs failed: one of the parts decrypted to empty string");
        EXPECT_EQ(decoding.record.baseUrl, MakeDefaultAppRecord().baseUrl);
        EXPECT_EQ(decoding.record.contentUrl, u"https://old.example.test/");
    }
}

TEST_F(SchemeLinkDirect, WrongTagFailsAndKeepsTheBaseUrl) {
    const std::vector<std::u16string> bodies = {
        Body(parts_->wrongTag, parts_->directHttps, parts_->domain),
        Body(parts_->token, parts_->directHttps, parts_->wrongTag)};
    for (const auto& body : bodies) {
        Decoding decoding = WithPreviousContent();
        EXPECT_FALSE(decoding.Run(u"orbiscampus://" + body));
        EXPECT_EQ(decoding.error, kMacFailure);
        EXPECT_EQ(decoding.trace.back(),
                  "ParseSchemeArgs exception: MAC verification failed — data may be tampered");
        EXPECT_EQ(decoding.record.baseUrl, MakeDefaultAppRecord().baseUrl);
        EXPECT_EQ(decoding.record.contentKind, u"pdf_url");
    }
}

namespace {

// Something other than a standard exception can only come from outside the decoder, such as an
// attached trace sink; it must still end in an error code, never escape.
TEST(ParseSchemeArgsExceptions, AForeignExceptionBecomesUnknownException) {
    std::vector<std::string> trace;
    bool thrown = false;
    const Trace::ScopedSink sink([&](std::string_view line) {
        if (!thrown) {
            thrown = true;
            throw 42;
        }
        trace.emplace_back(line);
    });
    AppRecord record = MakeDefaultAppRecord();
    std::string error;
    EXPECT_FALSE(ParseSchemeArgs(u"orbiscampus://a:b:c", error, record));
    EXPECT_EQ(error, "unknown_exception");
    EXPECT_EQ(trace, std::vector<std::string>{"ParseSchemeArgs unknown exception"});
}

TEST(ParseSchemeArgsExceptions, ASinkThatAlwaysThrowsCannotBreakOut) {
    const Trace::ScopedSink sink([](std::string_view) { throw 7; });
    AppRecord record = MakeDefaultAppRecord();
    std::string error;
    EXPECT_FALSE(ParseSchemeArgs(u"orbiscampus://a:b:c", error, record));
    EXPECT_EQ(error, "unknown_exception");
}

}  // namespace
