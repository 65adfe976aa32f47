#pragma once
// The message box as the portable code sees it: the Win32 flag values (the Windows adapter
// passes them through; other platforms translate them) and the button that was pressed.
#include <cstdint>
#include <string>

namespace MessageBoxFlags {
inline constexpr std::uint32_t kOk = 0x0;
inline constexpr std::uint32_t kOkCancel = 0x1;
inline constexpr std::uint32_t kYesNo = 0x4;
inline constexpr std::uint32_t kIconError = 0x10;
inline constexpr std::uint32_t kIconQuestion = 0x20;
inline constexpr std::uint32_t kIconWarning = 0x30;
inline constexpr std::uint32_t kIconInformation = 0x40;
inline constexpr std::uint32_t kSetForeground = 0x10000;
inline constexpr std::uint32_t kTopmost = 0x40000;
inline constexpr std::uint32_t kRight = 0x80000;
inline constexpr std::uint32_t kRtlReading = 0x100000;
}  // namespace MessageBoxFlags

enum class MessageBoxResult { Ok = 1, Cancel = 2, Yes = 6, No = 7, Closed = 0 };

struct MessageBoxRequest {
    std::u16string text;
    std::u16string caption;
    std::uint32_t flags = 0;
};
