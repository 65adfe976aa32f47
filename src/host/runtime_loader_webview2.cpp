#include "host/runtime_loader_webview2.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <optional>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "common/win32_resources_win32.h"

namespace WebView2Loader {
namespace {

// The client library matches the bitness of this process, not of Windows: a 64-bit program
// cannot load the library of an x86-only runtime.
#if defined(__x86_64__) || defined(_M_X64)
constexpr wchar_t kClientLibraryInFolder[] = L"\\EBWebView\\x64\\EmbeddedBrowserWebView.dll";
#elif defined(__aarch64__) || defined(_M_ARM64)
constexpr wchar_t kClientLibraryInFolder[] = L"\\EBWebView\\arm64\\EmbeddedBrowserWebView.dll";
#elif defined(__i386__) || defined(_M_IX86)
constexpr wchar_t kClientLibraryInFolder[] = L"\\EBWebView\\x86\\EmbeddedBrowserWebView.dll";
#else
#error "no WebView2 client library for this architecture"
#endif

constexpr wchar_t kProductVersionEntry[] = L"\\StringFileInfo\\040904B0\\ProductVersion";
constexpr char kCreateEnvironmentExport[] = "CreateWebViewEnvironmentWithOptionsInternal";

struct Channel {
    const wchar_t* clientStateKey;
    const wchar_t* name;  // the suffix of the version text; empty for the stable channel
};

// Most stable first. The browser's own stable channel is not a WebView2 runtime and the
// vendor-internal channel is not searched.
constexpr std::array<Channel, 4> kChannels = {{
    {L"Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}", L""},
    {L"Software\\Microsoft\\EdgeUpdate\\ClientState\\{2CD8A007-E189-409D-A2C8-9AF4EF3C72AA}",
     L"Beta"},
    {L"Software\\Microsoft\\EdgeUpdate\\ClientState\\{0D50BFEC-CD6A-4F9A-964C-C7416E3ACB10}",
     L"Dev"},
    {L"Software\\Microsoft\\EdgeUpdate\\ClientState\\{65C35B14-6C1D-4122-AC46-7148CC9D6497}",
     L"Canary"},
}};

using CreateEnvironmentEntry = HRESULT(STDMETHODCALLTYPE*)(
    bool checkRunningInstance, int runtimeType, PCWSTR userDataFolder, IUnknown* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

HRESULT NoRuntime() {
    return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
}

// Some calls fail without setting the last error; a failure must never read as S_OK.
HRESULT LastErrorOr(DWORD fallback) {
    const DWORD error = GetLastError();
    return HRESULT_FROM_WIN32(error != ERROR_SUCCESS ? error : fallback);
}

// A variable that exists with an empty value is a value (it still overrides an argument).
std::optional<std::wstring> ProcessVariable(const wchar_t* name) {
    std::wstring value;
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD needed =
            GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size() + 1));
        if (needed == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::wstring();
        }
        if (needed <= value.size()) {
            value.resize(needed);
            return value;
        }
        value.resize(needed);  // room for the text; the string keeps its own NUL past size()
    }
}

bool IsOne(const std::optional<std::wstring>& value) {
    return value && *value == L"1";
}

struct Overrides {
    std::optional<std::wstring> browserFolder;
    std::optional<std::wstring> userDataFolder;
    bool leastStableFirst = false;
};

