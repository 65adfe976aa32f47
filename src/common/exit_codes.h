#pragma once
// Exit codes of the start-up paths (the normal end returns whatever the message loop returned).

namespace StartupExit {
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
}  // namespace StartupExit
