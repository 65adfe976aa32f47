#include "host/browser_startup.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"

namespace {

using BrowserStartup::StartupAttempts;
using BrowserStartup::StartupReport;
namespace Status = WebViewStatus;

constexpr Status::Result kAccessDenied = static_cast<Status::Result>(0x80070005u);
constexpr Status::Result kDiskFull = static_cast<Status::Result>(0x80070070u);

// A platform whose steps fail where the test says, recording what ran, in order.
struct FakePlatform {
    std::map<std::u16string, Status::Result> folderFails;  // by folder
    std::map<std::u16string, Status::Result> writeFails;
    std::map<std::u16string, Status::Result> profileFails;
    // When set, the browser's creation ends at once with this result and stage; otherwise it
    // stays pending in `pending` until the test ends it.
    std::optional<std::pair<Status::Result, std::u16string_view>> browserOutcome =
        std::pair{Status::kOk, Status::kStageComplete};
    std::vector<std::string> ran;
    std::vector<BrowserStartup::AttemptFinished> pending;

    BrowserStartup::StartupPlatform Platform(std::u16string version = u"6.4.2") {
        BrowserStartup::StartupPlatform platform;
        platform.runtime = {u"QtWebEngine", std::move(version), u"_QtWebEngine_Env6"};
        platform.windowExists = true;
        platform.processId = 4242;
        platform.ticks = 77;
        platform.createFolder = Step("folder", folderFails);
        platform.writeTest = Step("write", writeFails);
        platform.steps.push_back({u"CreateProfileStorage", Step("profile", profileFails)});
        platform.createBrowser = [this](const std::u16string& folder,
                                        BrowserStartup::AttemptFinished finished) {
            ran.push_back("browser " + Text::Utf16ToUtf8(folder));
            if (browserOutcome) {
                finished(browserOutcome->first, browserOutcome->second);
            } else {
                pending.push_back(std::move(finished));
            }
        };
        platform.discardAttempt = [this] { ran.push_back("discard"); };
        return platform;
    }

