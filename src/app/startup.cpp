#include "app/startup.h"

#include <optional>
#include <string>

#include "app/command_line.h"
#include "app/instance_name.h"
#include "app/startup_network.h"
#include "common/text.h"
#include "common/version_number.h"
#include "tenant_profile.h"

namespace {

constexpr int kMinimumWindowsVersion = 10;

// One run of the sequence. Each step either lets the next one run or yields the exit code.
class StartupRun {
  public:
    StartupRun(AppRecord& record, const StartupOperations& operations)
        : record_(record), ops_(operations) {}

    int Run(const std::vector<std::u16string>& arguments, std::u16string_view rawCommandLine) {
        const LinkChoice choice = ChooseLink(arguments, rawCommandLine, record_.tenantId);
        const std::u16string lockName =
            BuildInstanceMutexName(InstanceKey(record_.displayName, choice.mode));
        const InstanceLockResult lock = ops_.acquireInstanceLock
                                            ? ops_.acquireInstanceLock(lockName)
                                            : InstanceLockResult::Failed;
        if (lock == InstanceLockResult::Failed) return StartupExit::kFailed;
        if (lock == InstanceLockResult::AlreadyRunning) {
            // The refused process's link is deliberately not handed to the running one.
            Show(StartupTexts::kAlreadyRunning, record_.displayName,
                 StartupTexts::kAlreadyRunningFlags);
            return StartupExit::kOk;
        }
        const int code = RunLocked(choice);
        if (ops_.shutdown) ops_.shutdown();
        return code;
    }

  private:
    // Everything after the instance lock; the caller shuts down on every path.
    int RunLocked(const LinkChoice& choice) {
        if (ops_.showSplash) ops_.showSplash();
        const int os = ops_.classifyOsVersion ? ops_.classifyOsVersion() : -1;
        if (os < kMinimumWindowsVersion) {
            // The splash is left to go with the process; the box is topmost above it.
            Show(StartupTexts::kUnsupportedOs, StartupTexts::kUnsupportedOsCaption,
                 StartupTexts::kErrorFlags);
            return StartupExit::kFailed;
        }
        if (!ops_.ensureRuntime || !ops_.ensureRuntime()) return StartupExit::kFailed;
        StartupNetworkSteps steps;
        steps.checkForUpdate = ops_.checkForUpdate;
        steps.parseSchemeArgs = ops_.parseSchemeArgs;
        network_.emplace(std::move(steps), ParseVersionNumber(record_.version), record_,
                         choice.mode == RunMode::Player ? choice.link : std::u16string());
        // The network runs first, so that the engine's start, which may hold this thread, does
        // not delay it; a refused system or a missing runtime never gets this far.
        if (Overlapping()) network_->Start(NetworkStep::FirstUpdateCheck, ops_.wakeUiThread);
        if (ops_.prepareBrowser) ops_.prepareBrowser(choice.mode);
        if (!Await(NetworkStep::FirstUpdateCheck)) return StartupExit::kOk;
        if (UpdateTakesOver(network_->FirstUpdateCheck())) return StartupExit::kOk;
        if (ops_.registerScheme) ops_.registerScheme();
        return choice.mode == RunMode::Player ? RunPlayer() : RunInit();
    }

    int RunPlayer() {
        const bool linkReady = network_->Has(NetworkStep::LinkUpdateCheck) &&
                               !network_->LinkUpdateCheck().updateAvailable;
        if (!linkReady && ops_.openLoadingWindow) ops_.openLoadingWindow();
        if (!Await(NetworkStep::LinkDecoding)) return StartupExit::kOk;
        LinkDecoding decoding = network_->Decoding();
        if (!decoding.decoded) return ReportLinkFailure(decoding.error);
        record_ = std::move(decoding.record);
        if (!Await(NetworkStep::LinkUpdateCheck)) return StartupExit::kOk;
        if (UpdateTakesOver(network_->LinkUpdateCheck())) return StartupExit::kOk;
        if (!ops_.createPlayerWindow || !ops_.createPlayerWindow()) return StartupExit::kFailed;
        return RunLoop();
    }

    bool Overlapping() const { return ops_.wakeUiThread && ops_.waitWhileEventsRun; }

    // Until `step` has its outcome: waits for the steps running ahead, or runs it now when they
    // stopped before it (an optional update the user declined) or never ran ahead. False when
    // the session ended during the wait: the run then ends as a session end does.
    bool Await(NetworkStep step) {
        while (!network_->Has(step)) {
            if (!Overlapping() ||
                (!network_->Running() && !network_->Start(step, ops_.wakeUiThread))) {
                network_->RunStep(step);
            } else if (!ops_.waitWhileEventsRun(
                           [this, step] { return network_->Has(step) || !network_->Running(); })) {
                return false;
            }
        }
        return true;
    }

    int RunInit() {
        bool hostCreated = false;
        if (ops_.createInitScreen && ops_.createInitScreen(hostCreated)) return RunLoop();
        // With a host the window has already reported its browser failure.
        if (!hostCreated) {
            Show(StartupTexts::kWindowCreationFailed, StartupTexts::kStartupErrorCaption,
                 StartupTexts::kErrorFlags);
        }
        return StartupExit::kFailed;
    }

    int RunLoop() { return ops_.runMessageLoop ? ops_.runMessageLoop() : StartupExit::kOk; }

    int ReportLinkFailure(const std::string& error) {
        const std::string_view prefix = StartupTexts::kServerErrorPrefix;
        if (std::string_view(error).substr(0, prefix.size()) == prefix) {
            Show(Text::Utf8ToUtf16(std::string_view(error).substr(prefix.size())),
                 StartupTexts::kServerErrorCaption, StartupTexts::kServerErrorFlags);
            return StartupExit::kFailed;
        }
        Show(BuildLinkErrorText(error), StartupTexts::kLinkErrorCaption, StartupTexts::kErrorFlags);
        return StartupExit::kOk;
    }

    // Acts on one update check; true when the process must end for the updater.
    bool UpdateTakesOver(const UpdateCheckResult& result) {
        if (!result.updateAvailable) return false;
        const std::u16string address =
            result.link.empty() ? Text::Widen(Tenant::DefaultInstallerUrl()) : result.link;
        return ops_.promptForUpdate &&
               ops_.promptForUpdate(result.updateRequired, address, record_);
    }

    void Show(std::u16string_view text, std::u16string_view caption, std::uint32_t flags) const {
        if (!ops_.showMessage) return;
        ops_.showMessage(MessageBoxRequest{std::u16string(text), std::u16string(caption), flags});
    }

    AppRecord& record_;
    const StartupOperations& ops_;
    std::optional<StartupNetwork> network_;
};

}  // namespace

std::u16string BuildLinkErrorText(std::string_view error) {
    std::u16string text(StartupTexts::kLinkErrorEnglish);
    text += u"\n\n";
    text += StartupTexts::kLinkErrorArabic;
    text += StartupTexts::kDiagnosticCodeHeading;
    // The error code itself is the diagnostic: support can tell the failing step from it.
    text += Text::Utf8ToUtf16(error);
    return text;
}

int RunStartup(const std::vector<std::u16string>& arguments, std::u16string_view rawCommandLine,
               AppRecord& record, const StartupOperations& operations) {
    return StartupRun(record, operations).Run(arguments, rawCommandLine);
}
