#pragma once
// Small operating-system queries the portable code needs. Implemented per platform
// (platform_paths_posix.cpp, platform_paths_win32.cpp).
#include <filesystem>

namespace PlatformPaths {

// Full path of the running executable; empty when it cannot be determined.
std::filesystem::path ExecutablePath();

}  // namespace PlatformPaths