Overrides ReadOverrides() {
    Overrides overrides;
    overrides.browserFolder = ProcessVariable(L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER");
    overrides.userDataFolder = ProcessVariable(L"WEBVIEW2_USER_DATA_FOLDER");
    // The older variable and its successor mean the same when set to 1.
    overrides.leastStableFirst = IsOne(ProcessVariable(L"WEBVIEW2_RELEASE_CHANNEL_PREFERENCE")) ||
                                 IsOne(ProcessVariable(L"WEBVIEW2_CHANNEL_SEARCH_KIND"));
    return overrides;
}

void TrimTrailingSeparators(std::wstring& path) {
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
}

std::wstring ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// "C:\…", "C:…", "\…" and "\\server\…" name their own root; anything else is relative.
bool NamesItsRoot(std::wstring_view path) {
    if (!path.empty() && path.front() == L'\\') return true;
    return path.size() >= 2 && path[1] == L':';
}

std::wstring ResolveGivenFolder(std::wstring folder) {
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    TrimTrailingSeparators(folder);
    if (NamesItsRoot(folder)) return folder;
    return ExecutableFolder() + L"\\" + folder;
}

// The browser's own installation cannot back WebView2. The folder itself counts too, not only
// what lies below it.
bool InsideBrowserInstallation(const std::wstring& folder) {
    const std::wstring withSeparator = folder + L"\\";
    return Text::ContainsFolded(
        std::u16string_view(reinterpret_cast<const char16_t*>(withSeparator.data()),
                            withSeparator.size()),
        u"\\edge\\application\\");
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

HRESULT ReadProductVersion(const std::wstring& library, std::wstring* version) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(library.c_str(), &ignored);
    if (size == 0) return LastErrorOr(ERROR_RESOURCE_TYPE_NOT_FOUND);
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(library.c_str(), 0, size, block.data())) {
        return LastErrorOr(ERROR_RESOURCE_TYPE_NOT_FOUND);
    }
    void* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), kProductVersionEntry, &text, &length) || text == nullptr) {
        return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    }
    // The reported length may or may not count the terminating NUL.
    std::wstring found(static_cast<const wchar_t*>(text),
                       wcsnlen(static_cast<const wchar_t*>(text), length));
    if (found.empty()) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    *version = std::move(found);
    return S_OK;
}

HRESULT RuntimeInFolder(const std::wstring& folder, RuntimeKind kind, const wchar_t* channel,
                        RuntimeLocation* location) {
    RuntimeLocation found;
    found.kind = kind;
    found.clientLibrary = folder + kClientLibraryInFolder;
    found.channel = channel;
    if (!IsFile(found.clientLibrary)) return NoRuntime();
    const HRESULT hr = ReadProductVersion(found.clientLibrary, &found.version);
    if (FAILED(hr)) return hr;
    *location = std::move(found);
    return S_OK;
}

