#pragma once
// The network steps of one start, in the order the platform sees them: the update check against
// the built-in platform, then, for a link, its decoding and the update check against the link's
// own platform. Each runs only when the step before lets the start go on (no update offered, the
// link decoded), so whether they run one by one when the start-up sequence reaches them or ahead
// of it on a thread of their own, the platform receives the same calls in the same order. The
// sequence reads each outcome when it reaches that step and acts on it (prompts, boxes, windows)
// in its own order.
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "common/app_record.h"
#include "update/update_check.h"

struct StartupNetworkSteps {
    // Asks the platform under `base` (the built-in one when empty) for the latest version;
    // `trustBase` is the platform base address the request is judged against.
    std::function<UpdateCheckResult(double version, std::u16string_view base,
                                    std::u16string_view trustBase)>
        checkForUpdate;
    // Decodes `link` into `record`, which starts as a copy of the start's record.
    std::function<bool(const std::u16string& link, std::string& error, AppRecord& record)>
        parseSchemeArgs;
};

enum class NetworkStep { FirstUpdateCheck, LinkDecoding, LinkUpdateCheck };

struct LinkDecoding {
    bool decoded = false;
    std::string error;
    AppRecord record;  // the start's record with the link's values, when decoded
};

class StartupNetwork {
  public:
    // `link` is empty in init mode, which has only the first step.
    StartupNetwork(StartupNetworkSteps steps, double version, AppRecord record,
                   std::u16string link);
    // Waits for steps still running on their own thread.
    ~StartupNetwork();
    StartupNetwork(const StartupNetwork&) = delete;
    StartupNetwork& operator=(const StartupNetwork&) = delete;

    // Runs `step` alone, on this thread.
    void RunStep(NetworkStep step);
    // Starts the steps from `from` on on a thread of their own; `published` runs on that thread
    // after each outcome, and once more when the steps have stopped. False when no thread could
    // be started (nothing ran).
    bool Start(NetworkStep from, std::function<void()> published);

    bool Has(NetworkStep step) const;
    // True while steps run on their own thread.
    bool Running() const { return running_; }

    // Each only once Has(its step).
    UpdateCheckResult FirstUpdateCheck() const;
    LinkDecoding Decoding() const;
    UpdateCheckResult LinkUpdateCheck() const;

  private:
    // Runs one step; false when the start does not go on past it.
    bool RunOne(NetworkStep step);
    void Join();

    StartupNetworkSteps steps_;
    const double version_;
    const AppRecord record_;
    const std::u16string link_;

    mutable std::mutex mutex_;
    std::optional<UpdateCheckResult> firstCheck_;
    std::optional<LinkDecoding> decoding_;
    std::optional<UpdateCheckResult> linkCheck_;

    std::atomic<bool> running_{false};
    std::thread thread_;
};
