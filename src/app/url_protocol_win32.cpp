#include <windows.h>

#include <string>

#include "app/url_protocol.h"
#include "common/wide_text_win32.h"
#include "common/win32_resources_win32.h"

namespace {

Win32::UniqueRegistryKey CreateKey(HKEY root, const std::u16string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, Win32::WidePtr(path), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return Win32::UniqueRegistryKey(key);
}

// The byte count includes the terminating NUL, which readers that trust the size rely on.
void SetString(HKEY key, const wchar_t* name, const std::u16string& value) {
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(char16_t));
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
}

}  // namespace

bool RegisterUrlProtocol(std::u16string_view scheme, std::u16string_view description,
                         std::u16string_view executablePath, std::u16string_view /*displayName*/) {
    const std::u16string schemeKey = u"Software\\Classes\\" + std::u16string(scheme);
    // The machine-wide classes are the fallback for a user whose own classes are locked; the
    // icon and command keys below stay per user all the same, as the shell reads them there.
    Win32::UniqueRegistryKey key = CreateKey(HKEY_CURRENT_USER, schemeKey);
    if (!key) key = CreateKey(HKEY_LOCAL_MACHINE, schemeKey);
    if (!key) return false;
    SetString(key.get(), nullptr, std::u16string(description));
    SetString(key.get(), L"URL Protocol", u"");
    key.reset();
    if (auto icon = CreateKey(HKEY_CURRENT_USER, schemeKey + u"\\DefaultIcon")) {
        SetString(icon.get(), nullptr, BuildSchemeIconValue(executablePath));
    }
    if (auto command = CreateKey(HKEY_CURRENT_USER, schemeKey + u"\\shell\\open\\command")) {
        SetString(command.get(), nullptr, BuildSchemeOpenCommand(executablePath));
    }
    return true;
}
