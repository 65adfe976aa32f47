#include "host/runtime_bootstrap.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using RuntimeBootstrap::EnsureRuntime;
namespace Texts = RuntimeBootstrap::Texts;

const std::u16string kExecutableFolder = u"C:\\Program Files\\Orbis Campus";
const std::u16string kFixedFolder = kExecutableFolder + u"\\WebView2Runtime";
const std::u16string kFixedBrowser = kFixedFolder + u"\\msedgewebview2.exe";
const std::u16string kTemp = u"C:\\Users\\student\\AppData\\Local\\Temp\\";
const std::u16string kInstaller = kTemp + u"WebView2Installer.exe";
const std::u16string kAddress = u"https://installer.example/setup.exe";

// Records every operation in order and answers from its fields. Version answers are keyed by
// folder ("" is the installed runtime); the installer may register a runtime when it runs.
struct FakeSystem {
    std::vector<std::string> calls;
    std::vector<std::u16string> queriedFolders;
    std::vector<MessageBoxRequest> messages;
    std::vector<std::pair<std::u16string, std::u16string>> downloads;
    std::vector<std::u16string> runs;
    std::vector<std::u16string> deletions;
    int addressReads = 0;

    std::u16string executableFolder = kExecutableFolder;
    bool fixedBrowserExists = false;
    std::map<std::u16string, std::optional<std::u16string>> versions;
    MessageBoxResult answer = MessageBoxResult::No;
    bool downloadSucceeds = true;
    std::optional<std::u16string> versionAfterInstall;

    RuntimeBootstrap::Operations Operations() {
        RuntimeBootstrap::Operations operations;
        operations.queryVersion = [this](const std::u16string& folder) {
            calls.push_back("query");
            queriedFolders.push_back(folder);
            auto found = versions.find(folder);
            return found == versions.end() ? std::nullopt : found->second;
        };
        operations.executableFolder = [this] { return executableFolder; };
        operations.isFile = [this](const std::u16string& path) {
            return path == kFixedBrowser && fixedBrowserExists;
        };
        operations.showMessage = [this](const MessageBoxRequest& request) {
            calls.push_back("message");
            messages.push_back(request);
            return request.caption == Texts::kRequiredCaption ? answer : MessageBoxResult::Ok;
        };
        operations.tempFolder = [] { return kTemp; };
        operations.download = [this](const std::u16string& address, const std::u16string& path) {
            calls.push_back("download");
            downloads.emplace_back(address, path);
            return downloadSucceeds;
        };
        operations.runAndWait = [this](const std::u16string& path) {
            calls.push_back("run");
            runs.push_back(path);
            if (versionAfterInstall) versions[u""] = versionAfterInstall;
        };
        operations.deleteFile = [this](const std::u16string& path) {
            calls.push_back("delete");
            deletions.push_back(path);
        };
        return operations;
    }

    bool Run() {
        return EnsureRuntime(Operations(), [this] {
            ++addressReads;
            return kAddress;
        });
    }
};

// ---- A runtime is there: no question, no download.

TEST(RuntimeBootstrap, FixedRuntimeBesideTheExecutableIsEnough) {
    FakeSystem system;
    system.fixedBrowserExists = true;
    system.versions[kFixedFolder] = u"120.0.2210.91";
    EXPECT_TRUE(system.Run());
    EXPECT_EQ(system.queriedFolders, std::vector<std::u16string>{kFixedFolder});
    EXPECT_TRUE(system.messages.empty());
}

TEST(RuntimeBootstrap, InstalledRuntimeIsEnoughAndShowsNoBox) {
    FakeSystem system;
    system.versions[u""] = u"131.0.2903.70";
    EXPECT_TRUE(system.Run());
    // No browser file beside the executable: the fixed folder is not even asked.
    EXPECT_EQ(system.queriedFolders, std::vector<std::u16string>{u""});
    EXPECT_TRUE(system.messages.empty());
    EXPECT_EQ(system.addressReads, 0);
}

TEST(RuntimeBootstrap, FixedRuntimeThatCannotTellItsVersionFallsBackToTheInstalledOne) {
    for (const std::optional<std::u16string>& fixedAnswer :
         {std::optional<std::u16string>(), std::optional<std::u16string>(u"")}) {
        FakeSystem system;
        system.fixedBrowserExists = true;
        system.versions[kFixedFolder] = fixedAnswer;
        system.versions[u""] = u"131.0.2903.70";
        EXPECT_TRUE(system.Run());
        EXPECT_EQ(system.queriedFolders, (std::vector<std::u16string>{kFixedFolder, u""}));
        EXPECT_TRUE(system.messages.empty());
    }
}

TEST(RuntimeBootstrap, UnreadableModulePathSkipsTheFixedRuntime) {
    FakeSystem system;
    system.executableFolder.clear();
    system.fixedBrowserExists = true;
    system.versions[u""] = u"131.0.2903.70";
    EXPECT_TRUE(system.Run());
    EXPECT_EQ(system.queriedFolders, std::vector<std::u16string>{u""});
}

