#include "host/window_controller.h"

#include "common/exit_codes.h"
#include "content/content_page.h"
#include "content/navigation_policy.h"
#include "content/request_filter.h"
#include "host/web_messages.h"
#include "host/webview_status.h"

namespace AppWindows {

namespace {

void ApplyPlan(WebView::BrowserHost& host, const DisplayPlan& plan) {
    for (const std::u16string& script : plan.scripts) {
        host.AddScriptOnDocumentCreated(script);
    }
    if (plan.action == DisplayPlan::Action::NavigateToString) {
        host.NavigateToString(plan.target);
    } else {
        host.Navigate(plan.target);
    }
}

// A failed start is reported at once: a further attempt would run in a fresh, empty recovery
// profile, where the user is signed out of the platform.
constexpr int kBrowserAttempts = 1;

}  // namespace

WindowController::WindowController(RunMode mode, AppRecord& record, WebView::BrowserHost& host,
                                   WindowOperations& window, ShellOperations shell,
                                   AppObservers::AppObserver* observer)
    : mode_(mode),
      record_(record),
      host_(host),
      window_(window),
      shell_(std::move(shell)),
      observer_(observer) {}

void WindowController::Prepare(const std::u16string& dataFolderBase) {
    if (prepared_) return;
    prepared_ = true;
    holdOutcome_ = true;
    BeginInitialize(dataFolderBase);
}

bool WindowController::Start(const std::u16string& dataFolderBase) {
    shown_ = false;
    startReturned_ = false;
    if (!prepared_) {
        BeginInitialize(dataFolderBase);
    } else {
        holdOutcome_ = false;
        // An engine still starting reports later, the way an unprepared one does.
        if (heldOutcome_) {
            const bool succeeded = *heldOutcome_;
            heldOutcome_.reset();
            if (succeeded) host_.SetVisible(true);
            BrowserInitialized(succeeded);
        }
    }
    startReturned_ = true;
    if (state_ == BrowserState::Failed) {
        ReportBrowserFailure();
        return false;
    }
    return true;
}

void WindowController::BeginInitialize(const std::u16string& dataFolderBase) {
    state_ = BrowserState::Starting;
    WebView::BrowserEvents& events = host_.events;
    const RunMode mode = mode_;
    AppRecord& record = record_;
    events.resourceRequested = [mode, &record](const std::u16string& uri) {
        return DecideRequest(uri, mode, record.baseUrl);
    };
    events.webMessage = [this](const std::u16string& text) { WebMessage(text); };
    events.navigationStarting = [this](const std::u16string& uri, bool& cancel) {
        NavigationStarting(uri, cancel);
    };
    // Only the init window follows its navigations: the player shows itself once its content is
    // planned, while the portal may take several loads to settle.
    if (mode_ == RunMode::Init) {
        events.navigationCompleted = [this](bool, int) { NavigationCompleted(); };
    } else {
        events.navigationCompleted = nullptr;
    }
    events.initialized = [this](bool succeeded, WebViewStatus::Result) {
        BrowserInitialized(succeeded);
    };
    host_.Initialize(dataFolderBase, kBrowserAttempts);
}

void WindowController::BrowserInitialized(bool succeeded) {
    if (state_ != BrowserState::Starting) {
        return;
    }
    if (holdOutcome_) {
        if (heldOutcome_) return;  // one report per start
        heldOutcome_ = succeeded;
        // The window may show its loading text before Start: the view must not cover it.
        if (succeeded) host_.SetVisible(false);
        return;
    }
    state_ = succeeded ? BrowserState::Ready : BrowserState::Failed;
    if (succeeded) {
        RunReadySequence();
        return;
    }
    if (mode_ == RunMode::Init) {
        CloseSplash();
    }
    if (startReturned_) {
        // Start has told its caller the window runs: the failure ends the run from here.
        ReportBrowserFailure();
        exitCode_ = StartupExit::kFailed;
        window_.Close();
    }
}

void WindowController::RunReadySequence() {
    host_.ApplyViewSettings();
    if (mode_ == RunMode::Init) {
        // The init window shows itself when its first page has loaded.
        ApplyPlan(host_, PlanInitDisplay());
        return;
    }
    ApplyPlan(host_, PlanContentDisplay(record_));
    shown_ = true;
    CloseSplash();
    window_.ShowAndRaise();
    if (observer_ != nullptr) observer_->Report("contentShown", {});
}

// The splash closes first so that the box is not hidden behind it.
void WindowController::ReportBrowserFailure() {
    CloseSplash();
    if (!shell_.showMessage) return;
    shell_.showMessage({WebViewStatus::InitFailureBoxText(host_.StatusText()),
                        std::u16string(WebViewStatus::kInitFailedCaption),
                        MessageBoxFlags::kIconError | MessageBoxFlags::kSetForeground |
                            MessageBoxFlags::kTopmost});
}

void WindowController::NavigationStarting(const std::u16string& uri, bool& cancel) {
    if (mode_ == RunMode::Player) {
        if (!IsPlayerNavigationAllowed(uri, record_)) cancel = true;
        return;
    }
    if (TrackTenant(uri, record_) && observer_ != nullptr) {
        observer_->Report("baseUrl", {{"value", record_.baseUrl}});
    }
}

// Every finished load raises the init window again, not only the first.
void WindowController::NavigationCompleted() {
    CloseSplash();
    window_.ShowAndRaise();
}

void WindowController::WebMessage(const std::u16string& text) {
    switch (ClassifyWebMessage(text, mode_)) {
        case WebCommand::Print:
            RequestPrint();
            break;
        case WebCommand::Home:
            GoHome();
            break;
        case WebCommand::Back:
            CommandRan("back");
            host_.GoBack();
            break;
        case WebCommand::Reload:
            CommandRan("reload");
            host_.Reload();
            break;
        case WebCommand::InitFullscreen:
            ToggleInitFullscreen();
            break;
        case WebCommand::PlayerFullscreen:
            TogglePlayerFullscreen();
            break;
        case WebCommand::ShowOnce:
            ShowOnce();
            break;
        case WebCommand::None:
            break;
    }
}

void WindowController::RequestPrint() {
    CommandRan("print");
    host_.ShowSystemPrintDialog();
}

void WindowController::GoHome() {
    CommandRan("home");
    const std::u16string home = ApplyHomeCommand(record_);
    if (observer_ != nullptr) observer_->Report("baseUrl", {{"value", record_.baseUrl}});
    host_.Navigate(home);
}

// The init window keeps its own placement to come back to.
void WindowController::ToggleInitFullscreen() {
    if (fullscreen_) {
        window_.RestorePlacement();
        fullscreen_ = false;
    } else {
        window_.SavePlacement();
        if (!window_.CoverScreen(ScreenFallback::Primary)) return;
        fullscreen_ = true;
    }
    if (observer_ != nullptr) {
        observer_->Report("command", {{"name", "initFullscreen"}, {"fullscreen", fullscreen_}});
    }
}

// The player flips its flag whatever the screen says and comes back at its creation size, not
// at the earlier placement.
void WindowController::TogglePlayerFullscreen() {
    fullscreen_ = !fullscreen_;
    if (fullscreen_) {
        window_.CoverScreen(ScreenFallback::Nearest);
    } else {
        window_.RestoreAtSize(kPlayerWidth, kPlayerHeight);
    }
    if (observer_ != nullptr) {
        observer_->Report("command", {{"name", "playerFullscreen"}, {"fullscreen", fullscreen_}});
    }
}

// Only while the content display has not shown the window already.
void WindowController::ShowOnce() {
    if (shown_) return;
    shown_ = true;
    window_.Show();
    CommandRan("showOnce");
}

void WindowController::CloseSplash() {
    if (shell_.closeSplash) shell_.closeSplash();
}

void WindowController::CommandRan(std::string_view name) {
    if (observer_ != nullptr) observer_->Report("command", {{"name", name}});
}

void WindowController::WindowMinimized() {
    host_.SetVisible(false);
}

void WindowController::WindowRestored() {
    host_.RestoreVisibility();
}

void WindowController::WindowResized(int width, int height) {
    host_.Resize(width, height);
    host_.RestoreVisibility();
}

void WindowController::WindowMoved() {
    host_.NotifyMoved();
}

void WindowController::WindowActivated() {
    if (!window_.IsMinimized()) host_.RestoreVisibility();
}

void WindowController::SystemSuspending() {
    host_.SetVisible(false);
}

void WindowController::SystemResumed() {
    if (!window_.IsMinimized()) host_.RestoreVisibility();
}

void WindowController::WindowClosed() {
    host_.Shutdown(WebView::kShutdownWait);
    if (shell_.endRun) shell_.endRun(exitCode_);
}

}  // namespace AppWindows
