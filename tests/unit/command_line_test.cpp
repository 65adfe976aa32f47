#include "app/command_line.h"
#include "app/instance_name.h"
#include "app/os_version.h"
#include "common/version_number.h"
#include "service/link_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "common/app_record.h"
#include "common/text.h"

namespace {

constexpr std::u16string_view kScheme = u"orbiscampus";

TEST(UrlDecode, DecodesEscapesThroughUtf8AndKeepsPlus) {
    EXPECT_EQ(UrlDecode(u"a%20b+c"), u"a b+c");
    EXPECT_EQ(UrlDecode(u"%D9%85%D8%B1%D8%AD%D8%A8%D8%A7"), u"مرحبا");
    EXPECT_EQ(UrlDecode(u"%3a%2F"), u":/");
}

TEST(UrlDecode, ReadsEscapesLikeAHexStreamExtraction) {
    EXPECT_EQ(UrlDecode(u"%4zq"), u"\x04q");  // reading stops at "z", yet both bytes are used
    EXPECT_EQ(UrlDecode(u"% 9x"), u"\x09x");  // leading white space is skipped
    EXPECT_EQ(UrlDecode(u"%+7!"), u"\x07!");  // a sign is accepted
    EXPECT_EQ(UrlDecode(u"%zz"), u"%zz");     // nothing readable: '%' is copied
    EXPECT_EQ(UrlDecode(u"%-z1"), u"%-z1");   // a sign alone is not a number
    EXPECT_EQ(UrlDecode(u"%-1"), u"\xFFFD");
    EXPECT_EQ(UrlDecode(u"%0x41"),
              u"%0x41");  // a bare "0x" prefix reads nothing  // -1 gives byte 0xFF, invalid UTF-8
}

TEST(UrlDecode, NeedsTwoBytesAfterThePercentSign) {
    EXPECT_EQ(UrlDecode(u"abc%4"), u"abc%4");
    EXPECT_EQ(UrlDecode(u"%"), u"%");
    EXPECT_EQ(UrlDecode(u"%41"), u"A");
}

TEST(UrlDecode, ReplacesInvalidUtf8) {
    EXPECT_EQ(UrlDecode(u"x%C3"), u"x\xFFFD");
    EXPECT_EQ(UrlDecode(u""), u"");
}

TEST(ExtractSchemePayload, AcceptsCaseSpacesSlashesAndCleansTheArgument) {
    bool matched = false;
    EXPECT_EQ(ExtractSchemePayload(u"orbiscampus://abc:def", u"orbiscampus", &matched), u"abc:def");
    EXPECT_TRUE(matched);
    EXPECT_EQ(ExtractSchemePayload(u"  ORBISCAMPUS:\\\\abc//", u"orbiscampus"), u"abc");
    EXPECT_EQ(ExtractSchemePayload(u"\"orbiscampus://a\r\nb\tc\"", u"orbiscampus"), u"abc");
    EXPECT_EQ(ExtractSchemePayload(u"orbiscampus%3A%2F%2Fa%20b", u"orbiscampus"), u"a+b");
    EXPECT_EQ(ExtractSchemePayload(u"OrbisCampus://MiXeD", u"ORBISCAMPUS"), u"MiXeD");
}

TEST(ExtractSchemePayload, ReportsAMatchEvenWhenTheBodyIsEmpty) {
    for (const auto* link : {u"orbiscampus:", u"orbiscampus://", u"orbiscampus:/ \\ /"}) {
        bool matched = false;
        EXPECT_EQ(ExtractSchemePayload(link, u"orbiscampus", &matched), u"")
            << Text::Utf16ToUtf8(link);
        EXPECT_TRUE(matched);
    }
}

TEST(ExtractSchemePayload, RejectsAnythingButSpacesBeforeTheScheme) {
    bool matched = true;
    EXPECT_EQ(ExtractSchemePayload(u"x orbiscampus://abc", u"orbiscampus", &matched), u"");
    EXPECT_FALSE(matched);
    EXPECT_EQ(ExtractSchemePayload(u"orbiscampusx://abc", u"orbiscampus", &matched), u"");
    EXPECT_FALSE(matched);
    EXPECT_EQ(ExtractSchemePayload(u"", u"orbiscampus", &matched), u"");
    EXPECT_EQ(ExtractSchemePayload(u"orbiscampus://a", u"", &matched), u"");
    EXPECT_FALSE(matched);
}

TEST(ExtractSchemePayload, KeepsInnerSlashesAndSpacesBecomePlus) {
    EXPECT_EQ(ExtractSchemePayload(u"orbiscampus:///a/b c//", u"orbiscampus"), u"a/b+c");
    EXPECT_EQ(ExtractSchemePayload(u"orbiscampus:// x", u"orbiscampus"), u"+x");
}

TEST(IsSchemeLink, NeedsTheTenantSchemeAndARealBody) {
    EXPECT_TRUE(IsSchemeLink(u"orbiscampus://abc", kScheme));
    EXPECT_TRUE(IsSchemeLink(u"   OrbisCampus:abc", kScheme));
    EXPECT_FALSE(IsSchemeLink(u"orbiscampus:", kScheme));
    EXPECT_FALSE(IsSchemeLink(u"orbiscampus:////", kScheme));
    EXPECT_FALSE(IsSchemeLink(u"otherscheme://abc", kScheme));
    EXPECT_FALSE(IsSchemeLink(u"--flag", kScheme));
}

TEST(ChooseLink, NoArgumentsMeansInitMode) {
    const auto choice = ChooseLink({u"C:\\app\\orbis.exe"}, u"", kScheme);
    EXPECT_EQ(choice.mode, RunMode::Init);
    EXPECT_EQ(choice.link, u"");
}

TEST(ChooseLink, ALaterLinkArgumentWinsOverAnEarlierSwitch) {
    const auto choice = ChooseLink({u"orbis.exe", u"--switch", u"orbiscampus://a:b:c"},
                                   u"--switch orbiscampus://a:b:c", kScheme);
    EXPECT_EQ(choice.link, u"orbiscampus://a:b:c");
    EXPECT_EQ(choice.mode, RunMode::Player);
}

TEST(ChooseLink, AnArgumentThatIsNoLinkStaysTheLinkTextInInitMode) {
    const auto choice = ChooseLink({u"orbis.exe", u"hello"}, u"hello", kScheme);
    EXPECT_EQ(choice.link, u"hello");
    EXPECT_EQ(choice.mode, RunMode::Init);
}

TEST(ChooseLink, AnEmptyBodyStillStopsTheScanButGivesInitMode) {
    const auto choice =
        ChooseLink({u"orbis.exe", u"orbiscampus://", u"orbiscampus://a:b:c"}, u"ignored", kScheme);
    EXPECT_EQ(choice.link, u"orbiscampus://");
    EXPECT_EQ(choice.mode, RunMode::Init);
}

TEST(ChooseLink, FallsBackToTheRawCommandLine) {
    const auto choice = ChooseLink({u"orbis.exe"}, u"  ORBISCAMPUS:abc", kScheme);
    EXPECT_EQ(choice.link, u"  ORBISCAMPUS:abc");
    EXPECT_EQ(choice.mode, RunMode::Player);
}

TEST(InstanceMutexName, DependsOnModeButNotOnCase) {
    const auto player = BuildInstanceMutexName(InstanceKey(u"Orbis Campus", RunMode::Player));
    const auto init = BuildInstanceMutexName(InstanceKey(u"Orbis Campus", RunMode::Init));
    EXPECT_NE(player, init);
    EXPECT_EQ(player, BuildInstanceMutexName(u"ORBIS CAMPUS|PLAYER"));
    EXPECT_TRUE(Text::StartsWith(player, u"Local\\ZelvanPlayer.WebView2."));
}

TEST(InstanceMutexName, IsTheSixtyFourBitHashInLowerCaseHex) {
    // Empty key: the offset basis itself.
    EXPECT_EQ(BuildInstanceMutexName(u""), u"Local\\ZelvanPlayer.WebView2.14650fb0739d0383");
    // One unit: (basis ^ 'a') * prime, computed independently.
    const std::uint64_t expected = (0x14650fb0739d0383ULL ^ 0x61) * 0x100000001b3ULL;
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%llx", static_cast<unsigned long long>(expected));
    EXPECT_EQ(BuildInstanceMutexName(u"A"), u"Local\\ZelvanPlayer.WebView2." + Text::Widen(buffer));
}

TEST(ClassifyWindowsVersion, MapsVersionsToProductGenerations) {
    EXPECT_EQ(ClassifyWindowsVersion({10, 0, 22000}), 11);
    EXPECT_EQ(ClassifyWindowsVersion({10, 0, 21999}), 10);
    EXPECT_EQ(ClassifyWindowsVersion({6, 3, 9600}), 8);
    EXPECT_EQ(ClassifyWindowsVersion({6, 2, 9200}), 8);
    EXPECT_EQ(ClassifyWindowsVersion({6, 1, 7601}), 7);
    EXPECT_EQ(ClassifyWindowsVersion({5, 1, 2600}), -1);
    EXPECT_EQ(ClassifyWindowsVersion({0, 0, 0}), -1);
}

TEST(ParseVersionNumber, TakesTheLeadingDecimalNumber) {
    EXPECT_DOUBLE_EQ(ParseVersionNumber(u"4.18.0"), 4.18);
    EXPECT_DOUBLE_EQ(ParseVersionNumber(u" 5"), 5.0);
    EXPECT_DOUBLE_EQ(ParseVersionNumber(u"v4.18"), 3.0);
    EXPECT_DOUBLE_EQ(ParseVersionNumber(u""), 3.0);
    EXPECT_DOUBLE_EQ(ParseVersionNumber(u"1e999"), 3.0);
}

TEST(AppRecord, StartsWithTheProductIdentityAndThePortalAsBase) {
    const AppRecord record = MakeDefaultAppRecord();
    EXPECT_EQ(record.displayName, u"Orbis Campus");
    EXPECT_EQ(record.tenantId, u"orbiscampus");
    EXPECT_EQ(record.version, u"4.18.0");
    EXPECT_FALSE(record.baseUrl.empty());
    EXPECT_NE(record.baseUrl.back(), u'/');
    EXPECT_EQ(record.contentNumber, 1);
    EXPECT_TRUE(record.contentUrl.empty());
}

}  // namespace
