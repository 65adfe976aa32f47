#include "host/app_windows_webview2.h"

#include <shlobj.h>

#include <utility>

#include "common/app_observer.h"
#include "common/app_record.h"
#include "host/main_window_win32.h"
#include "host/webview_host_webview2.h"

namespace AppWindows {

struct DesktopWindows::MainWindowParts {
    RunMode mode = RunMode::Init;
    std::unique_ptr<Win32MainWindow> window;
    std::unique_ptr<WebView::WebViewHost> host;
    std::unique_ptr<WindowController> controller;
};

DesktopWindows::DesktopWindows(AppRecord& record, HINSTANCE instance, ShellOperations shell)
    : record_(record), instance_(instance), shell_(std::move(shell)) {}

DesktopWindows::~DesktopWindows() {
    DestroyHosts();
    main_.reset();
}

HWND DesktopWindows::MainWindow() const {
    return main_ != nullptr && main_->window != nullptr ? main_->window->Handle() : nullptr;
}

DesktopWindows::MainWindowParts* DesktopWindows::WindowFor(RunMode mode) {
    if (main_ == nullptr || main_->mode != mode || main_->window == nullptr) {
        DestroyHosts();
        main_ = std::make_unique<MainWindowParts>();
        main_->mode = mode;
        // Unshown: who asks for the window shows it when its turn comes.
        main_->window =
            Win32MainWindow::Create(mode, record_, instance_, Win32MainWindow::Visibility::Hidden);
    }
    return main_->window != nullptr ? main_.get() : nullptr;
}

void DesktopWindows::CreateBrowser(MainWindowParts& parts) {
    if (parts.controller != nullptr) return;
    // The host reads the record's base address, which the link and the portal may change later.
    parts.host = std::make_unique<WebView::WebViewHost>(parts.window->Handle(), record_.baseUrl);
    parts.controller = std::make_unique<WindowController>(
        parts.mode, record_, *parts.host, *parts.window, shell_, AppObservers::Current());
}

void DesktopWindows::PrepareBrowser(RunMode mode) {
    MainWindowParts* parts = WindowFor(mode);
    if (parts == nullptr || parts->controller != nullptr) return;
    CreateBrowser(*parts);
    parts->controller->Prepare(BrowserDataFolderBase(record_.displayName));
}

void DesktopWindows::OpenLoadingWindow() {
    MainWindowParts* parts = WindowFor(RunMode::Player);
    if (parts == nullptr) return;
    ShowWindow(parts->window->Handle(), SW_SHOW);
    UpdateWindow(parts->window->Handle());
    DispatchQueuedMessages();
}

bool DesktopWindows::CreatePlayerWindow() {
    // A window made here stays hidden until the ready sequence shows it with its content.
    MainWindowParts* parts = WindowFor(RunMode::Player);
    return parts != nullptr && Start(*parts);
}

bool DesktopWindows::CreateInitScreen(bool& hostCreated) {
    MainWindowParts* parts = WindowFor(RunMode::Init);
    hostCreated = parts != nullptr;
    if (parts == nullptr) return false;
    ShowWindow(parts->window->Handle(), SW_SHOW);
    return Start(*parts);
}

bool DesktopWindows::Start(MainWindowParts& parts) {
    CreateBrowser(parts);
    parts.window->Attach(parts.controller.get());
    return parts.controller->Start(BrowserDataFolderBase(record_.displayName));
}

void DesktopWindows::DestroyHosts() {
    if (main_ == nullptr || main_->host == nullptr) return;
    if (main_->window != nullptr) main_->window->Attach(nullptr);
    main_->controller.reset();
    main_->host->Shutdown(WebView::kShutdownWait);
    main_->host.reset();
}

std::u16string BrowserDataFolderBase(const std::u16string& displayName) {
    wchar_t localData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                localData))) {
        return {};
    }
    const std::u16string appFolder =
        std::u16string(reinterpret_cast<const char16_t*>(localData)) + u"\\" + displayName;
    // Normally there from an earlier run; a folder that cannot be made fails the browser's start,
    // which reports it.
    CreateDirectoryW(reinterpret_cast<const wchar_t*>(appFolder.c_str()), nullptr);
    return appFolder + u"\\WebView2Data";
}

void DispatchQueuedMessages() {
    MSG message = {};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool DispatchMessagesUntil(const std::function<bool()>& done) {
    constexpr UINT kAllButInput = PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE | PM_QS_PAINT;
    MSG message = {};
    for (;;) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | kAllButInput)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return false;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        // Wakes for messages that arrived since the queue was last looked at, input aside.
        MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE,
                                    QS_POSTMESSAGE | QS_SENDMESSAGE | QS_PAINT | QS_TIMER, 0);
    }
}

void WakeMessageWait(DWORD uiThreadId) {
    PostThreadMessageW(uiThreadId, WM_NULL, 0, 0);
}

}  // namespace AppWindows
