#include "standin_log.h"

#include <cwchar>
#include <memory>
#include <type_traits>

#include "common/win32_resources_win32.h"

namespace Standin {
namespace {

struct EnvironmentBlockFreer {
    void operator()(wchar_t* block) const { FreeEnvironmentStringsW(block); }
};

bool StartsWithFolded(const wchar_t* text, const wchar_t* prefix) {
    return _wcsnicmp(text, prefix, std::wcslen(prefix)) == 0;
}

}  // namespace

std::string Utf8(const wchar_t* text) {
    if (text == nullptr || *text == L'\0') return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), bytes, nullptr, nullptr);
    utf8.pop_back();  // the converted NUL
    return utf8;
}

nlohmann::json TextOrNull(const wchar_t* text) {
    return text == nullptr ? nlohmann::json(nullptr) : nlohmann::json(Utf8(text));
}

nlohmann::json WebView2Variables() {
    nlohmann::json variables = nlohmann::json::object();
    const std::unique_ptr<wchar_t, EnvironmentBlockFreer> block(GetEnvironmentStringsW());
    if (!block) return variables;
    for (const wchar_t* entry = block.get(); *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        if (!StartsWithFolded(entry, L"WEBVIEW2_")) continue;
        const wchar_t* equals = std::wcschr(entry, L'=');
        if (equals == nullptr) continue;
        const std::wstring name(entry, equals);
        variables[Utf8(name.c_str())] = Utf8(equals + 1);
    }
    return variables;
}

std::string ThisLibraryPath() {
    HMODULE self = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ThisLibraryPath), &self);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(self, path, MAX_PATH);
    return Utf8(path);
}

void AppendLogLine(const nlohmann::json& line) {
    wchar_t logPath[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"ORBIS_STANDIN_LOG", logPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const Win32::UniqueHandle file(CreateFileW(logPath, FILE_APPEND_DATA,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return;
    // One write per line, so a reader never sees half of one.
    const std::string text = line.dump() + "\n";
    DWORD written = 0;
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace Standin
