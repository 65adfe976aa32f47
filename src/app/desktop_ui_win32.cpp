#include <windows.h>
// After windows.h, whose macros it uses.
#include <shellapi.h>

#include "app/desktop_ui.h"
#include "common/wide_text_win32.h"

namespace {

MessageBoxResult ResultOf(int pressed) {
    switch (pressed) {
        case IDOK:
            return MessageBoxResult::Ok;
        case IDCANCEL:
            return MessageBoxResult::Cancel;
        case IDYES:
            return MessageBoxResult::Yes;
        case IDNO:
            return MessageBoxResult::No;
        default:
            return MessageBoxResult::Closed;
    }
}

}  // namespace

// The portable flags are the Win32 values, so they pass through unchanged.
MessageBoxResult ShowMessageBox(const MessageBoxRequest& request) {
    return ShowOwnedMessageBox(nullptr, request);
}

MessageBoxResult ShowOwnedMessageBox(void* owner, const MessageBoxRequest& request) {
    return ResultOf(MessageBoxW(static_cast<HWND>(owner), Win32::WidePtr(request.text),
                                Win32::WidePtr(request.caption), static_cast<UINT>(request.flags)));
}

void OpenInDesktopBrowser(const std::u16string& address) {
    ShellExecuteW(nullptr, L"open", Win32::WidePtr(address), nullptr, nullptr, SW_SHOWNORMAL);
}
