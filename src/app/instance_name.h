#pragma once
// The name that keeps one process per run mode.
#include <string>
#include <string_view>

#include "common/run_mode.h"

// displayName + "|player" or "|init".
std::u16string InstanceKey(std::u16string_view displayName, RunMode mode);
// "Local\ZelvanPlayer.WebView2." + FNV-1a-style hash of the lower-cased key, lower-case hex.
std::u16string BuildInstanceMutexName(std::u16string_view key);
