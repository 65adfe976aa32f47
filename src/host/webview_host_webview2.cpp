#include "host/webview_host_webview2.h"

#include <utility>

#include "common/wide_text_win32.h"
#include "content/navigation_policy.h"
#include "host/browser_arguments.h"
#include "host/com_callback_webview2.h"
#include "host/deferred_call_win32.h"
#include "host/environment_options_webview2.h"
#include "host/print_page_webview2.h"
#include "host/runtime_loader_webview2.h"
#include "host/webview_status.h"
#include "print/printer_filter.h"
#include "print/printer_picker_win32.h"

namespace WebView {
namespace {

namespace Status = WebViewStatus;
using Win32::ComPtr;
using Win32::WidePtr;

constexpr std::u16string_view kFixedRuntimeFolder = u"\\WebView2Runtime";
constexpr std::u16string_view kFixedRuntimeBrowser = u"\\msedgewebview2.exe";
constexpr std::u16string_view kWriteTestFile = u"\\.zelvan_write_test";
constexpr const wchar_t* kUserDataFolderVariable = L"WEBVIEW2_USER_DATA_FOLDER";
constexpr const wchar_t* kBrowserFolderVariable = L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER";
constexpr const wchar_t* kBrowserArgumentsVariable = L"WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS";
// Opaque dark grey behind pages that have not painted yet.
constexpr COREWEBVIEW2_COLOR kBackground = {255, 0x12, 0x12, 0x12};

Status::Result LastSystemError() {
    return Status::FromSystemError(GetLastError());
}

bool IsDirectory(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(WidePtr(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFile(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(WidePtr(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The loader's version text, or empty when it has none for `folder` (null: the installed one).
std::u16string RuntimeVersion(const wchar_t* folder) {
    LPWSTR raw = nullptr;
    const HRESULT result =
        WebView2Loader::GetAvailableCoreWebView2BrowserVersionString(folder, &raw);
    const Win32::CoTaskString version(raw);
    if (FAILED(result) || version == nullptr) return {};
    return Win32::FromWide(version.get());
}

std::u16string ExecutableFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::u16string folder = Win32::FromWide(path, length);
    const std::size_t separator = folder.rfind(u'\\');
    folder.resize(separator == std::u16string::npos ? 0 : separator);
    return folder;
}

Status::Result CreateFolder(const std::u16string& folder) {
    if (CreateDirectoryW(WidePtr(folder), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
        return Status::kOk;
    }
    return LastSystemError();
}

// The browser fails page by page in a folder it cannot write: find that out before it starts.
Status::Result WriteTest(const std::u16string& folder) {
    const std::u16string probe = folder + std::u16string(kWriteTestFile);
    const Win32::UniqueHandle file(CreateFileW(
        WidePtr(probe), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return LastSystemError();
    return Status::kOk;
}

Status::Result SetVariable(const wchar_t* name, const std::u16string& value) {
    return SetEnvironmentVariableW(name, WidePtr(value)) ? Status::kOk : LastSystemError();
}

}  // namespace

// Shared by Initialize and the two completions of one attempt: a completion arriving after the
// attempt was given up finds it here, not in freed memory.
struct WebViewHost::AttemptState {
    bool done = false;
    HRESULT hr = E_PENDING;
    std::u16string stage{Status::kStagePending};
    HWND window = nullptr;
};

RuntimeChoice ChooseRuntime(const std::u16string& executableFolder) {
    const std::u16string fixedFolder = executableFolder + std::u16string(kFixedRuntimeFolder);
    if (IsDirectory(fixedFolder) && IsFile(fixedFolder + std::u16string(kFixedRuntimeBrowser))) {
        std::u16string version = RuntimeVersion(WidePtr(fixedFolder));
        if (!version.empty()) return {true, fixedFolder, std::move(version)};
    }
    return {false, {}, RuntimeVersion(nullptr)};
}

WebViewHost::WebViewHost(HWND window, const std::u16string& baseUrl, std::u16string programFolder)
    : parentWindow_(window),
      baseUrl_(baseUrl),
      programFolder_(programFolder.empty() ? ExecutableFolder() : std::move(programFolder)),
      browserExitEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      printFlow_(PrintOperations()) {}

WebViewHost::~WebViewHost() {
    startup_.Abandon();
    Shutdown(kShutdownWait);
    lifetime_.reset();
}

void WebViewHost::Initialize(const std::u16string& dataFolderBase, int attempts) {
    shutDown_ = false;
    lastResult_ = S_OK;
    statusText_.clear();
    const bool windowExists = IsWindow(parentWindow_) != FALSE;
    // No runtime is looked at for a window that does not exist.
    const RuntimeChoice runtime =
        windowExists && !dataFolderBase.empty() ? ChooseRuntime(programFolder_) : RuntimeChoice{};

    BrowserStartup::StartupPlatform platform;
    platform.runtime = {
        runtime.fixed ? Status::kRuntimeFixed : Status::kRuntimeEvergreen, runtime.version,
        runtime.fixed ? Status::kFixedFolderSuffix : Status::kEvergreenFolderSuffix};
    platform.windowExists = windowExists;
    platform.processId = GetCurrentProcessId();
    platform.ticks = GetTickCount64();
    platform.createFolder = CreateFolder;
    platform.writeTest = WriteTest;
    platform.steps.push_back({Status::kStageSetUserDataFolderOverride, [](const auto& folder) {
                                  return SetVariable(kUserDataFolderVariable, folder);
                              }});
    if (runtime.fixed) {
        platform.steps.push_back({Status::kStageSetBrowserFolderOverride,
                                  [browserFolder = runtime.browserFolder](const std::u16string&) {
                                      return SetVariable(kBrowserFolderVariable, browserFolder);
                                  }});
    }
    platform.createBrowser = [this, runtime](const std::u16string& folder,
                                             const BrowserStartup::AttemptFinished& finished) {
        CreateBrowser(runtime, folder, finished);
    };
    platform.discardAttempt = [this] {
        Shutdown(kShutdownWait);
        shutDown_ = false;
    };
    startup_.Run(dataFolderBase, attempts, std::move(platform),
                 [this](const BrowserStartup::StartupReport& report) {
                     lastResult_ = report.result;
                     statusText_ = report.statusText;
                     if (events.initialized) events.initialized(report.succeeded, report.result);
                 });
}

void WebViewHost::CreateBrowser(const RuntimeChoice& runtime, const std::u16string& folder,
                                const BrowserStartup::AttemptFinished& finished) {
    const std::u16string arguments = BrowserArguments::CommandLineText();
    // The variable reaches runtimes that ignore the options object; its result does not matter.
    SetEnvironmentVariableW(kBrowserArgumentsVariable, WidePtr(arguments));
    const ComPtr<ICoreWebView2EnvironmentOptions> options =
        CreateEnvironmentOptions(ApplicationEnvironmentOptionValues());

    auto attempt = std::make_shared<AttemptState>();
    attempt->window = parentWindow_;
    const std::weak_ptr<int> alive = lifetime_;
    const auto handler =
        WebView2Callback::Make<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
            IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
            [this, alive, attempt](HRESULT result, ICoreWebView2Environment* environment) {
                if (alive.expired() || attempt->done) return S_OK;
                return OnEnvironmentCreated(attempt, result, environment);
            });
    const HRESULT called = WebView2Loader::CreateCoreWebView2EnvironmentWithOptions(
        runtime.fixed ? WidePtr(runtime.browserFolder) : nullptr, WidePtr(folder), options.Get(),
        handler.Get());
    if (FAILED(called)) {
        finished(called, Status::kStageCreateEnvironmentCall);
        return;
    }

    MSG message = {};
    while (!attempt->done) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) {
            attempt->hr = LastSystemError();
            attempt->stage = Status::kStageInitializationMessagePump;
            attempt->done = true;
        } else if (got == 0) {
            attempt->hr = E_ABORT;
            attempt->stage = Status::kStageApplicationQuitDuringInitialization;
            attempt->done = true;
            // The outer message loop must still see the quit request.
            PostQuitMessage(static_cast<int>(message.wParam));
        } else {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (alive.expired()) return;
    if (SUCCEEDED(attempt->hr) && webView_) {
        finished(S_OK, Status::kStageComplete);
    } else {
        finished(Status::AsFailure(attempt->hr), attempt->stage);
    }
}

void WebViewHost::FinishAttempt(AttemptState& attempt, std::u16string_view stage) const {
    attempt.stage = stage;
    attempt.done = true;
    // Wakes the pump, which may be waiting in GetMessageW for a message of its own.
    if (IsWindow(attempt.window)) PostMessageW(attempt.window, WM_NULL, 0, 0);
}

HRESULT WebViewHost::OnEnvironmentCreated(const std::shared_ptr<AttemptState>& attempt,
                                          HRESULT result, ICoreWebView2Environment* environment) {
    if (FAILED(result) || environment == nullptr) {
        attempt->hr = Status::AsFailure(result);
        FinishAttempt(*attempt, Status::kStageCreateEnvironmentCallback);
        return S_OK;
    }
    environment_ = ComPtr<ICoreWebView2Environment>(environment);
    RegisterBrowserProcessExitHandler();
    // A freshly started browser process gets a moment before its first controller.
    Sleep(100);

    const std::weak_ptr<int> alive = lifetime_;
    const auto handler =
        WebView2Callback::Make<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
            IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
            [this, alive, attempt](HRESULT created, ICoreWebView2Controller* controller) {
                if (alive.expired() || attempt->done) {
                    // The attempt was given up (the window closed meanwhile): a view arriving
                    // now would only keep a browser window alive that nobody shows.
                    if (SUCCEEDED(created) && controller != nullptr) controller->Close();
                    return S_OK;
                }
                return OnControllerCreated(attempt, created, controller);
            });
    const HRESULT called =
        environment_->CreateCoreWebView2Controller(attempt->window, handler.Get());
    if (FAILED(called) && !attempt->done) {
        attempt->hr = called;
        FinishAttempt(*attempt, Status::kStageCreateControllerCall);
    }
    return S_OK;
}

HRESULT WebViewHost::OnControllerCreated(const std::shared_ptr<AttemptState>& attempt,
                                         HRESULT result, ICoreWebView2Controller* controller) {
    if (FAILED(result) || controller == nullptr) {
        attempt->hr = Status::AsFailure(result);
        FinishAttempt(*attempt, Status::kStageCreateControllerCallback);
        return S_OK;
    }
    ComPtr<ICoreWebView2> view;
    const HRESULT got = controller->get_CoreWebView2(view.Put());
    if (FAILED(got) || !view) {
        controller->Close();
        attempt->hr = Status::AsFailure(got);
        FinishAttempt(*attempt, Status::kStageGetCoreWebView2);
        return S_OK;
    }
    controller_ = ComPtr<ICoreWebView2Controller>(controller);
    webView_ = std::move(view);
    if (const auto controller2 =
            controller_.As<ICoreWebView2Controller2>(IID_ICoreWebView2Controller2)) {
        controller2->put_DefaultBackgroundColor(kBackground);
    }
    if (const auto controller4 =
            controller_.As<ICoreWebView2Controller4>(IID_ICoreWebView2Controller4)) {
        controller4->put_AllowExternalDrop(FALSE);
    }
    RECT bounds = {};
    GetClientRect(attempt->window, &bounds);
    controller_->put_Bounds(bounds);

    const HRESULT registered = SetupEventHandlers();
    if (FAILED(registered)) {
        attempt->hr = registered;
        FinishAttempt(*attempt, Status::kStageRegisterWebResourceRequested);
    } else {
        attempt->hr = S_OK;
        FinishAttempt(*attempt, Status::kStageComplete);
    }
    return S_OK;
}

void WebViewHost::RegisterBrowserProcessExitHandler() {
    browserExitHandlerRegistered_ = false;
    ResetEvent(browserExitEvent_.get());
    const auto environment5 =
        environment_.As<ICoreWebView2Environment5>(IID_ICoreWebView2Environment5);
    if (!environment5) return;
    // Only the event: the wait in Shutdown is all that reacts to the browser's end.
    const auto handler = WebView2Callback::Make<ICoreWebView2BrowserProcessExitedEventHandler>(
        IID_ICoreWebView2BrowserProcessExitedEventHandler,
        [event = browserExitEvent_.get(), alive = std::weak_ptr<int>(lifetime_)](
            ICoreWebView2Environment*, ICoreWebView2BrowserProcessExitedEventArgs*) {
            if (!alive.expired()) SetEvent(event);
            return S_OK;
        });
    browserExitHandlerRegistered_ =
        SUCCEEDED(environment5->add_BrowserProcessExited(handler.Get(), &browserExitToken_));
}

BrowserShutdown WebViewHost::Shutdown(std::chrono::milliseconds maxWait) {
    if (shutDown_) return BrowserShutdown::NothingToWaitFor;
    shutDown_ = true;

    Win32::UniqueHandle browserProcess;
    if (webView_) {
        UINT32 processId = 0;
        if (SUCCEEDED(webView_->get_BrowserProcessId(&processId)) && processId != 0) {
            browserProcess.reset(
                OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
        }
    }
    if (controller_) controller_->Close();
    const auto environment5 =
        environment_.As<ICoreWebView2Environment5>(IID_ICoreWebView2Environment5);
    webView_.Reset();
    controller_.Reset();
    environment_.Reset();

    HANDLE handles[2] = {};
    DWORD count = 0;
    if (browserProcess) handles[count++] = browserProcess.get();
    if (browserExitHandlerRegistered_) handles[count++] = browserExitEvent_.get();
    BrowserShutdown outcome = BrowserShutdown::NothingToWaitFor;
    if (count > 0 && maxWait.count() > 0) {
        DWORD signalled = 0;
        // Keeps COM calls and the runtime's messages flowing: the exit event arrives through them.
        const HRESULT waited = CoWaitForMultipleHandles(
            COWAIT_DISPATCH_CALLS, static_cast<DWORD>(maxWait.count()), count, handles, &signalled);
        outcome = waited == S_OK ? BrowserShutdown::Exited : BrowserShutdown::WaitExpired;
    }
    if (browserExitHandlerRegistered_ && environment5) {
        environment5->remove_BrowserProcessExited(browserExitToken_);
    }
    browserExitHandlerRegistered_ = false;
    return outcome;
}

void WebViewHost::Resize(int width, int height) {
    if (controller_ && width > 0 && height > 0) controller_->put_Bounds({0, 0, width, height});
}

void WebViewHost::RestoreVisibility() {
    if (!controller_ || parentWindow_ == nullptr || IsIconic(parentWindow_)) return;
    RECT bounds = {};
    if (SUCCEEDED(controller_->get_Bounds(&bounds)) && bounds.left < bounds.right &&
        bounds.top < bounds.bottom) {
        controller_->put_Bounds(bounds);
    }
    controller_->put_IsVisible(TRUE);
    controller_->NotifyParentWindowPositionChanged();
}

void WebViewHost::SetVisible(bool visible) {
    if (controller_) controller_->put_IsVisible(visible ? TRUE : FALSE);
}

bool WebViewHost::NotifyMoved() {
    if (controller_) controller_->NotifyParentWindowPositionChanged();
    return true;
}

void WebViewHost::Navigate(const std::u16string& url) {
    if (webView_ && MayNavigate(url, baseUrl_)) webView_->Navigate(WidePtr(url));
}

void WebViewHost::NavigateToString(const std::u16string& html) {
    if (webView_) webView_->NavigateToString(WidePtr(html));
}

void WebViewHost::GoBack() {
    BOOL canGoBack = FALSE;
    if (webView_ && SUCCEEDED(webView_->get_CanGoBack(&canGoBack)) && canGoBack) {
        webView_->GoBack();
    }
}

void WebViewHost::Reload() {
    if (webView_) webView_->Reload();
}

void WebViewHost::AddScriptOnDocumentCreated(const std::u16string& script) {
    if (webView_) webView_->AddScriptToExecuteOnDocumentCreated(WidePtr(script), nullptr);
}

void WebViewHost::ApplyViewSettings() {
    if (!webView_) return;
    ComPtr<ICoreWebView2Settings> settings;
    if (FAILED(webView_->get_Settings(settings.Put())) || !settings) return;
    settings->put_AreDevToolsEnabled(FALSE);
    settings->put_AreDefaultContextMenusEnabled(FALSE);
    settings->put_IsStatusBarEnabled(FALSE);
    settings->put_IsZoomControlEnabled(FALSE);
    if (const auto settings3 = settings.As<ICoreWebView2Settings3>(IID_ICoreWebView2Settings3)) {
        settings3->put_AreBrowserAcceleratorKeysEnabled(FALSE);
    }
    if (const auto settings7 = settings.As<ICoreWebView2Settings7>(IID_ICoreWebView2Settings7)) {
        settings7->put_HiddenPdfToolbarItems(COREWEBVIEW2_PDF_TOOLBAR_ITEMS_NONE);
    }
}

void WebViewHost::PostWebMessageAsJson(const std::u16string& json) {
    if (webView_) webView_->PostWebMessageAsJson(WidePtr(json));
}

// A print request arrives inside the runtime's web-message handler, where the picker's modal
// loop would be re-entrancy the runtime does not support: it opens from the message loop once
// the handler has returned, unless the host has gone by then.
void WebViewHost::ShowSystemPrintDialog() {
    const std::weak_ptr<int> alive = lifetime_;
    Win32::RunFromMessageLoop([this, alive] {
        if (!alive.expired()) printFlow_.Run();
    });
}

Printing::PrintOperations WebViewHost::PrintOperations() {
    Printing::PrintOperations operations;
    operations.pageExists = [this] { return static_cast<bool>(webView_); };
    operations.enumeratePrinters = Printing::EnumeratePhysicalPrinters;
    // Holds nothing of the host: the host may be gone when the picker's modal loop returns.
    operations.showPicker = [owner = parentWindow_](std::vector<Printing::PrinterEntry> printers) {
        return Printing::ShowPrinterPickerFor(owner, std::move(printers));
    };
    operations.printPage = [this](const std::u16string& printer,
                                  std::function<void(Printing::PrintResult)> done) {
        Printing::PrintViewPage(environment_.Get(), webView_.Get(), printer, std::move(done));
    };
    operations.postMessage = [this](std::u16string_view json) {
        PostWebMessageAsJson(std::u16string(json));
    };
    return operations;
}

}  // namespace WebView
