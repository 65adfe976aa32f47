#pragma once
// The few desktop services the portable start-up and update code asks the platform for.
#include <string>

#include "common/message_box.h"

// A modal box without owner; the flags are the Win32 values of MessageBoxFlags.
MessageBoxResult ShowMessageBox(const MessageBoxRequest& request);

// The same, owned by a window (a native window handle; null for none), which stays disabled while
// the box is open. Windows only: elsewhere the toolkit's boxes are not owned this way.
MessageBoxResult ShowOwnedMessageBox(void* owner, const MessageBoxRequest& request);

// Hands an address to the desktop's default browser.
void OpenInDesktopBrowser(const std::u16string& address);
