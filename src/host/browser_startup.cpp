#include "host/browser_startup.h"

#include <utility>

namespace BrowserStartup {

namespace Status = WebViewStatus;

// Shared with the platform's completion of the current attempt, so that a completion arriving
// after the run was abandoned finds it marked and touches nothing else.
struct StartupAttempts::State : std::enable_shared_from_this<State> {
    StartupPlatform platform;
    std::u16string folderBase;
    std::u16string recoveryId;
    int attemptCount = 1;
    int nextAttempt = 0;
    Status::InitFailureRecord failures;
    std::function<void(const StartupReport&)> report;
    bool abandoned = false;

    void Report(bool succeeded, Result result, std::u16string statusText) {
        if (abandoned) return;
        abandoned = true;
        // The report may start a new run on the same object: it goes from a copy.
        const auto reportOnce = std::move(report);
        if (reportOnce) reportOnce({succeeded, result, std::move(statusText)});
    }

    void Fail(Result result, std::u16string_view stage, const std::u16string& folder) {
        failures.Record(Status::AsFailure(result), stage, folder);
    }

    // Runs attempts until one reaches the browser's creation or none is left.
    void NextAttempt() {
        while (!abandoned && nextAttempt < attemptCount) {
            const int attempt = nextAttempt++;
            const std::u16string folder = Status::AttemptFolder(folderBase, recoveryId, attempt);
            if (PrepareFolder(folder)) {
                CreateBrowser(folder);
                return;
            }
        }
        Report(
            false, failures.Reported(),
            Status::FormatInitFailure(failures, platform.runtime.kind, platform.runtime.version));
    }

    bool PrepareFolder(const std::u16string& folder) {
        const auto check = [&](std::u16string_view stage,
                               const std::function<Result(const std::u16string&)>& step) {
            const Result result = step ? step(folder) : Status::kOk;
            if (result < 0) Fail(result, stage, folder);
            return result >= 0;
        };
        if (!check(Status::kStageCreateUserDataFolder, platform.createFolder)) return false;
        if (!check(Status::kStageUserDataFolderWriteTest, platform.writeTest)) return false;
        for (const CreationStep& step : platform.steps) {
            if (!check(step.stage, step.run)) return false;
        }
        return true;
    }

    void CreateBrowser(const std::u16string& folder) {
        if (!platform.createBrowser) {
            Fail(Status::kFail, Status::kUnknownStage, folder);
            NextAttempt();
            return;
        }
        auto finishedOnce = std::make_shared<bool>(false);
        const std::weak_ptr<State> weak = weak_from_this();
        platform.createBrowser(
            folder, [weak, folder, finishedOnce](Result result, std::u16string_view stage) {
                const std::shared_ptr<State> self = weak.lock();
                if (self == nullptr || self->abandoned || *finishedOnce) return;
                *finishedOnce = true;
                self->AttemptFinished(folder, result, stage);
            });
    }

    void AttemptFinished(const std::u16string& folder, Result result, std::u16string_view stage) {
        if (result >= 0) {
            Report(
                true, Status::kOk,
                Status::FormatInitSuccess(platform.runtime.kind, platform.runtime.version, folder));
            return;
        }
        Fail(result, stage, folder);
        if (platform.discardAttempt) platform.discardAttempt();
        NextAttempt();
    }
};

StartupAttempts::~StartupAttempts() {
    Abandon();
}

void StartupAttempts::Abandon() {
    if (state_ != nullptr) state_->abandoned = true;
    state_.reset();
}

void StartupAttempts::Run(std::u16string_view dataFolderBase, int attempts,
                          StartupPlatform platform,
                          std::function<void(const StartupReport&)> report) {
    Abandon();
    auto state = std::make_shared<State>();
    state->report = std::move(report);
    if (!platform.windowExists || dataFolderBase.empty()) {
        state->Report(false, Status::kInvalidArg, std::u16string(Status::kInvalidParentOrFolder));
        return;
    }
    state->folderBase =
        std::u16string(dataFolderBase) + std::u16string(platform.runtime.folderSuffix);
    state->recoveryId = Status::RecoveryId(platform.processId, platform.ticks);
    state->attemptCount = attempts < 1 ? 1 : attempts;
    state->platform = std::move(platform);
    state_ = state;
    state->NextAttempt();
}

}  // namespace BrowserStartup
