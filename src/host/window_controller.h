#pragma once
// What the init and player windows do, written once over a browser host and a few window
// operations: the ready sequences, the commands pages send, show-once, both fullscreen toggles,
// home and tenant tracking. The platform's window file creates the window, paints it and
// forwards its size, move, minimise and close events here.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/app_observer.h"
#include "common/app_record.h"
#include "common/message_box.h"
#include "common/run_mode.h"
#include "host/browser_host.h"

namespace AppWindows {

inline constexpr int kInitWidth = 1024;
inline constexpr int kInitHeight = 768;
inline constexpr int kPlayerWidth = 1280;
inline constexpr int kPlayerHeight = 720;

// The screen to cover when the window's own cannot be told.
enum class ScreenFallback { Primary, Nearest };

// The window as the controller needs it.
class WindowOperations {
  public:
    virtual ~WindowOperations() = default;
    // Shows the window and brings it above every other window once, without leaving it on top.
    virtual void ShowAndRaise() = 0;
    // Shows the window where it stands, without raising it.
    virtual void Show() = 0;
    virtual bool IsMinimized() const = 0;
    // Remembers the current placement for RestorePlacement.
    virtual void SavePlacement() = 0;
    // Frameless over the whole screen (not only its work area). False when no screen could be
    // found; nothing has changed then.
    virtual bool CoverScreen(ScreenFallback fallback) = 0;
    // Back from covering the screen, framed: at the saved placement, or at a fixed size.
    virtual void RestorePlacement() = 0;
    virtual void RestoreAtSize(int width, int height) = 0;
    // Ends the window as the user would; the platform then reports WindowClosed.
    virtual void Close() = 0;
};

// What the windows need of the rest of the application; a missing operation does nothing.
struct ShellOperations {
    std::function<void()> closeSplash;
    std::function<MessageBoxResult(const MessageBoxRequest&)> showMessage;
    // The main window is gone: leave the message loop with this code.
    std::function<void(int exitCode)> endRun;
};

class WindowController {
  public:
    // `mode` chooses the window: the init window on the portal or the player window on the
    // record's content. Everything given must outlive the controller.
    WindowController(RunMode mode, AppRecord& record, WebView::BrowserHost& host,
                     WindowOperations& window, ShellOperations shell,
                     AppObservers::AppObserver* observer = nullptr);
    WindowController(const WindowController&) = delete;
    WindowController& operator=(const WindowController&) = delete;

    // Starts the browser ahead of the window, so that its engine starts while start-up still
    // waits on the network. The view stays hidden and the outcome, success or failure, is held
    // until Start: what the user sees, and in which order, does not change.
    void Prepare(const std::u16string& dataFolderBase);
    // Wires the browser's events and starts it, or adopts the prepared one (the folder is then
    // not used). False when it failed (the user has been told). A start that completes later
    // reports its own failure and closes the window.
    bool Start(const std::u16string& dataFolderBase);

    // Forwarded window events.
    void WindowMinimized();
    void WindowRestored();  // shown again at its size after being minimised
    void WindowResized(int width, int height);
    void WindowMoved();
    void WindowActivated();
    void SystemSuspending();
    void SystemResumed();
    void WindowClosed();

    bool IsShown() const { return shown_; }
    bool IsFullscreen() const { return fullscreen_; }

  private:
    enum class BrowserState { NotStarted, Starting, Ready, Failed };

    void BeginInitialize(const std::u16string& dataFolderBase);
    void BrowserInitialized(bool succeeded);
    void RunReadySequence();
    void ReportBrowserFailure();
    void WebMessage(const std::u16string& text);
    void NavigationStarting(const std::u16string& uri, bool& cancel);
    void NavigationCompleted();
    void RequestPrint();
    void GoHome();
    void ToggleInitFullscreen();
    void TogglePlayerFullscreen();
    void ShowOnce();
    void CommandRan(std::string_view name);
    void CloseSplash();

    RunMode mode_;
    AppRecord& record_;
    WebView::BrowserHost& host_;
    WindowOperations& window_;
    ShellOperations shell_;
    AppObservers::AppObserver* observer_;
    BrowserState state_ = BrowserState::NotStarted;
    bool startReturned_ = false;
    bool prepared_ = false;
    // Between Prepare and Start the engine's outcome waits here instead of acting.
    bool holdOutcome_ = false;
    std::optional<bool> heldOutcome_;
    bool shown_ = false;
    bool fullscreen_ = false;
    int exitCode_ = 0;
};

}  // namespace AppWindows