TEST(RuntimeBootstrap, InstalledRuntimeWithAnEmptyVersionTextStillCounts) {
    // The installed runtime only has to answer; an empty text is the loader's business.
    FakeSystem system;
    system.versions[u""] = u"";
    EXPECT_TRUE(system.Run());
    EXPECT_TRUE(system.messages.empty());
}

// ---- No runtime: the question and what follows each answer.

TEST(RuntimeBootstrap, AnyAnswerButYesEndsWithFalseAfterTheQuestionAlone) {
    for (MessageBoxResult answer : {MessageBoxResult::No, MessageBoxResult::Closed}) {
        FakeSystem system;
        system.answer = answer;
        EXPECT_FALSE(system.Run());
        ASSERT_EQ(system.messages.size(), 1u);
        EXPECT_EQ(system.messages[0].text, Texts::kRequired);
        EXPECT_EQ(system.messages[0].caption, u"Zelvan — Component Required");
        EXPECT_EQ(system.messages[0].flags, 0x4u | 0x20u | 0x10000u | 0x40000u);
        EXPECT_TRUE(system.downloads.empty());
        EXPECT_EQ(system.addressReads, 0);  // the address is decoded only after consent
    }
}

TEST(RuntimeBootstrap, ConsentDownloadsRunsWaitsFindsTheRuntimeAndDeletesTheInstaller) {
    FakeSystem system;
    system.answer = MessageBoxResult::Yes;
    system.versionAfterInstall = u"131.0.2903.70";
    EXPECT_TRUE(system.Run());
    EXPECT_EQ(system.calls, (std::vector<std::string>{"query", "message", "message", "download",
                                                      "run", "query", "delete"}));
    EXPECT_EQ(system.messages[1].text, Texts::kInstalling);
    EXPECT_EQ(system.messages[1].caption, u"Installing...");
    EXPECT_EQ(system.messages[1].flags, 0x40u | 0x10000u | 0x40000u);
    ASSERT_EQ(system.downloads.size(), 1u);
    EXPECT_EQ(system.downloads[0].first, kAddress);
    EXPECT_EQ(system.downloads[0].second, kInstaller);
    EXPECT_EQ(system.runs, std::vector<std::u16string>{kInstaller});
    EXPECT_EQ(system.deletions, std::vector<std::u16string>{kInstaller});
    EXPECT_EQ(system.addressReads, 1);
}

TEST(RuntimeBootstrap, FailedDownloadShowsItsMessageAndRunsNothing) {
    FakeSystem system;
    system.answer = MessageBoxResult::Yes;
    system.downloadSucceeds = false;
    EXPECT_FALSE(system.Run());
    EXPECT_TRUE(system.runs.empty());
    ASSERT_EQ(system.messages.size(), 3u);
    EXPECT_EQ(system.messages[2].text,
              u"Failed to download WebView2 Runtime.\nPlease check your internet connection.");
    EXPECT_EQ(system.messages[2].caption, u"Download Error");
    EXPECT_EQ(system.messages[2].flags, 0x10u | 0x10000u | 0x40000u);
}

TEST(RuntimeBootstrap, InstallerThatRegistersNothingWarnsAndLeavesItsFile) {
    FakeSystem system;
    system.answer = MessageBoxResult::Yes;
    EXPECT_FALSE(system.Run());
    EXPECT_EQ(system.runs, std::vector<std::u16string>{kInstaller});
    EXPECT_TRUE(system.deletions.empty());
    ASSERT_EQ(system.messages.size(), 3u);
    EXPECT_EQ(system.messages[2].text,
              u"WebView2 installation may have failed.\nPlease restart the application.");
    EXPECT_EQ(system.messages[2].caption, u"Installation");
    EXPECT_EQ(system.messages[2].flags, 0x30u | 0x10000u | 0x40000u);
}

TEST(RuntimeBootstrap, WithoutATemporaryFolderOrAddressTheDownloadCountsAsFailed) {
    FakeSystem system;
    system.answer = MessageBoxResult::Yes;
    auto operations = system.Operations();
    operations.tempFolder = [] { return std::u16string(); };
    EXPECT_FALSE(EnsureRuntime(operations, [] { return kAddress; }));
    EXPECT_TRUE(system.downloads.empty());
    EXPECT_EQ(system.messages.back().caption, Texts::kDownloadFailedCaption);

    FakeSystem noAddress;
    noAddress.answer = MessageBoxResult::Yes;
    EXPECT_FALSE(EnsureRuntime(noAddress.Operations(), [] { return std::u16string(); }));
    EXPECT_TRUE(noAddress.downloads.empty());
    EXPECT_EQ(noAddress.messages.back().caption, Texts::kDownloadFailedCaption);
}

TEST(RuntimeBootstrap, MissingOperationsFailWithoutAsking) {
    EXPECT_FALSE(EnsureRuntime(RuntimeBootstrap::Operations{}, {}));
}

}  // namespace
