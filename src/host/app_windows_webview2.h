#pragma once
// The init and player windows on Win32 with their WebView2 hosts. This file only creates and
// owns them; what the windows do lives in the window controller, how they look and which events
// they forward in the Win32 main window.
#include <windows.h>

#include <memory>
#include <string>

#include "host/window_controller.h"

struct AppRecord;

namespace AppWindows {

// The application's main window with its browser host, owned by the entry point for the whole
// run. At most one main window exists: the player's or the init window.
class DesktopWindows {
  public:
    // `shell` is what the windows need of the application around them (splash, message boxes,
    // the end of the run).
    DesktopWindows(AppRecord& record, HINSTANCE instance, ShellOperations shell);
    ~DesktopWindows();
    DesktopWindows(const DesktopWindows&) = delete;
    DesktopWindows& operator=(const DesktopWindows&) = delete;

    // The player mode's first window, painted at once: it shows the loading text while the link
    // is decoded (which blocks) and later hosts the content.
    void OpenLoadingWindow();
    // Starts the content's browser in the loading window. False when there is no loading window
    // or the browser failed (reported already).
    bool CreatePlayerWindow();
    // `hostCreated` tells a failed browser start (already reported) from a window that never
    // existed.
    bool CreateInitScreen(bool& hostCreated);
    // Shuts the browser host down, waiting for its browser process; safe to call more than once.
    void DestroyHosts();

    // The main window, or null before one exists.
    HWND MainWindow() const;

  private:
    struct MainWindowParts;
    bool Start(RunMode mode);

    AppRecord& record_;
    HINSTANCE instance_;
    ShellOperations shell_;
    std::unique_ptr<MainWindowParts> main_;
};

// The browser data base folder: "<local application data>\<displayName>\WebView2Data", the
// application folder created on the way. Empty when the local application data folder is unknown.
std::u16string BrowserDataFolderBase(const std::u16string& displayName);

// Dispatches the messages already queued, without waiting: start-up blocks in its HTTPS calls
// right after showing a window, which must be painted first. A quit request met here is queued
// again for the message loop.
void DispatchQueuedMessages();

}  // namespace AppWindows
