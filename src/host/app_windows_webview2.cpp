#include "host/app_windows_webview2.h"

#include <shlobj.h>

#include <utility>

#include "common/app_observer.h"
#include "common/app_record.h"
#include "host/main_window_win32.h"
#include "host/webview_host_webview2.h"

namespace AppWindows {

struct DesktopWindows::MainWindowParts {
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

void DesktopWindows::OpenLoadingWindow() {
    main_ = std::make_unique<MainWindowParts>();
    main_->window = Win32MainWindow::Create(RunMode::Player, record_, instance_);
    if (main_->window == nullptr) return;
    UpdateWindow(main_->window->Handle());
    DispatchQueuedMessages();
}

bool DesktopWindows::CreatePlayerWindow() {
    return MainWindow() != nullptr && Start(RunMode::Player);
}

bool DesktopWindows::CreateInitScreen(bool& hostCreated) {
    main_ = std::make_unique<MainWindowParts>();
    main_->window = Win32MainWindow::Create(RunMode::Init, record_, instance_);
    hostCreated = main_->window != nullptr;
    return hostCreated && Start(RunMode::Init);
}

bool DesktopWindows::Start(RunMode mode) {
    MainWindowParts& parts = *main_;
    // The host reads the record's base address, which the link and the portal may change later.
    parts.host = std::make_unique<WebView::WebViewHost>(parts.window->Handle(), record_.baseUrl);
    parts.controller = std::make_unique<WindowController>(mode, record_, *parts.host, *parts.window,
                                                          shell_, AppObservers::Current());
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

}  // namespace AppWindows
