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
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/win32_resources_win32.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using WebView2Loader::CreateCoreWebView2EnvironmentWithOptions;
using WebView2Loader::GetAvailableCoreWebView2BrowserVersionString;

const HRESULT kFileNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
const HRESULT kNotSupported = HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);
const std::wstring kCurrentVersion = L"" ORBIS_STANDIN_VERSION;
const std::wstring kOlderVersion = L"" ORBIS_STANDIN_OLDER_VERSION;

constexpr wchar_t kStableChannel[] = L"{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
constexpr wchar_t kBetaChannel[] = L"{2CD8A007-E189-409D-A2C8-9AF4EF3C72AA}";
constexpr wchar_t kDevChannel[] = L"{0D50BFEC-CD6A-4F9A-964C-C7416E3ACB10}";
constexpr wchar_t kCanaryChannel[] = L"{65C35B14-6C1D-4122-AC46-7148CC9D6497}";
constexpr const wchar_t* kAllChannels[] = {kStableChannel, kBetaChannel, kDevChannel,
                                           kCanaryChannel};
constexpr wchar_t kClientStateKey[] = L"Software\\Microsoft\\EdgeUpdate\\ClientState\\";

constexpr const wchar_t* kLoaderVariables[] = {
    L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER",    L"WEBVIEW2_USER_DATA_FOLDER",
    L"WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS", L"WEBVIEW2_RELEASE_CHANNEL_PREFERENCE",
    L"WEBVIEW2_CHANNEL_SEARCH_KIND",          L"ORBIS_STANDIN_FAIL_ENVIRONMENT",
    L"ORBIS_STANDIN_FAIL_ENVIRONMENT_CALL",   L"ORBIS_STANDIN_NEVER_ENVIRONMENT"};

fs::path ExecutableFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

fs::path StandinFolder(const std::wstring& version) {
    return ExecutableFolder() / ORBIS_STANDIN_RUNTIMES / version;
}

fs::path ClientLibraryOf(const std::wstring& version) {
    return StandinFolder(version) / L"EBWebView" / L"x64" / L"EmbeddedBrowserWebView.dll";
}

// A process variable (not the C runtime's copy, which cannot hold an empty value) for one scope.
class ScopedVariable {
  public:
    ScopedVariable(std::wstring name, const std::optional<std::wstring>& value)
        : name_(std::move(name)), previous_(Read(name_)) {
        Write(value);
    }
    ~ScopedVariable() { Write(previous_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    static std::optional<std::wstring> Read(const std::wstring& name) {
        wchar_t value[4096] = {};
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableW(name.c_str(), value, 4096);
        if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        return std::wstring(value, length);
    }
    void Write(const std::optional<std::wstring>& value) const {
        SetEnvironmentVariableW(name_.c_str(), value ? value->c_str() : nullptr);
    }

    std::wstring name_;
    std::optional<std::wstring> previous_;
};

bool KeyExists(HKEY hive, const std::wstring& path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(hive, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// One channel's runtime registration (value EBWebView) in one hive and registry view for one
// scope: written, or hidden when `folder` is nothing. What was there before comes back, and the
// keys it had to create are removed, so a machine's real registration survives the tests.
class ScopedRegistration {
  public:
    ScopedRegistration(HKEY hive, const wchar_t* channel, const std::optional<fs::path>& folder,
                       REGSAM view = KEY_WOW64_32KEY)
        : hive_(hive), path_(std::wstring(kClientStateKey) + channel), view_(view) {
        previous_ = ReadValue();
        if (folder) {
            for (std::wstring part = path_; !KeyExists(hive_, part, view_);) {
                created_.push_back(part);
                const auto separator = part.find_last_of(L'\\');
                if (separator == std::wstring::npos) break;
                part.resize(separator);
            }
            WriteValue(folder->wstring());
        } else if (previous_) {
            DeleteValue();
        }
    }
    ~ScopedRegistration() {
        if (previous_) {
            WriteValue(*previous_);
        } else {
            DeleteValue();
        }
        for (const std::wstring& key : created_)
            RegDeleteKeyExW(hive_, key.c_str(), view_, 0);
    }
    ScopedRegistration(const ScopedRegistration&) = delete;
    ScopedRegistration& operator=(const ScopedRegistration&) = delete;

  private:
    std::optional<std::wstring> ReadValue() const {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(hive_, path_.c_str(), 0, KEY_QUERY_VALUE | view_, &opened) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        const Win32::UniqueRegistryKey key(opened);
        wchar_t value[1024] = {};
        DWORD bytes = sizeof value;
        if (RegGetValueW(key.get(), nullptr, L"EBWebView", RRF_RT_REG_SZ, nullptr, value, &bytes) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::wstring(value);
    }
    void WriteValue(const std::wstring& folder) const {
        HKEY opened = nullptr;
        ASSERT_EQ(RegCreateKeyExW(hive_, path_.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view_,
                                  nullptr, &opened, nullptr),
                  ERROR_SUCCESS);
        const Win32::UniqueRegistryKey key(opened);
        RegSetValueExW(key.get(), L"EBWebView", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    }
    void DeleteValue() const {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(hive_, path_.c_str(), 0, KEY_SET_VALUE | view_, &opened) !=
            ERROR_SUCCESS) {
            return;
        }
        const Win32::UniqueRegistryKey key(opened);
        RegDeleteValueW(key.get(), L"EBWebView");
    }

    HKEY hive_;
    std::wstring path_;
    REGSAM view_;
    std::optional<std::wstring> previous_;
    std::vector<std::wstring> created_;  // deepest first
};

// Records what the loader's caller is told about an environment creation.
class RecordingHandler final : public ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) ||
            IsEqualIID(iid, IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler)) {
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
    HRESULT STDMETHODCALLTYPE Invoke(HRESULT result, ICoreWebView2Environment* created) override {
        ++calls;
        errorCode = result;
        environment = Win32::ComPtr<ICoreWebView2Environment>(created);
        thread = GetCurrentThreadId();
        return S_OK;
    }

    int calls = 0;
    HRESULT errorCode = E_PENDING;
    Win32::ComPtr<ICoreWebView2Environment> environment;
    DWORD thread = 0;

  private:
    std::atomic<ULONG> references_{1};
};

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

// Dispatches this thread's messages until `done` holds or `limit` has passed.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    MSG message;
    for (;;) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

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

// Every COM apartment, variable and registration a test changes is its own; the stand-in's log
// goes to a file of the test's own.
class RuntimeLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(ClientLibraryOf(kCurrentVersion))) << "stand-in runtime not built";
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        for (const wchar_t* name : kLoaderVariables) {
            variables_.push_back(std::make_unique<ScopedVariable>(name, std::nullopt));
        }
        Set(L"ORBIS_STANDIN_LOG", (logFolder_.path() / "standin.jsonl").wstring());
        for (const wchar_t* channel : kAllChannels) {
            Register(HKEY_LOCAL_MACHINE, channel, std::nullopt);
            Register(HKEY_CURRENT_USER, channel, std::nullopt);
        }
    }
    void TearDown() override {
        // Newest first: a later change of the same variable or key restores what an earlier
        // one set, and the earliest restores what the machine had.
        while (!registrations_.empty())
            registrations_.pop_back();
        while (!variables_.empty())
            variables_.pop_back();
        CoUninitialize();
    }

