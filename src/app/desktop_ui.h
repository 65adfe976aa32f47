#pragma once
// The few desktop services the portable start-up and update code asks the platform for.
#include <string>

#include "common/message_box.h"

// A modal box without owner; the flags are the Win32 values of MessageBoxFlags.
MessageBoxResult ShowMessageBox(const MessageBoxRequest& request);

// Hands an address to the desktop's default browser.
void OpenInDesktopBrowser(const std::u16string& address);
