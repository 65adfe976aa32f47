#pragma once
// The operating-system gate's reading of a Windows version.
#include <cstdint>

struct OsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
};
// 7, 8, 10, 11 or -1.
int ClassifyWindowsVersion(const OsVersion& version);
