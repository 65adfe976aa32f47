#pragma once
// Starting a browser in the user's data folder, attempt by attempt: each attempt gets its own
// folder (the first the plain one, later ones fresh recovery folders), which must be creatable
// and writable before the platform's own creation steps run. Every failure is kept as a step
// name and a result code; the outcome is one success line or one summary naming the first and
// the last failing step. The platform supplies the steps; the order and the texts are here.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/webview_status.h"

namespace BrowserStartup {

using WebViewStatus::Result;

// The engine a platform starts, as reports name it.
struct Runtime {
    std::u16string_view kind;  // "Evergreen", "Fixed", "QtWebEngine"
    std::u16string version;    // empty when unknown
    std::u16string_view folderSuffix;
};

// A platform step between the folder checks and the browser's creation. A failing result ends
// the attempt, reported at `stage`.
struct CreationStep {
    std::u16string_view stage;
    std::function<Result(const std::u16string& folder)> run;
};

// Ends an attempt that created its browser: the result and the step that ended it
// (WebViewStatus::kStageComplete on success).
using AttemptFinished = std::function<void(Result result, std::u16string_view stage)>;

struct StartupPlatform {
    Runtime runtime;
    bool windowExists = false;
    // Tell the recovery folders of one process from another's.
    std::uint64_t processId = 0;
    std::uint64_t ticks = 0;
    // Each returns kOk or the failure code. An existing folder is not a failure.
    std::function<Result(const std::u16string& folder)> createFolder;
    // Creates a file in the folder and removes it again.
    std::function<Result(const std::u16string& folder)> writeTest;
    std::vector<CreationStep> steps;
    // Creates the browser with its data in `folder`; calls `finished` once, now or later.
    std::function<void(const std::u16string& folder, AttemptFinished finished)> createBrowser;
    // Releases what an attempt's browser creation left behind, before the next attempt.
    std::function<void()> discardAttempt;
};

struct StartupReport {
    bool succeeded = false;
    Result result = WebViewStatus::kOk;
    std::u16string statusText;
};

// One initialisation at a time. Destroying the object, or starting again, abandons a run whose
// browser has not reported yet: nothing more is reported for it.
class StartupAttempts {
  public:
    StartupAttempts() = default;
    ~StartupAttempts();
    StartupAttempts(const StartupAttempts&) = delete;
    StartupAttempts& operator=(const StartupAttempts&) = delete;

    // Tries up to max(attempts, 1) folders below `dataFolderBase` (with the runtime's suffix).
    // `report` runs exactly once, when an attempt succeeds or the last one has failed.
    void Run(std::u16string_view dataFolderBase, int attempts, StartupPlatform platform,
             std::function<void(const StartupReport&)> report);
    void Abandon();

  private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace BrowserStartup