    void Set(const std::wstring& name, const std::optional<std::wstring>& value) {
        variables_.push_back(std::make_unique<ScopedVariable>(name, value));
    }
    void Register(HKEY hive, const wchar_t* channel, const std::optional<fs::path>& folder,
                  REGSAM view = KEY_WOW64_32KEY) {
        registrations_.push_back(std::make_unique<ScopedRegistration>(hive, channel, folder, view));
    }

    std::vector<nlohmann::json> LogLines() const {
        std::vector<nlohmann::json> lines;
        std::istringstream text(
            TestSupport::ReadFile((logFolder_.path() / "standin.jsonl").string()));
        for (std::string line; std::getline(text, line);) {
            lines.push_back(nlohmann::json::parse(line, nullptr, false));
        }
        return lines;
    }

    // Starts a creation and returns its immediate result; the handler stays with the test.
    HRESULT Create(const std::optional<fs::path>& folder, const wchar_t* userDataFolder,
                   ICoreWebView2EnvironmentOptions* options = nullptr) {
        handler_ = Win32::ComPtr<RecordingHandler>::Adopt(new RecordingHandler());
        const std::wstring argument = folder ? folder->wstring() : std::wstring();
        return CreateCoreWebView2EnvironmentWithOptions(folder ? argument.c_str() : nullptr,
                                                        userDataFolder, options, handler_.Get());
    }
    bool PumpUntilCompleted(std::chrono::milliseconds limit = 5s) {
        return PumpUntil([this] { return handler_->calls > 0; }, limit);
    }

    TestSupport::TempFolder logFolder_;
    Win32::ComPtr<RecordingHandler> handler_;

  private:
    std::vector<std::unique_ptr<ScopedVariable>> variables_;
    std::vector<std::unique_ptr<ScopedRegistration>> registrations_;
};

