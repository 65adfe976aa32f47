#pragma once
// The stand-in's browser: environment, controller, view and settings. Every call is logged; the
// view is a plain child window of the host window that paints the address it was sent to. The
// tests drive events through the exported commands (standin_commands.cpp), which find the
// objects through Current().
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/win32_resources_win32.h"
#include "host/webview2_com_webview2.h"
#include "standin_com.h"

namespace Standin {

// Handlers registered for one event, with the tokens handed out for them.
template <typename Handler>
class HandlerList {
  public:
    HRESULT Add(Handler* handler, EventRegistrationToken* token) {
        if (handler == nullptr) return E_INVALIDARG;
        const std::int64_t value = ++lastToken_;
        entries_.emplace_back(value, Win32::ComPtr<Handler>(handler));
        if (token != nullptr) token->value = value;
        return S_OK;
    }
    HRESULT Remove(EventRegistrationToken token) {
        for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
            if (entry->first == token.value) {
                entries_.erase(entry);
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }
    // A copy: a handler may add or remove handlers while it runs.
    std::vector<Win32::ComPtr<Handler>> Snapshot() const {
        std::vector<Win32::ComPtr<Handler>> handlers;
        for (const auto& entry : entries_)
            handlers.push_back(entry.second);
        return handlers;
    }
    std::size_t Size() const { return entries_.size(); }

  private:
    std::int64_t lastToken_ = 0;
    std::vector<std::pair<std::int64_t, Win32::ComPtr<Handler>>> entries_;
};

struct Settings final : Object<Settings> {
    Settings();
};

struct WebView final : Object<WebView> {
    explicit WebView(HWND parent);
    ~WebView();
    void Show(const std::wstring& address);

    HWND window = nullptr;  // the painted child window
    std::vector<std::wstring> history;
    Win32::ComPtr<Settings> settings;
    HandlerList<ICoreWebView2NavigationStartingEventHandler> navigationStarting;
    HandlerList<ICoreWebView2NavigationCompletedEventHandler> navigationCompleted;
    HandlerList<ICoreWebView2WebMessageReceivedEventHandler> webMessageReceived;
    HandlerList<ICoreWebView2PermissionRequestedEventHandler> permissionRequested;
    HandlerList<ICoreWebView2NewWindowRequestedEventHandler> newWindowRequested;
    HandlerList<ICoreWebView2WebResourceRequestedEventHandler> webResourceRequested;
    HandlerList<ICoreWebView2ServerCertificateErrorDetectedEventHandler> certificateError;
    int filterCount = 0;
    Win32::ComPtr<ICoreWebView2PrintCompletedHandler> pendingPrint;
};

struct Environment final : Object<Environment> {
    Environment();
    ~Environment();
    HandlerList<ICoreWebView2BrowserProcessExitedEventHandler> browserExited;
    // Raises BrowserProcessExited on every registered handler.
    void RaiseBrowserExit();
};

struct Controller final : Object<Controller> {
    Controller(Win32::ComPtr<Environment> owner, HWND parent, Win32::ComPtr<WebView> view);
    Win32::ComPtr<Environment> environment;
    HWND parentWindow;
    Win32::ComPtr<WebView> view;
    RECT bounds = {};
    bool visible = true;
    bool closed = false;
};

// The objects the tests' commands act on: the newest environment and view that are alive.
struct Current {
    Environment* environment = nullptr;
    WebView* view = nullptr;
};
Current& CurrentObjects();

}  // namespace Standin
