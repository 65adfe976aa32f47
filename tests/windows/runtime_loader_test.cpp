// The WebView2 loader against the stand-in runtime folders the build lays out beside this
// executable, and against runtime registrations written into the registry for one test.
#include "host/runtime_loader_webview2.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>

#include "common/win32_resources_win32.h"
#include "host/com_callback_webview2.h"
#include "support/test_support.h"
#include "windows/standin_fixture.h"

namespace {

using namespace std::chrono_literals;
using WebView2Loader::CreateCoreWebView2EnvironmentWithOptions;
using WebView2Loader::GetAvailableCoreWebView2BrowserVersionString;
using namespace StandinTest;

const HRESULT kFileNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
const HRESULT kNotSupported = HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);

// What the loader's caller is told about an environment creation.
struct Completion {
    int calls = 0;
    HRESULT errorCode = E_PENDING;
    Win32::ComPtr<ICoreWebView2Environment> environment;
    DWORD thread = 0;
};

// The handler the host itself would pass: the shared callback object, recording into `into`.
Win32::ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler> RecordingHandler(
    const std::shared_ptr<Completion>& into) {
    return WebView2Callback::Make<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
        IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
        [into](HRESULT result, ICoreWebView2Environment* created) {
            ++into->calls;
            into->errorCode = result;
            into->environment = Win32::ComPtr<ICoreWebView2Environment>(created);
            into->thread = GetCurrentThreadId();
            return S_OK;
        });
}

LPWSTR CoTaskCopy(const wchar_t* text) {
    const std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
    if (copy != nullptr) std::memcpy(copy, text, bytes);
    return copy;
}

