#include "update/update_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "tenant_profile.h"

namespace {

// ---- EvaluateUpdateAnswer ------------------------------------------------------------------

TEST(EvaluateUpdateAnswer, ComparesVersionsAsDecimalNumbers) {
    struct Case {
        const char* body;
        double current;
        bool available;
    };
    for (const Case& c : {
             Case{R"({"version": "4.19"})", 4.18, true},
             Case{R"({"version": 4.18})", 4.18, false},      // equal is not newer
             Case{R"({"version": "4.2"})", 4.18, true},      // 4.2 > 4.18 as decimals
             Case{R"({"version": "4.18.5"})", 4.18, false},  // reads as 4.18
             Case{R"({"version": "4.19.2"})", 4.18, true},   // reads as 4.19
             Case{R"({"version": 5})", 4.18, true},          // integers become doubles
             Case{R"({"version": " \t\n4.19beta"})", 4.18, true},
             Case{R"({"version": "+4.19"})", 4.18, true},
             Case{R"({"version": "4.17"})", 4.18, false},
             Case{R"({"version": "-5"})", -6.0, true},
             Case{R"({"version": "v4.19"})", 4.18, false},  // no leading number
             Case{R"({"version": ""})", 4.18, false},
             Case{R"({"version": "--4"})", -9.0, true},     // no number: 0, still above -9
             Case{R"({"version": "1e999"})", 4.18, false},  // out of range reads as 0
             Case{R"({"version": "1e999"})", -1.0, true},
             Case{R"({"version": true})", 4.18, false},  // other types read as 0
             Case{R"({"version": null})", -1.0, true},
             Case{R"({"version": [5]})", -0.5, true},
             Case{R"({"version": {"major": 5}})", 0.0, false},
         }) {
        EXPECT_EQ(EvaluateUpdateAnswer(c.current, c.body).updateAvailable, c.available)
            << c.body << " against " << c.current;
    }
}

TEST(EvaluateUpdateAnswer, OptionalUpdateWithoutLinkKeepsTheLinkEmpty) {
    const UpdateCheckResult r = EvaluateUpdateAnswer(4.18, R"({"version": "4.19"})");
    EXPECT_TRUE(r.updateAvailable);
    EXPECT_FALSE(r.updateRequired);
    EXPECT_TRUE(r.link.empty());
}

TEST(EvaluateUpdateAnswer, NoUpdateReadsNeitherFlagNorLink) {
    const UpdateCheckResult r = EvaluateUpdateAnswer(
        4.18, R"({"version": 4.18, "is_required": 1, "link": "https://download.zelvan.test/a"})");
    EXPECT_FALSE(r.updateAvailable);
    EXPECT_FALSE(r.updateRequired);
    EXPECT_TRUE(r.link.empty());
}

TEST(EvaluateUpdateAnswer, RequiredFlagIsTheInteger1OrTheExactString1) {
    struct Case {
        const char* value;
        bool required;
    };
    for (const Case& c : {
             Case{"1", true},          Case{"\"1\"", true},
             Case{"1.5", true},  // fraction dropped
             Case{"1.0", true},        Case{"1.999", true},
             Case{"4294967297", true},  // 2^32 + 1 wraps to 1 as a 32-bit integer
             Case{"true", false},      Case{"\"yes\"", false},
             Case{"2", false},         Case{"0", false},
             Case{"0.99", false},      Case{"-1", false},
             Case{"1e300", false},     Case{"-1e300", false},
             Case{"\" 1\"", false},    Case{"\"1.0\"", false},
             Case{"\"01\"", false},    Case{"null", false},
             Case{"[1]", false},       Case{"{\"value\": 1}", false},
         }) {
        const std::string body = std::string(R"({"version": 9, "is_required": )") + c.value + "}";
        const UpdateCheckResult r = EvaluateUpdateAnswer(4.18, body);
        EXPECT_TRUE(r.updateAvailable) << c.value;
        EXPECT_EQ(r.updateRequired, c.required) << c.value;
    }
}

TEST(EvaluateUpdateAnswer, LinkOnlyFromAString) {
    EXPECT_EQ(
        EvaluateUpdateAnswer(4.18, R"({"version": 5, "link": "https://x.test/\u00e9.exe"})").link,
        u"https://x.test/é.exe");
    EXPECT_EQ(
        EvaluateUpdateAnswer(4.18, "{\"version\": 5, \"link\": \"https://x.test/\xD9\x85\"}").link,
        u"https://x.test/م");
    for (const char* link : {"5", "null", "true", "[\"https://x.test\"]", "{}"}) {
        const std::string body = std::string(R"({"version": 5, "link": )") + link + "}";
        const UpdateCheckResult r = EvaluateUpdateAnswer(4.18, body);
        EXPECT_TRUE(r.updateAvailable) << link;
        EXPECT_TRUE(r.link.empty()) << link;
    }
}

TEST(EvaluateUpdateAnswer, AnythingButAnObjectWithVersionMeansNoUpdate) {
    for (const char* body : {
             "", "not json", "<html>500</html>", "[{\"version\": 9}]", "\"9\"", "9", "null",
             R"({"Version": 9})", R"({"latest": {"version": 9}})", R"({"version": 9,})",
             R"({"version": 1e400})",  // the parser rejects numbers beyond a double
         }) {
        const UpdateCheckResult r = EvaluateUpdateAnswer(-100.0, body);
        EXPECT_FALSE(r.updateAvailable) << body;
        EXPECT_FALSE(r.updateRequired) << body;
        EXPECT_TRUE(r.link.empty()) << body;
    }
}

// ---- IsValidDownloadUrl --------------------------------------------------------------------

TEST(IsValidDownloadUrl, HttpsWithAHostOnly) {
    EXPECT_TRUE(IsValidDownloadUrl(u"https://download.zelvan.test/setup.exe"));
    EXPECT_TRUE(IsValidDownloadUrl(u"HTTPS://download.zelvan.test/setup.exe"));
    EXPECT_TRUE(IsValidDownloadUrl(u"hTtPs://a.test"));
    EXPECT_FALSE(IsValidDownloadUrl(u"https://"));
    EXPECT_FALSE(IsValidDownloadUrl(u"https:///setup.exe"));
    EXPECT_FALSE(IsValidDownloadUrl(u"http://download.zelvan.test/setup.exe"));
    EXPECT_FALSE(IsValidDownloadUrl(u"https:/"));
    EXPECT_FALSE(IsValidDownloadUrl(u""));
    EXPECT_FALSE(IsValidDownloadUrl(u" https://download.zelvan.test/"));
    EXPECT_FALSE(IsValidDownloadUrl(u"file:///C:/setup.exe"));
}

// ---- PromptForUpdate -----------------------------------------------------------------------

// Records what the prompt asked of the platform. Like the real updater, the fake one refuses an
// address that is not a valid download address.
struct FakePlatform {
    MessageBoxResult answer = MessageBoxResult::Closed;
    bool updaterWorks = true;
    std::vector<MessageBoxRequest> boxes;
    std::vector<std::u16string> updaterStarts;
    std::vector<std::u16string> browserOpens;

    UpdatePromptOperations Operations() {
        return {
            [this](const MessageBoxRequest& request) {
                boxes.push_back(request);
                return answer;
            },
            [this](const std::u16string& address) {
                updaterStarts.push_back(address);
                return updaterWorks && IsValidDownloadUrl(address);
            },
            [this](const std::u16string& address) { browserOpens.push_back(address); },
        };
    }
};

const std::u16string kAddress = u"https://download.zelvan.test/desktop/orbiscampus/new.exe";

bool Prompt(FakePlatform& platform, bool required, std::u16string_view address = kAddress,
            const AppRecord& record = AppRecord{}) {
    return PromptForUpdate(required, address, record, platform.Operations());
}

TEST(PromptForUpdate, MandatoryBoxCaptionTextAndFlags) {
    FakePlatform platform;
    platform.answer = MessageBoxResult::Cancel;
    EXPECT_TRUE(Prompt(platform, true));
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, u"Orbis Campus - Update Required / تحديث إجباري للتطبيق");
    EXPECT_EQ(platform.boxes[0].text,
              u"A mandatory update is available. You must download the new version to "
              u"continue.\nتحديث إجباري متاح. يجب عليك تحميل الإصدار الجديد للمتابعة.");
    EXPECT_EQ(platform.boxes[0].flags, 0x50031u);
    EXPECT_TRUE(platform.updaterStarts.empty());  // Cancel still ends the application
    EXPECT_TRUE(platform.browserOpens.empty());
}

TEST(PromptForUpdate, OptionalBoxCaptionTextAndFlags) {
    FakePlatform platform;
    platform.answer = MessageBoxResult::No;
    EXPECT_FALSE(Prompt(platform, false));
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, u"Orbis Campus - Update Available / تحديث متاح للتطبيق");
    EXPECT_EQ(platform.boxes[0].text,
              u"A new version of the app is available. Would you like to update now?\nيوجد "
              u"تحديث جديد للتطبيق. هل ترغب في التحديث الآن؟");
    EXPECT_EQ(platform.boxes[0].flags, 0x50044u);
    EXPECT_TRUE(platform.updaterStarts.empty());
    EXPECT_TRUE(platform.browserOpens.empty());
}

TEST(PromptForUpdate, MandatoryOkStartsTheUpdater) {
    FakePlatform platform;
    platform.answer = MessageBoxResult::Ok;
    EXPECT_TRUE(Prompt(platform, true));
    EXPECT_EQ(platform.updaterStarts, std::vector<std::u16string>{kAddress});
    EXPECT_TRUE(platform.browserOpens.empty());
}

TEST(PromptForUpdate, MandatoryOkFallsBackToTheBrowserOnlyForValidAddresses) {
    FakePlatform platform;
    platform.answer = MessageBoxResult::Ok;
    platform.updaterWorks = false;
    EXPECT_TRUE(Prompt(platform, true));
    EXPECT_EQ(platform.updaterStarts, std::vector<std::u16string>{kAddress});
    EXPECT_EQ(platform.browserOpens, std::vector<std::u16string>{kAddress});

    FakePlatform plain;
    plain.answer = MessageBoxResult::Ok;
    EXPECT_TRUE(Prompt(plain, true, u"http://download.zelvan.test/new.exe"));
    EXPECT_TRUE(plain.browserOpens.empty());
}

TEST(PromptForUpdate, OptionalYesEndsOnlyWhenTheUpdaterStarts) {
    FakePlatform works;
    works.answer = MessageBoxResult::Yes;
    EXPECT_TRUE(Prompt(works, false));
    EXPECT_EQ(works.updaterStarts, std::vector<std::u16string>{kAddress});
    EXPECT_TRUE(works.browserOpens.empty());

    FakePlatform fails;
    fails.answer = MessageBoxResult::Yes;
    fails.updaterWorks = false;
    EXPECT_FALSE(Prompt(fails, false));
    EXPECT_EQ(fails.updaterStarts, std::vector<std::u16string>{kAddress});
    EXPECT_EQ(fails.browserOpens, std::vector<std::u16string>{kAddress});
}

TEST(PromptForUpdate, OptionalDeclinedOrClosedContinues) {
    for (const auto answer : {MessageBoxResult::No, MessageBoxResult::Closed}) {
        FakePlatform platform;
        platform.answer = answer;
        EXPECT_FALSE(Prompt(platform, false));
        EXPECT_TRUE(platform.updaterStarts.empty());
        EXPECT_TRUE(platform.browserOpens.empty());
    }
}

TEST(PromptForUpdate, PlainHttpLinkStartsNeitherUpdaterNorBrowser) {
    const std::u16string http = u"http://download.zelvan.test/new.exe";
    FakePlatform mandatory;
    mandatory.answer = MessageBoxResult::Ok;
    EXPECT_TRUE(Prompt(mandatory, true, http));
    FakePlatform optional;
    optional.answer = MessageBoxResult::Yes;
    EXPECT_FALSE(Prompt(optional, false, http));
    for (const FakePlatform* platform : {&mandatory, &optional}) {
        // The updater was asked and refused; the shell never saw the address.
        EXPECT_EQ(platform->updaterStarts, std::vector<std::u16string>{http});
        EXPECT_TRUE(platform->browserOpens.empty());
    }
}

TEST(PromptForUpdate, FallsBackToBuiltInNameAndInstallerAddress) {
    AppRecord unnamed;
    unnamed.displayName.clear();
    FakePlatform platform;
    platform.answer = MessageBoxResult::Ok;
    platform.updaterWorks = false;
    EXPECT_TRUE(Prompt(platform, true, u"", unnamed));
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption.rfind(u"ZelvanPlayer - Update Required / ", 0), 0u);
    const std::u16string installer = Text::Widen(Tenant::UpdaterFallbackInstallerUrl());
    EXPECT_TRUE(Text::EndsWith(installer, u"/desktop/zelvan/ZelvanPlayer_Setup.exe"));
    EXPECT_TRUE(IsValidDownloadUrl(installer));
    EXPECT_EQ(platform.updaterStarts, std::vector<std::u16string>{installer});
    EXPECT_EQ(platform.browserOpens, std::vector<std::u16string>{installer});
}

// A platform that has no updater (or no browser, or no message box yet) must not break start-up.
TEST(PromptForUpdate, MissingOperationsCountAsFailures) {
    EXPECT_TRUE(PromptForUpdate(true, u"https://download.zelvan.test/x.exe", AppRecord{}, {}));
    EXPECT_FALSE(PromptForUpdate(false, u"https://download.zelvan.test/x.exe", AppRecord{}, {}));

    UpdatePromptOperations onlyBox;
    onlyBox.showMessage = [](const MessageBoxRequest&) { return MessageBoxResult::Yes; };
    EXPECT_FALSE(
        PromptForUpdate(false, u"https://download.zelvan.test/x.exe", AppRecord{}, onlyBox));
}

}  // namespace
