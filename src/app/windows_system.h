#pragma once
// Windows-only system queries behind the start-up decisions (defined in windows_system_win32.cpp;
// the portable rules that judge their results live in command_line.h).
#include <string>
#include <vector>

#include "app/os_version.h"

namespace WindowsSystem {

// The process's full command line split the way the shell does it (program path first).
std::vector<std::u16string> CommandLineArguments();

// The true OS version, through the query that compatibility shims do not touch. All zero when
// the query is unavailable.
OsVersion QueryOsVersion();

}  // namespace WindowsSystem
