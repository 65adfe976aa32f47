#include "host/runtime_bootstrap_win32.h"

#include <shellapi.h>
#include <urlmon.h>

#include <utility>

#include "common/wide_text_win32.h"
#include "common/win32_resources_win32.h"

namespace RuntimeBootstrap {
namespace {

std::u16string FromWide(const wchar_t* text, std::size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

std::u16string ExecutableFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};  // unreadable or cut short
    const std::u16string full = FromWide(path, length);
    const std::size_t separator = full.rfind(u'\\');
    return separator == std::u16string::npos ? std::u16string() : full.substr(0, separator);
}

bool IsFile(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(Win32::WidePtr(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::u16string TempFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH) return {};
    return FromWide(path, length);
}

bool Download(const std::u16string& address, const std::u16string& path) {
    return SUCCEEDED(
        URLDownloadToFileW(nullptr, Win32::WidePtr(address), Win32::WidePtr(path), 0, nullptr));
}

void RunAndWait(const std::u16string& path) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // No error box of the shell's own when the file cannot be started: the search afterwards
    // decides, and its warning is the one message the user gets.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = Win32::WidePtr(path);
    info.nShow = SW_SHOWNORMAL;
    // ShellExecuteExW rather than CreateProcessW: the installer may ask for elevation.
    if (!ShellExecuteExW(&info)) return;
    const Win32::UniqueHandle process(info.hProcess);
    if (process) WaitForSingleObject(process.get(), INFINITE);
}

void DeleteInstaller(const std::u16string& path) {
    DeleteFileW(Win32::WidePtr(path));
}

}  // namespace

VersionQuery VersionQueryOverLoader(LoaderVersionFunction getVersion) {
    return [getVersion = std::move(getVersion)](
               const std::u16string& folder) -> std::optional<std::u16string> {
        if (!getVersion) return std::nullopt;
        LPWSTR raw = nullptr;
        const HRESULT result = getVersion(folder.empty() ? nullptr : Win32::WidePtr(folder), &raw);
        const Win32::CoTaskString version(raw);
        if (FAILED(result) || version == nullptr) return std::nullopt;
        return FromWide(version.get(), wcslen(version.get()));
    };
}

Operations SystemOperations(VersionQuery queryVersion,
                            std::function<MessageBoxResult(const MessageBoxRequest&)> showMessage) {
    Operations operations;
    operations.queryVersion = std::move(queryVersion);
    operations.executableFolder = ExecutableFolder;
    operations.isFile = IsFile;
    operations.showMessage = std::move(showMessage);
    operations.tempFolder = TempFolder;
    operations.download = Download;
    operations.runAndWait = RunAndWait;
    operations.deleteFile = DeleteInstaller;
    return operations;
}

}  // namespace RuntimeBootstrap