// Options as a caller hands them over; the stand-in reads them back through the interface.
class FixedOptions final : public ICoreWebView2EnvironmentOptions {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ICoreWebView2EnvironmentOptions)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE get_AdditionalBrowserArguments(LPWSTR* value) override {
        *value = CoTaskCopy(L"--no-proxy-server");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_AdditionalBrowserArguments(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Language(LPWSTR* value) override {
        *value = CoTaskCopy(L"ar");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Language(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_TargetCompatibleBrowserVersion(LPWSTR* value) override {
        *value = CoTaskCopy(L"149.0.4022.49");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_TargetCompatibleBrowserVersion(LPCWSTR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) override {
        *allow = TRUE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL) override {
        return E_NOTIMPL;
    }

  private:
    std::atomic<ULONG> references_{1};
};

struct VersionQuery {
    HRESULT result = E_PENDING;
    std::optional<std::wstring> text;  // nothing: *versionInfo came back NULL
};

VersionQuery QueryVersion(const std::optional<fs::path>& folder) {
    const std::wstring argument = folder ? folder->wstring() : std::wstring();
    // A stale pointer must not survive a failure.
    LPWSTR raw = reinterpret_cast<LPWSTR>(static_cast<std::uintptr_t>(0x1));
    VersionQuery query;
    query.result =
        GetAvailableCoreWebView2BrowserVersionString(folder ? argument.c_str() : nullptr, &raw);
    const Win32::CoTaskString owned(raw);
    if (owned) query.text = std::wstring(owned.get());
    return query;
}

class RuntimeLoaderTest : public StandinTest::StandinRuntimeTest {
  protected:
    // Starts a creation and returns its immediate result; the handler stays with the test.
    HRESULT Create(const std::optional<fs::path>& folder, const wchar_t* userDataFolder,
                   ICoreWebView2EnvironmentOptions* options = nullptr) {
        handler_ = std::make_shared<Completion>();
        const auto handler = RecordingHandler(handler_);
        const std::wstring argument = folder ? folder->wstring() : std::wstring();
        return CreateCoreWebView2EnvironmentWithOptions(folder ? argument.c_str() : nullptr,
                                                        userDataFolder, options, handler.Get());
    }
    bool PumpUntilCompleted(std::chrono::milliseconds limit = 5s) {
        return PumpMessagesUntil([this] { return handler_->calls > 0; }, limit);
    }

    std::shared_ptr<Completion> handler_;
};

TEST_F(RuntimeLoaderTest, FixedFolderIsTakenAbsoluteOrRelativeToTheExecutable) {
    const fs::path relative = RuntimeFolderRelativeToExecutable(kOlderVersion);
    std::wstring forwardSlashes = RuntimeFolder(kCurrentVersion).wstring() + L"/";
    std::replace(forwardSlashes.begin(), forwardSlashes.end(), L'\\', L'/');
    const struct {
        fs::path folder;
        std::wstring version;
    } cases[] = {
        {RuntimeFolder(kCurrentVersion), kCurrentVersion},
        {forwardSlashes, kCurrentVersion},
        {relative, kOlderVersion},
        {fs::path(relative.wstring() + L"\\"), kOlderVersion},
    };
    for (const auto& [folder, version] : cases) {
        SCOPED_TRACE(folder.string());
        const VersionQuery query = QueryVersion(folder);
        EXPECT_EQ(query.result, S_OK);
        // The text ends at its NUL, exactly after the version: no channel suffix for a fixed
        // runtime, nothing of a longer buffer.
        EXPECT_EQ(query.text, version);
    }

    WebView2Loader::RuntimeLocation location;
    ASSERT_EQ(WebView2Loader::FindRuntime(relative.c_str(), &location), S_OK);
    EXPECT_EQ(location.kind, WebView2Loader::RuntimeKind::FixedVersion);
    EXPECT_TRUE(fs::equivalent(location.clientLibrary, ClientLibraryOf(kOlderVersion)));
    EXPECT_EQ(WebView2Loader::FindRuntime(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(GetAvailableCoreWebView2BrowserVersionString(nullptr, nullptr), E_POINTER);
}

TEST_F(RuntimeLoaderTest, FolderWithoutAUsableRuntimeFailsAndNeverReportsAVersion) {
    TestSupport::TempFolder empty;
    TestSupport::TempFolder unversioned;
    unversioned.Write("EBWebView/x64/EmbeddedBrowserWebView.dll", "no version resource here");
    TestSupport::TempFolder x86Only;
    x86Only.Write("EBWebView/x86/EmbeddedBrowserWebView.dll", "a runtime for 32-bit programs");
    const fs::path emptyVersion = RuntimeFolder(kEmptyVersionFolder);
    for (const fs::path& folder :
         {empty.path(), unversioned.path(), x86Only.path(), emptyVersion}) {
        SCOPED_TRACE(folder.string());
        const VersionQuery query = QueryVersion(folder);
        EXPECT_TRUE(FAILED(query.result)) << std::hex << query.result;
        EXPECT_FALSE(query.text.has_value());
        // A runtime without a version is no runtime to start either.
        EXPECT_TRUE(FAILED(Create(folder, nullptr)));
    }
    EXPECT_EQ(QueryVersion(empty.path()).result, kFileNotFound);
    EXPECT_EQ(QueryVersion(x86Only.path()).result, kFileNotFound);
    EXPECT_FALSE(PumpUntilCompleted(100ms));
    EXPECT_TRUE(LogLines().empty()) << "the runtime's library was reached";

    // The browser's own installation is refused before anything is looked up.
    for (const wchar_t* browser : {L"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\120.0",
                                   L"C:/Program Files/Microsoft/EDGE/application"}) {
        const VersionQuery query = QueryVersion(fs::path(browser));
        EXPECT_EQ(query.result, kNotSupported);
        EXPECT_FALSE(query.text.has_value());
    }
    // …but a runtime folder whose name merely starts alike is not.
    TestSupport::TempFolder lookalike(fs::path("EdgeWebView") / "Application");
    EXPECT_EQ(QueryVersion(lookalike.path()).result, kFileNotFound);
}

TEST_F(RuntimeLoaderTest, NoRuntimeAnywhereGivesFileNotFoundAndNoCallback) {
    const VersionQuery query = QueryVersion(std::nullopt);
    EXPECT_EQ(query.result, static_cast<HRESULT>(0x80070002));
    EXPECT_FALSE(query.text.has_value());

    EXPECT_EQ(Create(std::nullopt, nullptr), static_cast<HRESULT>(0x80070002));
    TestSupport::TempFolder empty;
    EXPECT_EQ(Create(empty.path(), nullptr), kFileNotFound);
    EXPECT_EQ(Create(fs::path(L"D:\\Edge\\Application"), nullptr), kNotSupported);
    EXPECT_FALSE(PumpUntilCompleted(300ms));
    EXPECT_EQ(handler_->calls, 0);
    EXPECT_TRUE(LogLines().empty()) << "the runtime's library was reached";

    EXPECT_EQ(CreateCoreWebView2EnvironmentWithOptions(RuntimeFolder(kCurrentVersion).c_str(),
                                                       nullptr, nullptr, nullptr),
              E_POINTER);
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(RuntimeLoaderTest, InstalledRuntimeIsFoundInEitherHiveMachineFirst) {
    Register(HKEY_CURRENT_USER, kStableChannel, RuntimeFolder(kCurrentVersion));
    EXPECT_EQ(QueryVersion(std::nullopt).text, kCurrentVersion);
    // A per-machine registration lives in the 32-bit view; one in the 64-bit view is not the
    // updater's and does not count.
    Register(HKEY_LOCAL_MACHINE, kStableChannel, RuntimeFolder(kOlderVersion), KEY_WOW64_64KEY);
    EXPECT_EQ(QueryVersion(std::nullopt).text, kCurrentVersion);
    Register(HKEY_LOCAL_MACHINE, kStableChannel, RuntimeFolder(kOlderVersion) / "");
    EXPECT_EQ(QueryVersion(std::nullopt).text, kOlderVersion);

    WebView2Loader::RuntimeLocation location;
    ASSERT_EQ(WebView2Loader::FindRuntime(L"", &location), S_OK);
    EXPECT_EQ(location.kind, WebView2Loader::RuntimeKind::Installed);
    EXPECT_TRUE(location.channel.empty());
    EXPECT_TRUE(fs::equivalent(location.clientLibrary, ClientLibraryOf(kOlderVersion)));
}

TEST_F(RuntimeLoaderTest, BrokenRegistrationIsPassedOverForTheNextOne) {
    TestSupport::TempFolder removed;
    Register(HKEY_LOCAL_MACHINE, kStableChannel, removed.path());
    Register(HKEY_CURRENT_USER, kStableChannel, fs::path());  // an empty value
    Register(HKEY_LOCAL_MACHINE, kBetaChannel, RuntimeFolder(kEmptyVersionFolder));
    EXPECT_EQ(QueryVersion(std::nullopt).result, kFileNotFound);
    Register(HKEY_CURRENT_USER, kDevChannel, RuntimeFolder(kOlderVersion));
    EXPECT_EQ(QueryVersion(std::nullopt).text, kOlderVersion + L" Dev");
}

TEST_F(RuntimeLoaderTest, ChannelsGoMostStableFirstUnlessThePreferenceIsOne) {
    Register(HKEY_CURRENT_USER, kBetaChannel, RuntimeFolder(kCurrentVersion));
    Register(HKEY_LOCAL_MACHINE, kCanaryChannel, RuntimeFolder(kOlderVersion));
    EXPECT_EQ(QueryVersion(std::nullopt).text, kCurrentVersion + L" Beta");
    const struct {
        const wchar_t* variable;
        const wchar_t* value;
        std::wstring expected;
    } cases[] = {
        {L"WEBVIEW2_RELEASE_CHANNEL_PREFERENCE", L"1", kOlderVersion + L" Canary"},
        {L"WEBVIEW2_CHANNEL_SEARCH_KIND", L"1", kOlderVersion + L" Canary"},
        {L"WEBVIEW2_RELEASE_CHANNEL_PREFERENCE", L"0", kCurrentVersion + L" Beta"},
        {L"WEBVIEW2_RELEASE_CHANNEL_PREFERENCE", L"yes", kCurrentVersion + L" Beta"},
        {L"WEBVIEW2_RELEASE_CHANNEL_PREFERENCE", L"", kCurrentVersion + L" Beta"},
    };
    for (const auto& [variable, value, expected] : cases) {
        SCOPED_TRACE(std::wstring(variable) + L"=" + value);
        ScopedVariable preference(variable, value);
        EXPECT_EQ(QueryVersion(std::nullopt).text, expected);
    }

    Register(HKEY_CURRENT_USER, kStableChannel, RuntimeFolder(kOlderVersion));
    EXPECT_EQ(QueryVersion(std::nullopt).text, kOlderVersion);
    Register(HKEY_CURRENT_USER, kDevChannel, RuntimeFolder(kCurrentVersion));
    ScopedVariable leastStable(L"WEBVIEW2_RELEASE_CHANNEL_PREFERENCE", L"1");
    EXPECT_EQ(QueryVersion(std::nullopt).text, kOlderVersion + L" Canary");
}

TEST_F(RuntimeLoaderTest, FixedFolderIsUsedOverAnInstalledRuntime) {
    Register(HKEY_LOCAL_MACHINE, kStableChannel, RuntimeFolder(kOlderVersion));
    const fs::path beside = RuntimeFolderRelativeToExecutable(kCurrentVersion);
    EXPECT_EQ(QueryVersion(beside).text, kCurrentVersion);
    EXPECT_EQ(QueryVersion(std::nullopt).text, kOlderVersion);

    ASSERT_EQ(Create(beside, nullptr), S_OK);
    ASSERT_EQ(Create(std::nullopt, nullptr), S_OK);
    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["runtimeType"], 1);
    EXPECT_TRUE(
        fs::equivalent(lines[0]["library"].get<std::string>(), ClientLibraryOf(kCurrentVersion)));
    EXPECT_EQ(lines[1]["runtimeType"], 0);
    EXPECT_TRUE(
        fs::equivalent(lines[1]["library"].get<std::string>(), ClientLibraryOf(kOlderVersion)));
    PumpUntilCompleted();
}

TEST_F(RuntimeLoaderTest, BrowserFolderVariableReplacesTheArgumentEvenWhenEmpty) {
    {
        ScopedVariable folder(L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER",
                              RuntimeFolder(kOlderVersion).wstring());
        EXPECT_EQ(QueryVersion(std::nullopt).text, kOlderVersion);
        EXPECT_EQ(QueryVersion(RuntimeFolder(kCurrentVersion)).text, kOlderVersion);
        ASSERT_EQ(Create(RuntimeFolder(kCurrentVersion), nullptr), S_OK);
        ASSERT_EQ(LogLines().size(), 1u);
        EXPECT_EQ(LogLines()[0]["runtimeType"], 1);
        EXPECT_TRUE(fs::equivalent(LogLines()[0]["library"].get<std::string>(),
                                   ClientLibraryOf(kOlderVersion)));
        PumpUntilCompleted();
    }
    // Present but empty: the installed runtime, whatever folder the caller gave.
    ScopedVariable folder(L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", L"");
    EXPECT_EQ(QueryVersion(RuntimeFolder(kOlderVersion)).result, kFileNotFound);
    Register(HKEY_CURRENT_USER, kStableChannel, RuntimeFolder(kCurrentVersion));
    EXPECT_EQ(QueryVersion(RuntimeFolder(kOlderVersion)).text, kCurrentVersion);
}

TEST_F(RuntimeLoaderTest, RuntimeReceivesTheArgumentsOptionsAndVariables) {
    Set(L"WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS", L"--autoplay-policy=no-user-gesture-required");
    const auto options = Win32::ComPtr<FixedOptions>::Adopt(new FixedOptions());
    const fs::path runtime = RuntimeFolder(kCurrentVersion);
    ASSERT_EQ(Create(runtime, L"C:\\data\\\u00e9t\u00e9", options.Get()), S_OK);
    ASSERT_EQ(Create(runtime, nullptr), S_OK);
    {
        ScopedVariable userData(L"WEBVIEW2_USER_DATA_FOLDER", L"D:\\from-variable");
        ASSERT_EQ(Create(runtime, L"C:\\argument", nullptr), S_OK);
    }
    {
        ScopedVariable userData(L"WEBVIEW2_USER_DATA_FOLDER", L"");
        ASSERT_EQ(Create(runtime, L"C:\\argument", nullptr), S_OK);
    }
    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), 4u);
    const nlohmann::json& first = lines[0];
    EXPECT_EQ(first["call"], "CreateWebViewEnvironmentWithOptionsInternal");
    EXPECT_EQ(first["checkRunningInstance"], true);
    EXPECT_EQ(first["runtimeType"], 1);
    EXPECT_EQ(first["userDataFolder"], "C:\\data\\\u00e9t\u00e9");
    EXPECT_EQ(first["options"], nlohmann::json({
                                    {"additionalBrowserArguments", "--no-proxy-server"},
                                    {"language", "ar"},
                                    {"targetCompatibleBrowserVersion", "149.0.4022.49"},
                                    {"allowSingleSignOnUsingOSPrimaryAccount", true},
                                }));
    // The arguments variable is left for the runtime, which reads it from the process.
    EXPECT_EQ(first["variables"]["WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS"],
              "--autoplay-policy=no-user-gesture-required");
    EXPECT_TRUE(lines[1]["userDataFolder"].is_null());
    EXPECT_TRUE(lines[1]["options"].is_null());
    EXPECT_EQ(lines[2]["userDataFolder"], "D:\\from-variable");
    EXPECT_TRUE(lines[3]["userDataFolder"].is_null()) << "empty variable: the runtime's default";
    PumpUntilCompleted();
}

TEST_F(RuntimeLoaderTest, CompletionArrivesLaterOnTheCallingThreadWhilePumping) {
    ASSERT_EQ(Create(RuntimeFolder(kCurrentVersion), nullptr), S_OK);
    EXPECT_EQ(handler_->calls, 0) << "completed inside the call, not from the message queue";
    ASSERT_TRUE(PumpUntilCompleted());
    EXPECT_EQ(handler_->calls, 1);
    EXPECT_EQ(handler_->errorCode, S_OK);
    EXPECT_EQ(handler_->thread, GetCurrentThreadId());
    ASSERT_TRUE(handler_->environment);
    EXPECT_TRUE(handler_->environment.As<ICoreWebView2Environment>(IID_ICoreWebView2Environment));

    // The runtime's library stays loaded after the loader's call, whatever the caller frees.
    const std::wstring library = ClientLibraryOf(kCurrentVersion).wstring();
    HMODULE extra = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(0, library.c_str(), &extra));
    FreeLibrary(extra);
    FreeLibrary(extra);
    EXPECT_NE(GetModuleHandleW(library.c_str()), nullptr);
}

TEST_F(RuntimeLoaderTest, FailingAndNeverCompletingCreations) {
    const fs::path runtime = RuntimeFolder(kCurrentVersion);
    {
        ScopedVariable fail(L"ORBIS_STANDIN_FAIL_ENVIRONMENT", L"0x80004005");
        ASSERT_EQ(Create(runtime, nullptr), S_OK);
        ASSERT_TRUE(PumpUntilCompleted());
        EXPECT_EQ(handler_->errorCode, E_FAIL);
        EXPECT_FALSE(handler_->environment);
        EXPECT_EQ(handler_->thread, GetCurrentThreadId());
    }
    {
        ScopedVariable fail(L"ORBIS_STANDIN_FAIL_ENVIRONMENT_CALL", L"0x8007139F");
        EXPECT_EQ(Create(runtime, nullptr), HRESULT_FROM_WIN32(ERROR_INVALID_STATE));
        EXPECT_FALSE(PumpUntilCompleted(200ms));
    }
    {
        ScopedVariable never(L"ORBIS_STANDIN_NEVER_ENVIRONMENT", L"1");
        ASSERT_EQ(Create(runtime, nullptr), S_OK);
        EXPECT_FALSE(PumpUntilCompleted(300ms));
        EXPECT_EQ(handler_->calls, 0);
    }
    EXPECT_EQ(LogLines().size(), 3u);
}

TEST_F(RuntimeLoaderTest, ThreadOutsideASingleThreadedApartmentIsRefused) {
    const std::wstring runtime = RuntimeFolder(kCurrentVersion).wstring();
    const auto completion = std::make_shared<Completion>();
    const auto handler = RecordingHandler(completion);
    const auto createOnThread = [&](std::optional<DWORD> apartment) {
        HRESULT result = E_PENDING;
        std::thread([&] {
            if (apartment) CoInitializeEx(nullptr, *apartment);
            result = CreateCoreWebView2EnvironmentWithOptions(runtime.c_str(), nullptr, nullptr,
                                                              handler.Get());
            if (apartment) CoUninitialize();
        }).join();
        return result;
    };
    EXPECT_EQ(createOnThread(std::nullopt), CO_E_NOTINITIALIZED);
    EXPECT_EQ(createOnThread(COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    EXPECT_EQ(completion->calls, 0);
    EXPECT_TRUE(LogLines().empty());
}

}  // namespace
