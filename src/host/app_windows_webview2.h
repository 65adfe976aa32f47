#pragma once
// The init and player windows on Win32 with their WebView2 hosts. This file only creates and
// owns them; what the windows do lives in the window controller, how they look and which events
// they forward in the Win32 main window.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "host/main_window_win32.h"
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

    // Creates the mode's window, unshown, and starts its browser inside it, so that the browser's
    // creation goes on while start-up still waits on the network; the window's start then adopts
    // it. Does nothing once the window has its browser.
    void PrepareBrowser(RunMode mode);
    // The player mode's first window, painted at once: it shows the loading text while the link
    // is decoded and later hosts the content.
    void OpenLoadingWindow();
    // Starts the content's browser in the player window (the loading window, or a new one when
    // the link was decoded before a loading window was needed). False when the window could not
    // be created or the browser failed (reported already).
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
    // The main window of `mode`, created unshown when there is none for that mode yet; null when
    // it could not be created.
    MainWindowParts* WindowFor(RunMode mode);
    void CreateBrowser(MainWindowParts& parts);
    bool Start(MainWindowParts& parts);

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

// Dispatches every message but input (which stays queued, as it did while start-up blocked)
// until `done` holds, sleeping while there is none; `WakeMessageWait` from any thread makes it
// look at `done` again. False when a quit request arrived meanwhile (it is queued again).
bool DispatchMessagesUntil(const std::function<bool()>& done);
void WakeMessageWait(DWORD uiThreadId);

}  // namespace AppWindows
