// Stands in for a runtime installer in the bootstrap tests: it takes a moment, as an installer
// does, and then leaves "<its own path>.ran" behind, so a test sees that the copy it fetched was
// the program that ran and that the wait lasted until it had finished.
#include <windows.h>

#include <string>

int main() {
    Sleep(300);
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
