#pragma once
// The texts a browser host reports about its start: the step names, the one-line success
// description and the failure summary that names the first and the last failing step with their
// result codes. Shared by every browser adapter; the runtime kind and version are whatever the
// adapter's engine reports ("Evergreen"/"Fixed" with WebView2, "QtWebEngine" with Qt).
#include <cstdint>
#include <string>
#include <string_view>

namespace WebViewStatus {

// HRESULT values as 32-bit signed integers (the adapters convert at their boundary).
using Result = std::int32_t;
inline constexpr Result kOk = 0;
inline constexpr Result kFail = static_cast<Result>(0x80004005u);        // E_FAIL
inline constexpr Result kAbort = static_cast<Result>(0x80004004u);       // E_ABORT
inline constexpr Result kPending = static_cast<Result>(0x8000000Au);     // E_PENDING
inline constexpr Result kInvalidArg = static_cast<Result>(0x80070057u);  // E_INVALIDARG
inline constexpr Result kPointer = static_cast<Result>(0x80004003u);     // E_POINTER

// Step names.
inline constexpr std::u16string_view kStageCreateUserDataFolder = u"CreateUserDataFolder";
inline constexpr std::u16string_view kStageUserDataFolderWriteTest = u"UserDataFolderWriteTest";
inline constexpr std::u16string_view kStageSetUserDataFolderOverride = u"SetUserDataFolderOverride";
inline constexpr std::u16string_view kStageSetBrowserFolderOverride = u"SetBrowserFolderOverride";
inline constexpr std::u16string_view kStageCreateEnvironmentCall = u"CreateEnvironmentCall";
inline constexpr std::u16string_view kStageCreateEnvironmentCallback = u"CreateEnvironmentCallback";
inline constexpr std::u16string_view kStageCreateControllerCall = u"CreateControllerCall";
inline constexpr std::u16string_view kStageCreateControllerCallback = u"CreateControllerCallback";
inline constexpr std::u16string_view kStageGetCoreWebView2 = u"GetCoreWebView2";
inline constexpr std::u16string_view kStageRegisterWebResourceRequested =
    u"RegisterWebResourceRequested";
inline constexpr std::u16string_view kStageInitializationMessagePump = u"InitializationMessagePump";
inline constexpr std::u16string_view kStageApplicationQuitDuringInitialization =
    u"ApplicationQuitDuringInitialization";
inline constexpr std::u16string_view kStagePending = u"Pending";
inline constexpr std::u16string_view kStageComplete = u"Complete";
inline constexpr std::u16string_view kUnknownStage = u"unknown stage";

inline constexpr std::u16string_view kRuntimeEvergreen = u"Evergreen";
inline constexpr std::u16string_view kRuntimeFixed = u"Fixed";
inline constexpr std::u16string_view kRuntimeQtWebEngine = u"QtWebEngine";

inline constexpr std::u16string_view kInvalidParentOrFolder =
    u"Invalid parent window or user-data folder.";

// The box a window shows when its browser did not start: the prefix followed by the status.
inline constexpr std::u16string_view kInitFailedBoxPrefix = u"Failed to initialize WebView2.\n\n";
inline constexpr std::u16string_view kInitFailedCaption = u"WebView2 Error";

// Data-folder suffixes by runtime kind; the version marker keeps profiles of older builds apart.
inline constexpr std::u16string_view kEvergreenFolderSuffix = u"_Evergreen_Env6";
inline constexpr std::u16string_view kFixedFolderSuffix = u"_Fixed_Env6";
inline constexpr std::u16string_view kQtWebEngineFolderSuffix = u"_QtWebEngine_Env6";

// A failure code: negative values stand as they are, anything else becomes E_FAIL (a "failure"
// that reports success must still read as one).
constexpr Result AsFailure(Result result) {
    return result < 0 ? result : kFail;
}

// HRESULT_FROM_WIN32 of a system error code, then AsFailure (error 0 reads as E_FAIL).
Result FromSystemError(std::uint32_t error);

// "0x%08X" of the 32-bit value.
std::u16string FormatResult(Result result);

// First and last failing step of one initialisation.
struct InitFailureRecord {
    bool firstSet = false;
    Result firstResult = kFail;
    std::u16string firstStage;
    Result lastResult = kFail;
    std::u16string lastStage;
    std::u16string lastFolder;

    void Record(Result result, std::u16string_view stage, std::u16string_view folder);
    // The code the host reports: the first failure's when there was one, else the last.
    Result Reported() const { return firstSet ? firstResult : lastResult; }
};

// "WebView2 initialized with <kind>[ <version>]; userData=<folder>".
std::u16string FormatInitSuccess(std::u16string_view kind, std::u16string_view version,
                                 std::u16string_view folder);

// "WebView2 initialization failed. First=0x... at <stage>; last=0x... at <stage>;
// runtime=<kind>[ <version>]; lastUserData=<folder>".
std::u16string FormatInitFailure(const InitFailureRecord& record, std::u16string_view kind,
                                 std::u16string_view version);

// The text of the failure box for a host's status text.
std::u16string InitFailureBoxText(std::u16string_view statusText);

// The data folder of attempt 0: the base joined with the runtime's suffix.
std::u16string DataFolderForRuntime(std::u16string_view base, bool fixedRuntime);

// Later attempts get fresh folders: folder + "_Recovery_" + recovery id + "_" + attempt.
std::u16string RecoveryId(std::uint64_t processId, std::uint64_t ticks);
std::u16string AttemptFolder(std::u16string_view folder, std::u16string_view recoveryId,
                             int attempt);

}  // namespace WebViewStatus
