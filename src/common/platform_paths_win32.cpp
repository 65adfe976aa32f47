#include <windows.h>

#include <string>

#include "common/platform_paths.h"

namespace PlatformPaths {

std::filesystem::path ExecutablePath() {
    // MAX_PATH first; installations under long paths need more, up to the 32767-character limit
    // of extended paths. A full buffer means the name was truncated.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD capacity = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), capacity);
        if (length == 0) return {};
        if (length < capacity) {
            buffer.resize(length);
            return std::filesystem::path(buffer);
        }
        if (buffer.size() > 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace PlatformPaths
