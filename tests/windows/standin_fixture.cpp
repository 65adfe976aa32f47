#include "windows/standin_fixture.h"

#include <cwchar>
#include <sstream>

#include "common/win32_resources_win32.h"

namespace StandinTest {
namespace {

constexpr wchar_t kClientStateKey[] = L"Software\\Microsoft\\EdgeUpdate\\ClientState\\";
constexpr const wchar_t* kAllChannels[] = {kStableChannel, kBetaChannel, kDevChannel,
                                           kCanaryChannel};

struct EnvironmentBlockFreer {
    void operator()(wchar_t* block) const { FreeEnvironmentStringsW(block); }
};

// Names of the variables that steer the loader or the stand-in, as the process has them now.
std::vector<std::wstring> SteeringVariables() {
    std::vector<std::wstring> names;
    const std::unique_ptr<wchar_t, EnvironmentBlockFreer> block(GetEnvironmentStringsW());
    if (!block) return names;
    for (const wchar_t* entry = block.get(); *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        const std::wstring text(entry);
        const auto equals = text.find(L'=', 1);  // "=C:=…" entries start with '='
        if (equals == std::wstring::npos) continue;
        const std::wstring name = text.substr(0, equals);
        if (_wcsnicmp(name.c_str(), L"WEBVIEW2_", 9) == 0 ||
            _wcsnicmp(name.c_str(), L"ORBIS_STANDIN_", 14) == 0) {
            names.push_back(name);
        }
    }
    return names;
}

bool KeyExists(HKEY hive, const std::wstring& path, REGSAM view) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(hive, path.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(opened);
    return true;
}

std::optional<std::wstring> ReadVariable(const std::wstring& name) {
    std::wstring value(32767, L'\0');  // the longest a variable can be
    SetLastError(ERROR_SUCCESS);
    const DWORD length =
        GetEnvironmentVariableW(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    value.resize(length);
    return value;
}

}  // namespace

const std::wstring kCurrentVersion = L"" ORBIS_STANDIN_VERSION;
const std::wstring kOlderVersion = L"" ORBIS_STANDIN_OLDER_VERSION;
const std::wstring kEmptyVersionFolder = L"" ORBIS_STANDIN_EMPTY_VERSION_FOLDER;

fs::path ExecutableFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

fs::path RuntimeFolderRelativeToExecutable(const std::wstring& folder) {
    return fs::path(ORBIS_STANDIN_RUNTIMES) / folder;
}

fs::path RuntimeFolder(const std::wstring& folder) {
    return ExecutableFolder() / RuntimeFolderRelativeToExecutable(folder);
}

fs::path ClientLibraryOf(const std::wstring& folder) {
    return RuntimeFolder(folder) / L"EBWebView" / L"x64" / L"EmbeddedBrowserWebView.dll";
}

ScopedVariable::ScopedVariable(std::wstring name, const std::optional<std::wstring>& value)
    : name_(std::move(name)), previous_(ReadVariable(name_)) {
    SetEnvironmentVariableW(name_.c_str(), value ? value->c_str() : nullptr);
}

ScopedVariable::~ScopedVariable() {
    SetEnvironmentVariableW(name_.c_str(), previous_ ? previous_->c_str() : nullptr);
}

ScopedRegistration::ScopedRegistration(HKEY hive, const wchar_t* channel,
                                       const std::optional<fs::path>& folder, REGSAM view)
    : hive_(hive), path_(std::wstring(kClientStateKey) + channel), view_(view) {
    previous_ = ReadValue();
    if (folder) {
        for (std::wstring part = path_; !KeyExists(hive_, part, view_);) {
            created_.push_back(part);
            const auto separator = part.find_last_of(L'\\');
            if (separator == std::wstring::npos) break;
            part.resize(separator);
        }
        EXPECT_TRUE(WriteValue(folder->wstring())) << "cannot register a runtime";
    } else if (previous_) {
        DeleteValue();
    }
}

ScopedRegistration::~ScopedRegistration() {
    if (previous_) {
        WriteValue(*previous_);
    } else {
        DeleteValue();
    }
    for (const std::wstring& key : created_)
        RegDeleteKeyExW(hive_, key.c_str(), view_, 0);
}

std::optional<std::wstring> ScopedRegistration::ReadValue() const {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(hive_, path_.c_str(), 0, KEY_QUERY_VALUE | view_, &opened) != ERROR_SUCCESS) {
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

bool ScopedRegistration::WriteValue(const std::wstring& folder) const {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(hive_, path_.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view_, nullptr,
                        &opened, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const Win32::UniqueRegistryKey key(opened);
    return RegSetValueExW(
               key.get(), L"EBWebView", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
               static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void ScopedRegistration::DeleteValue() const {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(hive_, path_.c_str(), 0, KEY_SET_VALUE | view_, &opened) != ERROR_SUCCESS) {
        return;
    }
    const Win32::UniqueRegistryKey key(opened);
    RegDeleteValueW(key.get(), L"EBWebView");
}

bool PumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
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

void StandinRuntimeTest::SetUp() {
    ASSERT_TRUE(fs::exists(ClientLibraryOf(kCurrentVersion))) << "stand-in runtime not built";
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    comInitialized_ = true;
    for (const std::wstring& name : SteeringVariables())
        Set(name, std::nullopt);
    Set(L"ORBIS_STANDIN_LOG", (logFolder_.path() / "standin.jsonl").wstring());
    for (const wchar_t* channel : kAllChannels) {
        Register(HKEY_LOCAL_MACHINE, channel, std::nullopt);
        Register(HKEY_CURRENT_USER, channel, std::nullopt);
    }
}

void StandinRuntimeTest::TearDown() {
    // Newest first: a later change of the same variable or key restores what an earlier one
    // set, and the earliest restores what the machine had.
    while (!registrations_.empty())
        registrations_.pop_back();
    while (!variables_.empty())
        variables_.pop_back();
    if (comInitialized_) CoUninitialize();
}

void StandinRuntimeTest::Set(const std::wstring& name, const std::optional<std::wstring>& value) {
    variables_.push_back(std::make_unique<ScopedVariable>(name, value));
}

void StandinRuntimeTest::Register(HKEY hive, const wchar_t* channel,
                                  const std::optional<fs::path>& folder, REGSAM view) {
    registrations_.push_back(std::make_unique<ScopedRegistration>(hive, channel, folder, view));
}

std::vector<nlohmann::json> StandinRuntimeTest::LogLines() const {
    std::vector<nlohmann::json> lines;
    std::istringstream text(TestSupport::ReadFile((logFolder_.path() / "standin.jsonl").string()));
    for (std::string line; std::getline(text, line);) {
        lines.push_back(nlohmann::json::parse(line, nullptr, false));
    }
    return lines;
}

}  // namespace StandinTest