// The installed runtime's versioned folder, from the 32-bit view of the registry where the
// updater writes it (HKCU is not redirected, so the flag changes nothing there).
std::optional<std::wstring> RegisteredFolder(HKEY hive, const wchar_t* clientStateKey) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(hive, clientStateKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &opened) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    const Win32::UniqueRegistryKey key(opened);
    DWORD bytes = 0;
    if (RegGetValueW(key.get(), nullptr, L"EBWebView", RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring folder(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(folder.size() * sizeof(wchar_t));
    if (RegGetValueW(key.get(), nullptr, L"EBWebView", RRF_RT_REG_SZ, nullptr, folder.data(),
                     &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    folder.resize(wcsnlen(folder.c_str(), folder.size()));
    TrimTrailingSeparators(folder);
    if (folder.empty()) return std::nullopt;
    return folder;
}

// A registration whose folder lacks the client library or its version is passed over, so a
// half-removed runtime does not hide a working one of the next channel.
HRESULT FindInstalledRuntime(bool leastStableFirst, RuntimeLocation* location) {
    for (std::size_t index = 0; index < kChannels.size(); ++index) {
        const Channel& channel = kChannels[leastStableFirst ? kChannels.size() - 1 - index : index];
        // Machine-wide registrations before per-user ones, as the vendor's current loader
        // documents (its older text and one public reimplementation search per user first).
        // Within one channel only, so a per-user stable runtime still wins over a machine-wide
        // beta one.
        for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            const auto folder = RegisteredFolder(hive, channel.clientStateKey);
            if (folder && SUCCEEDED(RuntimeInFolder(*folder, RuntimeKind::Installed, channel.name,
                                                    location))) {
                return S_OK;
            }
        }
    }
    return NoRuntime();
}

// The runtime's objects live on a single-threaded apartment; refusing any other thread here
// gives the documented answer without loading the runtime.
HRESULT CheckCallingApartment() {
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    if (FAILED(CoGetApartmentType(&type, &qualifier))) return CO_E_NOTINITIALIZED;
    if (type == APTTYPE_STA || type == APTTYPE_MAINSTA) return S_OK;
    return RPC_E_CHANGED_MODE;
}

}  // namespace

HRESULT FindRuntime(PCWSTR browserExecutableFolder, RuntimeLocation* location) {
    if (location == nullptr) return E_POINTER;
    const Overrides overrides = ReadOverrides();
    // An override that exists replaces the argument even when empty (then: the installed runtime).
    std::wstring folder = overrides.browserFolder.value_or(
        browserExecutableFolder != nullptr ? browserExecutableFolder : L"");
    if (folder.empty()) return FindInstalledRuntime(overrides.leastStableFirst, location);
    folder = ResolveGivenFolder(std::move(folder));
    if (InsideBrowserInstallation(folder)) return HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);
    return RuntimeInFolder(folder, RuntimeKind::FixedVersion, L"", location);
}

HRESULT GetAvailableCoreWebView2BrowserVersionString(PCWSTR browserExecutableFolder,
                                                     LPWSTR* versionInfo) {
    if (versionInfo == nullptr) return E_POINTER;
    *versionInfo = nullptr;
    RuntimeLocation location;
    const HRESULT hr = FindRuntime(browserExecutableFolder, &location);
    if (FAILED(hr)) return hr;
    std::wstring text = location.version;
    if (!location.channel.empty()) text += L" " + location.channel;
    auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (copy == nullptr) return E_OUTOFMEMORY;
    std::copy(text.c_str(), text.c_str() + text.size() + 1, copy);  // with its NUL
    *versionInfo = copy;
    return S_OK;
}

HRESULT CreateCoreWebView2EnvironmentWithOptions(
    PCWSTR browserExecutableFolder, PCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
    if (handler == nullptr) return E_POINTER;
    HRESULT hr = CheckCallingApartment();
    if (FAILED(hr)) return hr;
    RuntimeLocation location;
    hr = FindRuntime(browserExecutableFolder, &location);
    if (FAILED(hr)) return hr;

    // The runtime's own dependencies lie beside its library, not beside this program.
    const Win32::UniqueModule library(
        LoadLibraryExW(location.clientLibrary.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!library) return LastErrorOr(ERROR_MOD_NOT_FOUND);
    const FARPROC address = GetProcAddress(library.get(), kCreateEnvironmentExport);
    if (address == nullptr) return LastErrorOr(ERROR_PROC_NOT_FOUND);
    // Once called, the library owns threads, windows and objects that outlive this call and this
    // program's references; unloading it under them would crash later, far from here. Pinning
    // keeps it for the life of the process while `library` still gives back its own reference.
    // (A static holder would free it again in the static destructors at exit, with the runtime's
    // threads possibly still running, and holds one library where a process may use two.)
    HMODULE pinned = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(address)), &pinned)) {
        return LastErrorOr(ERROR_MOD_NOT_FOUND);
    }
    // Through void(*)() because the export's type is known only by its documented signature.
    const auto createEnvironment =
        reinterpret_cast<CreateEnvironmentEntry>(reinterpret_cast<void (*)()>(address));

    std::optional<std::wstring> userData = ReadOverrides().userDataFolder;
    if (!userData && userDataFolder != nullptr) userData = userDataFolder;
    // An empty folder asks for the runtime's default, which only a NULL argument says for sure.
    const PCWSTR userDataArgument = userData && !userData->empty() ? userData->c_str() : nullptr;
    // Asking for the running instance check lets a browser process of another runtime version,
    // already running on the same user-data folder, serve the call instead of failing it.
    // The caller's handler goes to the library as it is: no retry of a failed creation here (the
    // host has its own attempts, and a hidden retry would blur which stage failed), and the
    // library already hands over an environment interface.
    return createEnvironment(true, static_cast<int>(location.kind), userDataArgument, options,
                             handler);
}

}  // namespace WebView2Loader
