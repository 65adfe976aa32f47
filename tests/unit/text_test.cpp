#include "common/text.h"

#include <gtest/gtest.h>

#include "common/number_parse.h"

namespace {

using Text::Utf16ToUtf8;
using Text::Utf8ToUtf16;

TEST(Utf8ToUtf16, ConvertsEveryPlane) {
    EXPECT_EQ(Utf8ToUtf16("abc"), u"abc");
    EXPECT_EQ(Utf8ToUtf16("\xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A"), u"عربي");
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82\xAC"), u"\u20AC");
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST(Utf8ToUtf16, ReplacesInvalidSequencesAndNeverFails) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\xFFFD"
              "b");
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\xFFFD");  // truncated at the end
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82"
                          "x"),
              u"\xFFFD"
              "x");                                                 // truncated in the middle
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\xFFFD\xFFFD");            // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\xFFFD\xFFFD\xFFFD");  // encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\xFFFD\xFFFD\xFFFD\xFFFD");  // above U+10FFFF
    EXPECT_EQ(Utf8ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Utf16ToUtf8, RoundTripsAndReplacesLoneSurrogates) {
    const std::u16string text = u"Orbis \u0645 \U0001F600";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xDC00}) + u"x"), "\xEF\xBF\xBDx");
}

TEST(ToLowerAscii, MapsOnlyAsciiCapitals) {
    EXPECT_EQ(Text::ToLowerAscii(std::u16string_view(u"HeLLo-ÄÖ-Σ")), u"hello-ÄÖ-Σ");
    EXPECT_EQ(Text::ToLowerAscii(std::string_view("ABC[]@Z")), "abc[]@z");
}

TEST(LeadingDouble, ReadsLikeTheClassicLocaleConversion) {
    EXPECT_DOUBLE_EQ(*NumberParse::LeadingDouble("4.19.2"), 4.19);
    EXPECT_DOUBLE_EQ(*NumberParse::LeadingDouble("  -2.5x"), -2.5);
    EXPECT_DOUBLE_EQ(*NumberParse::LeadingDouble("+7"), 7.0);
    EXPECT_DOUBLE_EQ(*NumberParse::LeadingDouble("1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(*NumberParse::LeadingDouble("0x10"), 16.0);
    EXPECT_DOUBLE_EQ(*NumberParse::LeadingDouble("-0X5p1"), -10.0);
    EXPECT_DOUBLE_EQ(*NumberParse::LeadingDouble("0x"), 0.0);
    EXPECT_DOUBLE_EQ(*NumberParse::LeadingDouble("0xg"), 0.0);
    EXPECT_FALSE(NumberParse::LeadingDouble("abc"));
    EXPECT_FALSE(NumberParse::LeadingDouble(""));
    EXPECT_FALSE(NumberParse::LeadingDouble("+-1"));
    EXPECT_FALSE(NumberParse::LeadingDouble("1e400"));
    EXPECT_FALSE(NumberParse::LeadingDouble("nan"));
}

}  // namespace

TEST(TextFoldedSearch, AgreesWithSearchingALowerCasedCopy) {
    const std::u16string texts[] = {u"",
                                    u"a",
                                    u"HTTPS://WWW.YouTube.COM/watch",
                                    u"xYOUTUBE.CO",
                                    u"youtube.com",
                                    u"ÄYOUTUBE.COM",
                                    u"Youtube.Comyoutube.com"};
    const std::u16string parts[] = {u"", u"youtube.com", u"e.c", u"ä", u"x"};
    for (const auto& text : texts) {
        for (const auto& part : parts) {
            const bool expected = Text::ToLowerAscii(text).find(part) != std::u16string::npos;
            EXPECT_EQ(Text::ContainsFolded(text, part), expected)
                << Text::Utf16ToUtf8(text) << " / " << Text::Utf16ToUtf8(part);
        }
    }
}

TEST(TextFoldedSearch, EqualityFoldsAsciiLettersOnly) {
    EXPECT_TRUE(Text::EqualsFolded(u"HTTPS://Tenant.Zelvan.TEST", u"https://tenant.zelvan.test"));
    EXPECT_FALSE(Text::EqualsFolded(u"https://a", u"https://a/"));
    EXPECT_FALSE(Text::EqualsFolded(u"Ä", u"ä"));
    EXPECT_TRUE(Text::EqualsFolded(u"", u""));
}

TEST(TextFoldedSearch, MatchAtAPositionStaysInsideTheText) {
    EXPECT_TRUE(Text::MatchesFoldedAt(u"/FRONT/sw.js", 0, u"/front/"));
    EXPECT_FALSE(Text::MatchesFoldedAt(u"/front", 0, u"/front/"));
    EXPECT_FALSE(Text::MatchesFoldedAt(u"/front/", 8, u""));
    EXPECT_TRUE(Text::MatchesFoldedAt(u"/front/", 7, u""));
}
