// Stands in for a runtime installer in the bootstrap tests: it takes a moment, as an installer
// does, registers the runtime folder named by ORBIS_TEST_INSTALLER_RUNTIME (when set) where the
// loader looks for an installed runtime, and then leaves "<its own path>.ran" behind, so a test
// sees that the copy it fetched was the program that ran and that the wait lasted until it had
// finished.
#include <windows.h>

#include <string>

namespace {

bool RegisterRuntime(const std::wstring& folder) {
    const wchar_t* key =
        L"Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                        nullptr, &opened, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const auto bytes = static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t));
    const bool written =
        RegSetValueExW(opened, L"EBWebView", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(folder.c_str()), bytes) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return written;
}

}  // namespace

int main() {
    Sleep(300);
    wchar_t runtime[MAX_PATH] = {};
    const DWORD runtimeLength =
        GetEnvironmentVariableW(L"ORBIS_TEST_INSTALLER_RUNTIME", runtime, MAX_PATH);
    if (runtimeLength > 0 && runtimeLength < MAX_PATH &&
        !RegisterRuntime(std::wstring(runtime, runtimeLength))) {
        return 1;
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    const std::wstring marker = std::wstring(path, length) + L".ran";
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(file);
    return 0;
}
