// Entry point of the Windows application: runs the shared start-up sequence over the Win32
// implementations of its steps and the WebView2 windows.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/desktop_ui.h"
#include "app/instance_lock.h"
#include "app/os_version.h"
#include "app/splash.h"
#include "app/splash_layout.h"
#include "app/startup.h"
#include "app/url_protocol.h"
#include "app/windows_system.h"
#include "common/app_record.h"
#include "common/exit_codes.h"
#include "common/gdiplus_session_win32.h"
#include "common/platform_paths.h"
#include "host/app_windows_webview2.h"
#include "host/runtime_bootstrap.h"
#include "host/runtime_bootstrap_win32.h"
#include "host/runtime_loader_webview2.h"
#include "service/scheme_link.h"
#include "update/update_check.h"

namespace {

// The UI thread's single-threaded apartment, left once on every way out of the process.
class ComApartment {
  public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    HRESULT result_;
};

UpdatePromptOperations UpdatePromptOnWindows() {
    UpdatePromptOperations operations;
    operations.showMessage = ShowMessageBox;
    // No updater ships yet: starting it fails, so the prompt offers the download in the browser.
    operations.startUpdater = [](const std::u16string&) { return false; };
    operations.openInBrowser = OpenInDesktopBrowser;
    return operations;
}

bool EnsureWebView2Runtime() {
    const RuntimeBootstrap::Operations operations = RuntimeBootstrap::SystemOperations(
        RuntimeBootstrap::VersionQueryOverLoader(
            WebView2Loader::GetAvailableCoreWebView2BrowserVersionString),
        ShowMessageBox);
    return RuntimeBootstrap::EnsureRuntime(operations, RuntimeBootstrap::TenantInstallerAddress);
}

int RunMessageLoop() {
    MSG message = {};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return StartupExit::kFailed;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR rawCommandLine, int) {
    // Declared in the order of start-up, so that they go in the reverse order at the end: the
    // windows and their hosts, then GDI+, then the apartment.
    const ComApartment apartment;
    const Win32::GdiplusSession gdiplus;
    std::unique_ptr<AppWindows::DesktopWindows> windows;
    AppWindows::ShellOperations shell;
    shell.closeSplash = CloseSplash;
    // Owned by the main window, which stays disabled while the box is open; looked up when a box
    // opens, as the window does not exist yet.
    shell.showMessage = [&windows](const MessageBoxRequest& request) {
        return ShowOwnedMessageBox(windows ? windows->MainWindow() : nullptr, request);
    };
    shell.endRun = [](int exitCode) { PostQuitMessage(exitCode); };
    windows = std::make_unique<AppWindows::DesktopWindows>(App(), instance, std::move(shell));

    StartupOperations operations;
    operations.showMessage = ShowMessageBox;
    operations.acquireInstanceLock = AcquireInstanceLock;
    operations.showSplash = [&gdiplus] {
        if (!gdiplus.Started()) return;
        if (ShowSplash(kSplashDefaultMaxWidth, kSplashDefaultMaxHeight)) {
            AppWindows::DispatchQueuedMessages();
        }
    };
    operations.classifyOsVersion = [] {
        return ClassifyWindowsVersion(WindowsSystem::QueryOsVersion());
    };
    operations.ensureRuntime = EnsureWebView2Runtime;
    operations.prepareBrowser = [&windows](RunMode mode) { windows->PrepareBrowser(mode); };
    const DWORD uiThread = GetCurrentThreadId();
    operations.wakeUiThread = [uiThread] { AppWindows::WakeMessageWait(uiThread); };
    operations.waitWhileEventsRun = AppWindows::DispatchMessagesUntil;
    operations.checkForUpdate = CheckForUpdate;
    operations.promptForUpdate = [](bool required, std::u16string_view address,
                                    const AppRecord& record) {
        return PromptForUpdate(required, address, record, UpdatePromptOnWindows());
    };
    operations.registerScheme = [] {
        RegisterUrlProtocol(App().tenantId, StartupTexts::kSchemeDescription,
                            PlatformPaths::ExecutablePath().u16string(), App().displayName);
    };
    operations.openLoadingWindow = [&windows] { windows->OpenLoadingWindow(); };
    operations.parseSchemeArgs = ParseSchemeArgs;
    operations.createPlayerWindow = [&windows] { return windows->CreatePlayerWindow(); };
    operations.createInitScreen = [&windows](bool& hostCreated) {
        return windows->CreateInitScreen(hostCreated);
    };
    operations.runMessageLoop = RunMessageLoop;
    // The instance mutex stays held until the process ends; Windows closes it then.
    operations.shutdown = [&windows] {
        windows->DestroyHosts();
        CloseSplash();
    };

    const std::u16string raw =
        rawCommandLine != nullptr
            ? std::u16string(reinterpret_cast<const char16_t*>(rawCommandLine))
            : std::u16string();
    return RunStartup(WindowsSystem::CommandLineArguments(), raw, App(), operations);
}