TEST_F(RuntimeLoaderTest, FixedFolderIsTakenAbsoluteOrRelativeToTheExecutable) {
    const fs::path relative = fs::path(ORBIS_STANDIN_RUNTIMES) / kOlderVersion;
    std::wstring forwardSlashes = StandinFolder(kCurrentVersion).wstring() + L"/";
    std::replace(forwardSlashes.begin(), forwardSlashes.end(), L'\\', L'/');
    const struct {
        fs::path folder;
        std::wstring version;
    } cases[] = {
        {StandinFolder(kCurrentVersion), kCurrentVersion},
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
    for (const fs::path& folder : {empty.path(), unversioned.path(), x86Only.path()}) {
        SCOPED_TRACE(folder.string());
        const VersionQuery query = QueryVersion(folder);
        EXPECT_TRUE(FAILED(query.result)) << std::hex << query.result;
        EXPECT_FALSE(query.text.has_value());
    }
    EXPECT_EQ(QueryVersion(empty.path()).result, kFileNotFound);
    EXPECT_EQ(QueryVersion(x86Only.path()).result, kFileNotFound);

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

    EXPECT_EQ(CreateCoreWebView2EnvironmentWithOptions(StandinFolder(kCurrentVersion).c_str(),
                                                       nullptr, nullptr, nullptr),
              E_POINTER);
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(RuntimeLoaderTest, InstalledRuntimeIsFoundInEitherHiveMachineFirst) {
    Register(HKEY_CURRENT_USER, kStableChannel, StandinFolder(kCurrentVersion));
    EXPECT_EQ(QueryVersion(std::nullopt).text, kCurrentVersion);
    // A per-machine registration lives in the 32-bit view; one in the 64-bit view is not the
    // updater's and does not count.
    Register(HKEY_LOCAL_MACHINE, kStableChannel, StandinFolder(kOlderVersion), KEY_WOW64_64KEY);
    EXPECT_EQ(QueryVersion(std::nullopt).text, kCurrentVersion);
    Register(HKEY_LOCAL_MACHINE, kStableChannel, StandinFolder(kOlderVersion) / "");
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
    EXPECT_EQ(QueryVersion(std::nullopt).result, kFileNotFound);
    Register(HKEY_CURRENT_USER, kDevChannel, StandinFolder(kOlderVersion));
    EXPECT_EQ(QueryVersion(std::nullopt).text, kOlderVersion + L" Dev");
}

TEST_F(RuntimeLoaderTest, ChannelsGoMostStableFirstUnlessThePreferenceIsOne) {
    Register(HKEY_CURRENT_USER, kBetaChannel, StandinFolder(kCurrentVersion));
    Register(HKEY_LOCAL_MACHINE, kCanaryChannel, StandinFolder(kOlderVersion));
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

    Register(HKEY_CURRENT_USER, kStableChannel, StandinFolder(kOlderVersion));
    EXPECT_EQ(QueryVersion(std::nullopt).text, kOlderVersion);
    Register(HKEY_CURRENT_USER, kDevChannel, StandinFolder(kCurrentVersion));
    ScopedVariable leastStable(L"WEBVIEW2_RELEASE_CHANNEL_PREFERENCE", L"1");
    EXPECT_EQ(QueryVersion(std::nullopt).text, kOlderVersion + L" Canary");
}

TEST_F(RuntimeLoaderTest, FixedFolderIsUsedOverAnInstalledRuntime) {
    Register(HKEY_LOCAL_MACHINE, kStableChannel, StandinFolder(kOlderVersion));
    const fs::path beside = fs::path(ORBIS_STANDIN_RUNTIMES) / kCurrentVersion;
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
                              StandinFolder(kOlderVersion).wstring());
        EXPECT_EQ(QueryVersion(std::nullopt).text, kOlderVersion);
        EXPECT_EQ(QueryVersion(StandinFolder(kCurrentVersion)).text, kOlderVersion);
        ASSERT_EQ(Create(StandinFolder(kCurrentVersion), nullptr), S_OK);
        ASSERT_EQ(LogLines().size(), 1u);
        EXPECT_EQ(LogLines()[0]["runtimeType"], 1);
        EXPECT_TRUE(fs::equivalent(LogLines()[0]["library"].get<std::string>(),
                                   ClientLibraryOf(kOlderVersion)));
        PumpUntilCompleted();
    }
    // Present but empty: the installed runtime, whatever folder the caller gave.
    ScopedVariable folder(L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", L"");
    EXPECT_EQ(QueryVersion(StandinFolder(kOlderVersion)).result, kFileNotFound);
    Register(HKEY_CURRENT_USER, kStableChannel, StandinFolder(kCurrentVersion));
    EXPECT_EQ(QueryVersion(StandinFolder(kOlderVersion)).text, kCurrentVersion);
}

TEST_F(RuntimeLoaderTest, RuntimeReceivesTheArgumentsOptionsAndVariables) {
    Set(L"WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS", L"--autoplay-policy=no-user-gesture-required");
    const auto options = Win32::ComPtr<FixedOptions>::Adopt(new FixedOptions());
    const fs::path runtime = StandinFolder(kCurrentVersion);
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
    ASSERT_EQ(Create(StandinFolder(kCurrentVersion), nullptr), S_OK);
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
    const fs::path runtime = StandinFolder(kCurrentVersion);
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
    const std::wstring runtime = StandinFolder(kCurrentVersion).wstring();
    const auto handler = Win32::ComPtr<RecordingHandler>::Adopt(new RecordingHandler());
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
    EXPECT_EQ(handler->calls, 0);
    EXPECT_TRUE(LogLines().empty());
}

}  // namespace
