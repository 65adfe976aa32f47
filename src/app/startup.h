#pragma once
// The start-up sequence of both run modes as one portable function over a handful of platform
// operations. Each platform's entry point supplies the real operations; the decisions (order of
// the steps, which failure shows which message, every exit code) are made here once.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/instance_lock.h"
#include "common/app_record.h"
#include "common/exit_codes.h"
#include "common/message_box.h"
#include "common/run_mode.h"
#include "update/update_check.h"

// The texts, captions and flags of the start-up messages, shared by the platforms and tests.
namespace StartupTexts {

inline constexpr std::u16string_view kAlreadyRunning =
    u"The application is already running.\n\nالبرنامج يعمل بالفعل.";
inline constexpr std::uint32_t kAlreadyRunningFlags =
    MessageBoxFlags::kIconInformation | MessageBoxFlags::kSetForeground | MessageBoxFlags::kTopmost;

inline constexpr std::u16string_view kUnsupportedOs =
    u"This application requires Windows 10 or later.\nهذا التطبيق يتطلب ويندوز 10 أو أحدث.";
inline constexpr std::u16string_view kUnsupportedOsCaption = u"Unsupported OS";
inline constexpr std::uint32_t kErrorFlags =
    MessageBoxFlags::kIconError | MessageBoxFlags::kSetForeground | MessageBoxFlags::kTopmost;

// The platform's own refusal of a link: its text may be Arabic, so the box reads right to left.
inline constexpr std::string_view kServerErrorPrefix = "server:";
inline constexpr std::u16string_view kServerErrorCaption = u"Orbis Campus - خطأ";
inline constexpr std::uint32_t kServerErrorFlags =
    MessageBoxFlags::kIconWarning | MessageBoxFlags::kSetForeground | MessageBoxFlags::kTopmost |
    MessageBoxFlags::kRight | MessageBoxFlags::kRtlReading;

inline constexpr std::u16string_view kLinkErrorCaption = u"Link Error - خطأ في الرابط";
inline constexpr std::u16string_view kLinkErrorEnglish =
    u"Failed to process the content link.\nIf the problem persists, send the diagnostic code "
    u"below to support.";
inline constexpr std::u16string_view kLinkErrorArabic =
    u"فشل في معالجة رابط المحتوى.\nإذا استمرت المشكلة، يرجى إرسال الكود التشخيصي أدناه للدعم "
    u"الفني.";
inline constexpr std::u16string_view kDiagnosticCodeHeading = u"\n\nDiagnostic Code:\n";

inline constexpr std::u16string_view kWindowCreationFailed =
    u"Failed to create the application window.";
inline constexpr std::u16string_view kStartupErrorCaption = u"Orbis Campus - Startup Error";

// Handed to the scheme registration on every start.
inline constexpr std::u16string_view kSchemeDescription = u"Zelvan Desktop Player";

}  // namespace StartupTexts

// What the start-up sequence needs from the platform. A missing operation counts as failed
// (or, for those without a result, does nothing).
struct StartupOperations {
    std::function<MessageBoxResult(const MessageBoxRequest&)> showMessage;
    std::function<InstanceLockResult(const std::u16string& name)> acquireInstanceLock;
    std::function<void()> showSplash;        // failures are swallowed by the platform
    std::function<int()> classifyOsVersion;  // a ClassifyWindowsVersion result
    std::function<bool()> ensureRuntime;
    // Starts the browser engine of the mode's window, unseen, while the network steps run; the
    // window later adopts it and reports its outcome then. May be missing.
    std::function<void(RunMode mode)> prepareBrowser;
    // Both or neither. With them the network steps run ahead on a thread of their own while the
    // UI thread waits for each outcome handling its events, so the splash keeps painting and a
    // prepared browser engine goes on starting; without them each step blocks when reached.
    // `wakeUiThread` may be called from any thread and makes a waiting `waitWhileEventsRun` look
    // at its condition again; the wait returns true once `done` holds, false when the session
    // ended meanwhile.
    std::function<void()> wakeUiThread;
    std::function<bool(const std::function<bool()>& done)> waitWhileEventsRun;
    // Safe to call from another thread than the UI thread's. `trustBase` is the base address the
    // request is judged against.
    std::function<UpdateCheckResult(double version, std::u16string_view base,
                                    std::u16string_view trustBase)>
        checkForUpdate;
    // True when the process must end now so that the updater can take over.
    std::function<bool(bool required, std::u16string_view address, const AppRecord&)>
        promptForUpdate;
    std::function<void()> registerScheme;  // its result is ignored
    // Shown while the link is decoded; skipped when the link was decoded, with no update to
    // offer, before it was needed. May fail silently.
    std::function<void()> openLoadingWindow;
    // Decodes the link into `record` (a copy of RunStartup's, which takes the values once the
    // link decoded). Safe to call from another thread than the UI thread's.
    std::function<bool(const std::u16string& link, std::string& error, AppRecord& record)>
        parseSchemeArgs;
    std::function<bool()> createPlayerWindow;
    // `hostCreated` tells, on failure, whether the window existed and its browser failed (the
    // window has reported that itself) or the window could not be created at all.
    std::function<bool(bool& hostCreated)> createInitScreen;
    std::function<int()> runMessageLoop;  // returns the final exit code
    // Closes the browser hosts and releases what start-up acquired; runs on every path once
    // the instance lock was taken.
    std::function<void()> shutdown;
};

// The full message of the link-error box for a ParseSchemeArgs error text.
std::u16string BuildLinkErrorText(std::string_view error);

// `arguments` is the split command line with the program path first; `rawCommandLine` is the
// text the entry point received. Returns the process exit code.
int RunStartup(const std::vector<std::u16string>& arguments, std::u16string_view rawCommandLine,
               AppRecord& record, const StartupOperations& operations);
