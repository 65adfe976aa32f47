#include "host/runtime_bootstrap_win32.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/win32_resources_win32.h"
#include "host/runtime_loader_webview2.h"
#include "support/demo_platform.h"
#include "windows/standin_fixture.h"

namespace {

using RuntimeBootstrap::Operations;
using RuntimeBootstrap::SystemOperations;

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

bool Exists(const std::u16string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFile(const std::u16string& path, const std::string& content) {
    std::ofstream(std::filesystem::path(Wide(path)), std::ios::binary) << content;
}

std::string ReadFile(const std::u16string& path) {
    std::ifstream file(std::filesystem::path(Wide(path)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::u16string FileUrl(const std::u16string& path) {
    std::u16string url = u"file:///" + path;
    for (char16_t& c : url) {
        if (c == u'\\') c = u'/';
    }
    return url;
}

// Answers every box with Yes and records it; nothing waits for a person.
struct AnsweredMessages {
    std::vector<MessageBoxRequest> shown;
    std::function<MessageBoxResult(const MessageBoxRequest&)> Operation() {
        return [this](const MessageBoxRequest& request) {
            shown.push_back(request);
            return MessageBoxResult::Yes;
        };
    }
};

class RuntimeBootstrapSystem : public ::testing::Test {
  protected:
    std::u16string TestInstaller() const {
        return operations_.executableFolder() + u"\\orbis_test_installer.exe";
    }

    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        operations_ = SystemOperations({}, messages_.Operation());
        temp_ = operations_.tempFolder();
    }
    void TearDown() override { CoUninitialize(); }

    AnsweredMessages messages_;
    Operations operations_;
    std::u16string temp_;
};

TEST_F(RuntimeBootstrapSystem, FindsTheExecutablesFolderAndTellsFilesFromFolders) {
    const std::u16string folder = operations_.executableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), u'\\');
    EXPECT_TRUE(operations_.isFile(folder + u"\\orbis_windows_tests.exe"));
    EXPECT_FALSE(operations_.isFile(folder));  // a directory is not a browser file
    EXPECT_FALSE(operations_.isFile(folder + u"\\WebView2Runtime\\msedgewebview2.exe"));
}

TEST_F(RuntimeBootstrapSystem, TemporaryFolderEndsWithASeparatorAndExists) {
    ASSERT_FALSE(temp_.empty());
    EXPECT_EQ(temp_.back(), u'\\');
    const DWORD attributes = GetFileAttributesW(Wide(temp_).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(RuntimeBootstrapSystem, DownloadCopiesTheAddressedFileOrReportsFailure) {
    const std::u16string source = temp_ + u"orbis-bootstrap-source.bin";
    const std::u16string target = temp_ + u"orbis-bootstrap-target.bin";
    WriteFile(source, "installer bytes\r\n\x01\x02");
    operations_.deleteFile(target);
    EXPECT_TRUE(operations_.download(FileUrl(source), target));
    EXPECT_EQ(ReadFile(target), "installer bytes\r\n\x01\x02");

    operations_.deleteFile(target);
    EXPECT_FALSE(Exists(target));
    EXPECT_FALSE(operations_.download(u"http://127.0.0.1:1/missing.exe", target));
    EXPECT_FALSE(operations_.download(FileUrl(temp_ + u"orbis-no-such-file.bin"), target));
    operations_.deleteFile(source);
    EXPECT_FALSE(Exists(source));
}

TEST_F(RuntimeBootstrapSystem, RunAndWaitReturnsOnlyAfterTheProgramHasFinished) {
    const std::u16string installer = temp_ + u"orbis-bootstrap-installer.exe";
    const std::u16string marker = installer + u".ran";
    operations_.deleteFile(marker);
    ASSERT_TRUE(CopyFileW(Wide(TestInstaller()).c_str(), Wide(installer).c_str(), FALSE));
    operations_.runAndWait(installer);
    EXPECT_TRUE(Exists(marker));  // left by the program just before it ended
    operations_.deleteFile(marker);
    operations_.deleteFile(installer);
    EXPECT_FALSE(Exists(installer));  // nothing holds the file once the wait is over

    // A file that cannot be started returns at once and reports nothing.
    operations_.runAndWait(temp_ + u"orbis-no-such-installer.exe");
}

TEST_F(RuntimeBootstrapSystem, VersionQueryFreesTheLoadersTextAndPassesNullForTheInstalledOne) {
    std::vector<bool> nullFolders;
    auto query = RuntimeBootstrap::VersionQueryOverLoader([&](PCWSTR folder, LPWSTR* version) {
        nullFolders.push_back(folder == nullptr);
        const std::wstring text = folder == nullptr ? L"131.0.2903.70" : L"";
        if (folder != nullptr && wcscmp(folder, L"C:\\missing") == 0) return HRESULT(0x80070002);
        auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
        wcscpy(copy, text.c_str());
        *version = copy;
        return S_OK;
    });
    EXPECT_EQ(query(u""), std::optional<std::u16string>(u"131.0.2903.70"));
    EXPECT_EQ(query(u"C:\\fixed"), std::optional<std::u16string>(u""));
    EXPECT_EQ(query(u"C:\\missing"), std::nullopt);
    EXPECT_EQ(nullFolders, (std::vector<bool>{true, false, false}));

    auto succeedsWithoutText =
        RuntimeBootstrap::VersionQueryOverLoader([](PCWSTR, LPWSTR* version) {
            *version = nullptr;
            return S_OK;
        });
    EXPECT_EQ(succeedsWithoutText(u""), std::nullopt);
    EXPECT_EQ(RuntimeBootstrap::VersionQueryOverLoader({})(u""), std::nullopt);
}

// The whole sequence over the real system steps: the stand-in installer is fetched by address
// into the temporary folder, run and waited for; the runtime then appears.
TEST_F(RuntimeBootstrapSystem, InstallsThroughTheRealStepsAndDeletesTheInstaller) {
    const std::u16string installer = temp_ + u"WebView2Installer.exe";
    const std::u16string marker = installer + u".ran";
    operations_.deleteFile(installer);
    operations_.deleteFile(marker);
    ASSERT_TRUE(operations_.isFile(TestInstaller()));

    int queries = 0;
    bool installerHadRun = false;
    operations_.queryVersion = [&](const std::u16string& folder) -> std::optional<std::u16string> {
        EXPECT_TRUE(folder.empty());
        if (++queries == 1) return std::nullopt;
        installerHadRun = Exists(marker);
        return u"131.0.2903.70";
    };
    EXPECT_TRUE(
        RuntimeBootstrap::EnsureRuntime(operations_, [&] { return FileUrl(TestInstaller()); }));
    EXPECT_EQ(queries, 2);
    EXPECT_TRUE(installerHadRun);
    EXPECT_FALSE(Exists(installer));
    ASSERT_EQ(messages_.shown.size(), 2u);
    EXPECT_EQ(messages_.shown[1].caption, u"Installing...");
    operations_.deleteFile(marker);
}

// As on a user's machine: no runtime, the tenant's installer address (here the demo platform,
// which serves the stand-in installer), and the real loader asked before and after; the installer
// registers a stand-in runtime, which the second question finds.
TEST_F(RuntimeBootstrapSystem, DownloadsTheInstallerFromTheTenantsAddressAndFindsTheRuntime) {
    ORBIS_REQUIRE_DEMO_PLATFORM(platform);
    const std::u16string address = RuntimeBootstrap::TenantInstallerAddress();
    ASSERT_EQ(address, std::u16string(platform.base.begin(), platform.base.end()) +
                           u"/downloads/webview2-runtime-setup.exe");
    const std::u16string installer = temp_ + u"WebView2Installer.exe";
    const std::u16string marker = installer + u".ran";
    operations_.deleteFile(installer);
    operations_.deleteFile(marker);
    // Nothing registered in either hive while the test runs; what was there comes back after.
    StandinTest::ScopedRegistration noMachineRuntime(HKEY_LOCAL_MACHINE,
                                                     StandinTest::kStableChannel, std::nullopt);
    StandinTest::ScopedRegistration noUserRuntime(HKEY_CURRENT_USER, StandinTest::kStableChannel,
                                                  std::nullopt);
    StandinTest::ScopedVariable runtimeToRegister(
        L"ORBIS_TEST_INSTALLER_RUNTIME",
        StandinTest::RuntimeFolder(StandinTest::kCurrentVersion).wstring());

    std::vector<std::optional<std::u16string>> answers;
    const auto loaderQuery = RuntimeBootstrap::VersionQueryOverLoader(
        WebView2Loader::GetAvailableCoreWebView2BrowserVersionString);
    operations_.queryVersion = [&](const std::u16string& folder) {
        answers.push_back(loaderQuery(folder));
        return answers.back();
    };
    EXPECT_TRUE(
        RuntimeBootstrap::EnsureRuntime(operations_, RuntimeBootstrap::TenantInstallerAddress));
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0], std::nullopt);
    const std::wstring current = StandinTest::kCurrentVersion;
    EXPECT_EQ(answers[1],
              std::optional<std::u16string>(std::u16string(current.begin(), current.end())));
    EXPECT_TRUE(Exists(marker));
    EXPECT_FALSE(Exists(installer));
    operations_.deleteFile(marker);
}

TEST_F(RuntimeBootstrapSystem, FailedDownloadOverTheRealStepsShowsTheDownloadError) {
    operations_.queryVersion = [](const std::u16string&) { return std::nullopt; };
    EXPECT_FALSE(RuntimeBootstrap::EnsureRuntime(
        operations_, [] { return std::u16string(u"http://127.0.0.1:1/WebView2Setup.exe"); }));
    ASSERT_EQ(messages_.shown.size(), 3u);
    EXPECT_EQ(messages_.shown[2].caption, u"Download Error");
}

}  // namespace
