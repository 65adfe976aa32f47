#pragma once
// The start-up update check against the platform and the bilingual prompt.
#include <functional>
#include <string>
#include <string_view>

#include "common/app_record.h"
#include "common/message_box.h"

struct UpdateCheckResult {
    bool updateAvailable = false;
    bool updateRequired = false;
    std::u16string link;
};

// Asks the platform (under `base`, or the built-in address when it is empty) for the latest
// version. Every failure means "no update".
// `trustBase` is the platform base address the request is judged against (marker headers).
UpdateCheckResult CheckForUpdate(double currentVersion, std::u16string_view base,
                                 std::u16string_view trustBase);

// Decision on one answer body; exposed for tests and the fuzz target.
UpdateCheckResult EvaluateUpdateAnswer(double currentVersion, std::string_view body);

// An https address with a host that ExtractHost accepts.
bool IsValidDownloadUrl(std::u16string_view address);

// What the prompt needs from the platform. Each platform's entry point supplies them.
struct UpdatePromptOperations {
    std::function<MessageBoxResult(const MessageBoxRequest&)> showMessage;
    std::function<bool(const std::u16string& address)> startUpdater;
    std::function<void(const std::u16string& address)> openInBrowser;
};

// Returns true when the caller must exit now (a mandatory update, or an accepted one whose
// updater started).
bool PromptForUpdate(bool required, std::u16string_view address, const AppRecord& record,
                     const UpdatePromptOperations& operations);
