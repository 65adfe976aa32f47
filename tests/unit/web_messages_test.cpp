#include "host/web_messages.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "content/navigation_policy.h"
#include "content/url_rules.h"
#include "tenant_profile.h"

namespace {

struct Row {
    std::u16string_view text;
    WebCommand init;
    WebCommand player;
};

void ExpectRows(std::initializer_list<Row> rows) {
    for (const Row& row : rows) {
        EXPECT_EQ(ClassifyWebMessage(row.text, RunMode::Init), row.init)
            << "init: " << Text::Utf16ToUtf8(row.text);
        EXPECT_EQ(ClassifyWebMessage(row.text, RunMode::Player), row.player)
            << "player: " << Text::Utf16ToUtf8(row.text);
    }
}

constexpr WebCommand kNone = WebCommand::None;

// --- Message table ---------------------------------------------------------------------------

TEST(WebMessageTable, PrintRequestInEveryForm) {
    ExpectRows({
        {u"requestPrint", WebCommand::Print, WebCommand::Print},
        {u"\"requestPrint\"", WebCommand::Print, WebCommand::Print},
        {u"{\"action\":\"requestPrint\"}", WebCommand::Print, WebCommand::Print},
        {u"[1,\"requestPrint\",null]", WebCommand::Print, WebCommand::Print},
        // A member named so counts as well: the quoted word is what is looked for.
        {u"{\"requestPrint\":true}", WebCommand::Print, WebCommand::Print},
        {u"\"requestPrint\" ", WebCommand::Print, WebCommand::Print},
    });
}

TEST(WebMessageTable, PrintRequestLookalikesAreIgnored) {
    ExpectRows({
        {u"requestPrint ", kNone, kNone},
        {u" requestPrint", kNone, kNone},
        {u"RequestPrint", kNone, kNone},
        {u"requestprint", kNone, kNone},
        {u"\"RequestPrint\"", kNone, kNone},
        {u"{\"action\":\"requestPrint now\"}", kNone, kNone},
        {u"'requestPrint'", kNone, kNone},
        {u"requestPrint\"", kNone, kNone},
    });
}

TEST(WebMessageTable, NavigationBarWordsOnlyBareAndOnlyInInit) {
    ExpectRows({
        {u"btn_home", WebCommand::Home, kNone},
        {u"btn_back", WebCommand::Back, kNone},
        {u"btn_reload", WebCommand::Reload, kNone},
        {u"btn_fullscreen", WebCommand::InitFullscreen, kNone},
        {u"\"btn_home\"", kNone, kNone},
        {u"\"btn_back\"", kNone, kNone},
        {u"\"btn_reload\"", kNone, kNone},
        {u"\"btn_fullscreen\"", kNone, kNone},
        {u"btn_home ", kNone, kNone},
        {u"BTN_HOME", kNone, kNone},
        {u"btn_", kNone, kNone},
        {u"btn_forward", kNone, kNone},
    });
}

TEST(WebMessageTable, PlayerWordsBareOrQuotedAndOnlyInPlayer) {
    ExpectRows({
        {u"toggleFullscreen", kNone, WebCommand::PlayerFullscreen},
        {u"\"toggleFullscreen\"", kNone, WebCommand::PlayerFullscreen},
        {u"pageLoaded", kNone, WebCommand::ShowOnce},
        {u"\"pageLoaded\"", kNone, WebCommand::ShowOnce},
        {u"pageLoaded ", kNone, kNone},
        {u"\"pageLoaded\" ", kNone, kNone},
        {u"\"pageLoaded", kNone, kNone},
        {u"pageLoaded\"", kNone, kNone},
        {u"'pageLoaded'", kNone, kNone},
        {u"PageLoaded", kNone, kNone},
        {u"{\"event\":\"pageLoaded\"}", kNone, kNone},
        {u"\"toggleFullscreen\"\"", kNone, kNone},
        {u"togglefullscreen", kNone, kNone},
    });
}

TEST(WebMessageTable, EmptyAndStrayTextsAreIgnored) {
    using namespace std::string_view_literals;
    ExpectRows({
        {u"", kNone, kNone},
        {u"\"\"", kNone, kNone},
        {u"\"", kNone, kNone},
        {u"null", kNone, kNone},
        {u"printResult", kNone, kNone},
        // Length counts: a NUL after the word makes it another text.
        {u"btn_home\0"sv, kNone, kNone},
        {u"pageLoaded\0"sv, kNone, kNone},
    });
}

// --- Home command ----------------------------------------------------------------------------

TEST(HomeCommand, MovesTheBaseToTheHomeBaseAndReturnsTheHomeAddress) {
    AppRecord record;
    record.baseUrl = u"https://orbis.example.edu";
    record.contentUrl = u"https://lessons.example.net/1";
    const std::u16string home = ApplyHomeCommand(record);
    EXPECT_EQ(home, Text::Widen(Tenant::HomeUrl()));
    EXPECT_EQ(record.baseUrl, Text::Widen(Tenant::HomeBase()));
    EXPECT_EQ(record.contentUrl, u"https://lessons.example.net/1");
    // Repeating it changes nothing further.
    EXPECT_EQ(ApplyHomeCommand(record), home);
    EXPECT_EQ(record.baseUrl, Text::Widen(Tenant::HomeBase()));
}

TEST(HomeCommand, TheHomeAddressIsReachableAndTrustedFromTheNewBase) {
    AppRecord record;
    const std::u16string home = ApplyHomeCommand(record);
    // The host's own navigation guard must not refuse the address the command asks for.
    EXPECT_TRUE(MayNavigate(home, record.baseUrl));
    EXPECT_TRUE(UrlRules::IsTrustedUrl(home, record.baseUrl));
}

}  // namespace