    std::function<Status::Result(const std::u16string&)> Step(
        std::string name, const std::map<std::u16string, Status::Result>& fails) {
        return [this, name, &fails](const std::u16string& folder) {
            ran.push_back(name + " " + Text::Utf16ToUtf8(folder));
            const auto found = fails.find(folder);
            return found == fails.end() ? Status::kOk : found->second;
        };
    }
};

struct Reports {
    std::vector<StartupReport> received;
    std::function<void(const StartupReport&)> Sink() {
        return [this](const StartupReport& report) { received.push_back(report); };
    }
};

const std::u16string kBase = u"/home/u/.local/share/Orbis Campus/WebEngineData-init";
const std::u16string kFirst = kBase + u"_QtWebEngine_Env6";
const std::u16string kSecond = kFirst + u"_Recovery_4242_77_1";
const std::u16string kThird = kFirst + u"_Recovery_4242_77_2";

std::string Utf8(const std::u16string& text) {
    return Text::Utf16ToUtf8(text);
}

TEST(BrowserStartupAttempts, FirstAttemptUsesThePlainFolderAndSaysWhatStarted) {
    for (int attempts : {0, 1, 3}) {
        FakePlatform fake;
        Reports reports;
        StartupAttempts startup;
        startup.Run(kBase, attempts, fake.Platform(), reports.Sink());
        ASSERT_EQ(reports.received.size(), 1u) << attempts;
        EXPECT_TRUE(reports.received[0].succeeded);
        EXPECT_EQ(reports.received[0].result, Status::kOk);
        EXPECT_EQ(reports.received[0].statusText,
                  u"WebView2 initialized with QtWebEngine 6.4.2; userData=" + kFirst);
        EXPECT_EQ(fake.ran,
                  (std::vector<std::string>{"folder " + Utf8(kFirst), "write " + Utf8(kFirst),
                                            "profile " + Utf8(kFirst), "browser " + Utf8(kFirst)}));
    }
}

TEST(BrowserStartupAttempts, UnknownVersionLeavesNoGap) {
    FakePlatform fake;
    Reports reports;
    StartupAttempts startup;
    startup.Run(kBase, 1, fake.Platform(u""), reports.Sink());
    EXPECT_EQ(reports.received.at(0).statusText,
              u"WebView2 initialized with QtWebEngine; userData=" + kFirst);
}

TEST(BrowserStartupAttempts, MissingWindowOrFolderFailsBeforeAnyFolderIsMade) {
    for (bool windowExists : {false, true}) {
        FakePlatform fake;
        Reports reports;
        BrowserStartup::StartupPlatform platform = fake.Platform();
        platform.windowExists = windowExists;
        StartupAttempts startup;
        startup.Run(windowExists ? u"" : kBase, 2, std::move(platform), reports.Sink());
        ASSERT_EQ(reports.received.size(), 1u);
        EXPECT_FALSE(reports.received[0].succeeded);
        EXPECT_EQ(reports.received[0].result, Status::kInvalidArg);
        EXPECT_EQ(reports.received[0].statusText, u"Invalid parent window or user-data folder.");
        EXPECT_TRUE(fake.ran.empty());
    }
}

TEST(BrowserStartupAttempts, UnwritableFolderMovesOnToARecoveryFolder) {
    FakePlatform fake;
    fake.writeFails[kFirst] = kAccessDenied;
    Reports reports;
    StartupAttempts startup;
    startup.Run(kBase, 2, fake.Platform(), reports.Sink());
    ASSERT_EQ(reports.received.size(), 1u);
    EXPECT_TRUE(reports.received[0].succeeded);
    EXPECT_EQ(reports.received[0].statusText,
              u"WebView2 initialized with QtWebEngine 6.4.2; userData=" + kSecond);
    // The failed folder's later steps never ran, and nothing was discarded: no browser existed.
    EXPECT_EQ(fake.ran,
              (std::vector<std::string>{"folder " + Utf8(kFirst), "write " + Utf8(kFirst),
                                        "folder " + Utf8(kSecond), "write " + Utf8(kSecond),
                                        "profile " + Utf8(kSecond), "browser " + Utf8(kSecond)}));
}

TEST(BrowserStartupAttempts, SummaryNamesTheFirstAndTheLastFailure) {
    FakePlatform fake;
    fake.folderFails[kFirst] = kAccessDenied;
    fake.profileFails[kSecond] = kDiskFull;
    fake.browserOutcome =
        std::pair{Status::kAbort, Status::kStageApplicationQuitDuringInitialization};
    Reports reports;
    StartupAttempts startup;
    startup.Run(kBase, 3, fake.Platform(), reports.Sink());
    ASSERT_EQ(reports.received.size(), 1u);
    EXPECT_FALSE(reports.received[0].succeeded);
    EXPECT_EQ(reports.received[0].result, kAccessDenied) << "the first failure is the result";
    EXPECT_EQ(reports.received[0].statusText,
              u"WebView2 initialization failed. First=0x80070005 at CreateUserDataFolder; "
              u"last=0x80004004 at ApplicationQuitDuringInitialization; runtime=QtWebEngine "
              u"6.4.2; lastUserData=" +
                  kThird);
    EXPECT_EQ(fake.ran.back(), "discard") << "a created browser is released after failing";
}

TEST(BrowserStartupAttempts, OnlyAttemptFailingAtOnceShowsOneStepTwice) {
    FakePlatform fake;
    fake.writeFails[kFirst] = kDiskFull;
    Reports reports;
    StartupAttempts startup;
    startup.Run(kBase, 1, fake.Platform(), reports.Sink());
    EXPECT_EQ(reports.received.at(0).statusText,
              u"WebView2 initialization failed. First=0x80070070 at UserDataFolderWriteTest; "
              u"last=0x80070070 at UserDataFolderWriteTest; runtime=QtWebEngine 6.4.2; "
              u"lastUserData=" +
                  kFirst);
}

// --- Browsers created through callbacks ----------------------------------------------------------

TEST(BrowserStartupAttempts, LaterCompletionReportsOnceAndMovesOnAfterAFailure) {
    FakePlatform fake;
    fake.browserOutcome.reset();
    Reports reports;
    StartupAttempts startup;
    startup.Run(kBase, 2, fake.Platform(), reports.Sink());
    EXPECT_TRUE(reports.received.empty());
    ASSERT_EQ(fake.pending.size(), 1u);

    fake.pending[0](Status::kFail, Status::kStageCreateControllerCallback);
    EXPECT_TRUE(reports.received.empty()) << "a second attempt is due";
    ASSERT_EQ(fake.pending.size(), 2u);
    EXPECT_EQ(fake.ran[4], "discard");
    EXPECT_EQ(fake.ran.back(), "browser " + Utf8(kSecond));

    // A late second word from the first attempt changes nothing.
    fake.pending[0](Status::kOk, Status::kStageComplete);
    EXPECT_TRUE(reports.received.empty());

    fake.pending[1](Status::kOk, Status::kStageComplete);
    fake.pending[1](Status::kFail, Status::kStageCreateControllerCall);
    ASSERT_EQ(reports.received.size(), 1u);
    EXPECT_TRUE(reports.received[0].succeeded);
}

TEST(BrowserStartupAttempts, AbandonedRunReportsNothing) {
    FakePlatform fake;
    fake.browserOutcome.reset();
    Reports reports;
    {
        StartupAttempts startup;
        startup.Run(kBase, 1, fake.Platform(), reports.Sink());
    }
    fake.pending.at(0)(Status::kOk, Status::kStageComplete);
    EXPECT_TRUE(reports.received.empty());

    // Starting again abandons the pending run; only the new one reports.
    StartupAttempts startup;
    startup.Run(kBase, 1, fake.Platform(), reports.Sink());
    startup.Run(kBase, 1, fake.Platform(), reports.Sink());
    fake.pending.at(1)(Status::kOk, Status::kStageComplete);
    EXPECT_TRUE(reports.received.empty());
    fake.pending.at(2)(Status::kOk, Status::kStageComplete);
    EXPECT_EQ(reports.received.size(), 1u);
}

}  // namespace
