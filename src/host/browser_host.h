#pragma once
// One browser view inside one window, as the windows and the print flow use it. Each platform
// supplies one implementation (Qt WebEngine on Linux); the sequencing above it is written once.
#include <chrono>
#include <functional>
#include <string>

#include "content/request_filter.h"
#include "host/webview_status.h"

namespace WebView {

// What the browser tells its owner. Every member is optional; an empty one is not called.
struct BrowserEvents {
    // A top-level navigation is about to start; setting `cancel` refuses it.
    std::function<void(const std::u16string& uri, bool& cancel)> navigationStarting;
    // A request of any page or worker, decided before it leaves the machine.
    std::function<RequestDecision(const std::u16string& uri)> resourceRequested;
    // The text a page posted: the string itself, or the JSON text of anything else.
    std::function<void(const std::u16string& text)> webMessage;
    // Exactly once per Initialize call, before or after that call returns.
    std::function<void(bool succeeded, WebViewStatus::Result result)> initialized;
    // After every finished top-level navigation, successful or not.
    std::function<void(bool succeeded, int errorStatus)> navigationCompleted;
};

// How a shutdown ended for the browser's own processes.
enum class BrowserShutdown {
    Exited,            // the browser process ended within the wait
    WaitExpired,       // it was still running when the wait ran out
    NothingToWaitFor,  // no browser process of this host exists or the engine keeps none apart
};

class BrowserHost {
  public:
    virtual ~BrowserHost() = default;

    BrowserEvents events;

    // Starts the browser with its profile below `dataFolderBase`; up to max(attempts, 1) fresh
    // folders are tried. The outcome arrives through `events.initialized`.
    virtual void Initialize(const std::u16string& dataFolderBase, int attempts) = 0;
    // The success description or failure summary of the last initialisation.
    virtual const std::u16string& StatusText() const = 0;

    virtual void Navigate(const std::u16string& url) = 0;
    virtual void NavigateToString(const std::u16string& html) = 0;
    virtual void GoBack() = 0;  // only when there is history to go back to
    virtual void Reload() = 0;
    virtual void AddScriptOnDocumentCreated(const std::u16string& script) = 0;
    virtual void ApplyViewSettings() = 0;
    virtual void PostWebMessageAsJson(const std::u16string& json) = 0;

    virtual void SetVisible(bool visible) = 0;
    // Shows the view again with its bounds, unless the window is minimised.
    virtual void RestoreVisibility() = 0;
    // Sizes of zero leave the view as it is.
    virtual void Resize(int width, int height) = 0;
    // False when the platform's view follows its window by itself and needs no notice.
    virtual bool NotifyMoved() = 0;

    // The page asked to print: picker, then a silent print and one result message to the page.
    virtual void ShowSystemPrintDialog() = 0;

    // Closes the view; later calls do nothing until the next Initialize.
    virtual BrowserShutdown Shutdown(std::chrono::milliseconds maxWait) = 0;
};

// How long a closing host waits for its browser process.
inline constexpr std::chrono::milliseconds kShutdownWait{5000};

}  // namespace WebView
