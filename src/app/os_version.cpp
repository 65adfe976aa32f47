#include "app/os_version.h"

int ClassifyWindowsVersion(const OsVersion& version) {
    if (version.major >= 10) return version.build >= 22000 ? 11 : 10;
    if (version.major == 6) return version.minor < 2 ? 7 : 8;
    return -1;
}
