#pragma once
// The init and player windows on Qt Widgets. Qt's part is the widgets themselves: creating them,
// painting the loading text and forwarding their events; what the windows do lives in the
// window controller.
#include <memory>

#include "host/window_controller.h"

struct AppRecord;

namespace AppWindows {

// The application's main windows with their browser hosts, owned by the entry point for the
// whole run. At most one main window exists: the player's or the init window.
class DesktopWindows {
  public:
    // `shell` is what the windows need of the application around them (splash, message boxes).
    DesktopWindows(AppRecord& record, ShellOperations shell);
    ~DesktopWindows();
    DesktopWindows(const DesktopWindows&) = delete;
    DesktopWindows& operator=(const DesktopWindows&) = delete;

    // Creates the mode's window, unshown, and starts its browser engine inside it, so that the
    // engine starts while start-up still waits on the network; the window's start then adopts
    // it. Does nothing once the window has its browser.
    void PrepareBrowser(RunMode mode);
    // The player mode's first window: it shows the loading text while the link is decoded and
    // later hosts the content.
    void OpenLoadingWindow();
    // Starts the content's browser in the player window (the loading window, or a new one when
    // the link was decoded before a loading window was needed). False when the browser failed
    // (reported already).
    bool CreatePlayerWindow();
    // `hostCreated` tells a failed browser start (already reported) from a window that never
    // existed.
    bool CreateInitScreen(bool& hostCreated);
    // Shuts the browser host down; safe to call more than once.
    void DestroyHosts();

  private:
    struct MainWindowParts;
    // The main window of `mode`, created unshown when there is none for that mode yet.
    MainWindowParts& MainWindowFor(RunMode mode);
    AppRecord& record_;
    ShellOperations shell_;
    std::unique_ptr<MainWindowParts> main_;
};

}  // namespace AppWindows
