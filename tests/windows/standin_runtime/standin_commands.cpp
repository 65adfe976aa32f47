// The tests' commands: each raises one event on the newest view (or environment) the way the
// runtime would, logs what the host's handlers did with it, and returns the part a test asserts
// on directly. Resolved with GetProcAddress on the loaded client library.
#include <optional>

#include "standin_browser.h"
#include "standin_event_args.h"
#include "standin_log.h"

using Standin::AppendLogLine;
using Standin::CurrentObjects;
using Standin::TextOrNull;
using Win32::ComPtr;

namespace {

template <typename ArgsInterface, typename Handler, typename Args>
void Raise(const Standin::HandlerList<Handler>& handlers, Standin::WebView* view, Args* args) {
    for (const auto& handler : handlers.Snapshot()) {
        handler->Invoke(reinterpret_cast<ICoreWebView2*>(view),
                        reinterpret_cast<ArgsInterface*>(args));
    }
}

}  // namespace

#define STANDIN_COMMAND extern "C" __declspec(dllexport)

// The host's answer: TRUE when it cancelled the navigation. FALSE also without a view.
STANDIN_COMMAND BOOL StandinRaiseNavigationStarting(LPCWSTR uri) {
    Standin::WebView* view = CurrentObjects().view;
    if (view == nullptr || uri == nullptr) return FALSE;
    const auto args =
        ComPtr<Standin::NavigationStartingArgs>::Adopt(new Standin::NavigationStartingArgs(uri));
    Raise<ICoreWebView2NavigationStartingEventArgs>(view->navigationStarting, view, args.Get());
    AppendLogLine(
        {{"event", "NavigationStarting"}, {"uri", TextOrNull(uri)}, {"cancel", args->cancel}});
    if (!args->cancel) view->Show(uri);
    return args->cancel ? TRUE : FALSE;
}

STANDIN_COMMAND void StandinRaiseNavigationCompleted(BOOL succeeded, int webErrorStatus) {
    Standin::WebView* view = CurrentObjects().view;
    if (view == nullptr) return;
    const auto args = ComPtr<Standin::NavigationCompletedArgs>::Adopt(
        new Standin::NavigationCompletedArgs(succeeded != FALSE, webErrorStatus));
    Raise<ICoreWebView2NavigationCompletedEventArgs>(view->navigationCompleted, view, args.Get());
    AppendLogLine({{"event", "NavigationCompleted"},
                   {"isSuccess", succeeded != FALSE},
                   {"webErrorStatus", webErrorStatus}});
}

// `text` is the string a page posted, or NULL when it posted something else (given as JSON).
STANDIN_COMMAND void StandinRaiseWebMessage(LPCWSTR json, LPCWSTR text) {
    Standin::WebView* view = CurrentObjects().view;
    if (view == nullptr || json == nullptr) return;
    const auto args = ComPtr<Standin::WebMessageArgs>::Adopt(new Standin::WebMessageArgs(
        view->history.empty() ? L"about:blank" : view->history.back(), json,
        text == nullptr ? std::nullopt : std::optional<std::wstring>(text)));
    Raise<ICoreWebView2WebMessageReceivedEventArgs>(view->webMessageReceived, view, args.Get());
    AppendLogLine(
        {{"event", "WebMessageReceived"}, {"json", TextOrNull(json)}, {"text", TextOrNull(text)}});
}

// Logs the response the host set (status and reason) or the headers it added.
STANDIN_COMMAND void StandinRaiseWebResourceRequested(LPCWSTR uri) {
    Standin::WebView* view = CurrentObjects().view;
    if (view == nullptr || uri == nullptr) return;
    const auto args =
        ComPtr<Standin::ResourceRequestedArgs>::Adopt(new Standin::ResourceRequestedArgs(uri));
    Raise<ICoreWebView2WebResourceRequestedEventArgs>(view->webResourceRequested, view, args.Get());
    nlohmann::json response;
    if (args->response) {
        const auto* answered = reinterpret_cast<Standin::Response*>(args->response.Get());
        response = {{"statusCode", answered->statusCode},
                    {"reasonPhrase", TextOrNull(answered->reasonPhrase.c_str())},
                    {"headers", TextOrNull(answered->headers.c_str())}};
    }
    nlohmann::json headers = nlohmann::json::array();
    for (const auto& [name, value] : args->request->headers->set) {
        headers.push_back({TextOrNull(name.c_str()), TextOrNull(value.c_str())});
    }
    AppendLogLine({{"event", "WebResourceRequested"},
                   {"uri", TextOrNull(uri)},
                   {"handlers", view->webResourceRequested.Size()},
                   {"filters", view->filterCount},
                   {"response", response},
                   {"headers", headers}});
}

// The state the host gave: 0 default, 1 allow, 2 deny; -1 without a view.
STANDIN_COMMAND int StandinRaisePermissionRequested(int kind, LPCWSTR uri) {
    Standin::WebView* view = CurrentObjects().view;
    if (view == nullptr) return -1;
    const auto args = ComPtr<Standin::PermissionArgs>::Adopt(new Standin::PermissionArgs(
        static_cast<COREWEBVIEW2_PERMISSION_KIND>(kind),
        uri == nullptr ? std::nullopt : std::optional<std::wstring>(uri)));
    Raise<ICoreWebView2PermissionRequestedEventArgs>(view->permissionRequested, view, args.Get());
    AppendLogLine({{"event", "PermissionRequested"},
                   {"kind", kind},
                   {"uri", TextOrNull(uri)},
                   {"state", static_cast<int>(args->state)}});
    return static_cast<int>(args->state);
}

// TRUE when the host marked the request handled (no new window opens).
STANDIN_COMMAND BOOL StandinRaiseNewWindowRequested(LPCWSTR uri) {
    Standin::WebView* view = CurrentObjects().view;
    if (view == nullptr || uri == nullptr) return FALSE;
    const auto args = ComPtr<Standin::NewWindowArgs>::Adopt(new Standin::NewWindowArgs(uri));
    Raise<ICoreWebView2NewWindowRequestedEventArgs>(view->newWindowRequested, view, args.Get());
    AppendLogLine(
        {{"event", "NewWindowRequested"}, {"uri", TextOrNull(uri)}, {"handled", args->handled}});
    return args->handled ? TRUE : FALSE;
}

// The action the host chose (1 cancel); -1 without a view.
STANDIN_COMMAND int StandinRaiseServerCertificateError(LPCWSTR uri) {
    Standin::WebView* view = CurrentObjects().view;
    if (view == nullptr || uri == nullptr) return -1;
    const auto args =
        ComPtr<Standin::CertificateErrorArgs>::Adopt(new Standin::CertificateErrorArgs(uri));
    Raise<ICoreWebView2ServerCertificateErrorDetectedEventArgs>(view->certificateError, view,
                                                                args.Get());
    AppendLogLine({{"event", "ServerCertificateErrorDetected"},
                   {"uri", TextOrNull(uri)},
                   {"action", static_cast<int>(args->action)}});
    return static_cast<int>(args->action);
}

STANDIN_COMMAND void StandinRaiseBrowserProcessExited() {
    if (Standin::Environment* environment = CurrentObjects().environment) {
        environment->RaiseBrowserExit();
    }
}

// Completes the pending print; FALSE when none is pending.
STANDIN_COMMAND BOOL StandinCompletePrint(HRESULT errorCode, int status) {
    Standin::WebView* view = CurrentObjects().view;
    if (view == nullptr || !view->pendingPrint) return FALSE;
    const auto handler = std::move(view->pendingPrint);
    AppendLogLine({{"event", "PrintCompleted"}, {"errorCode", errorCode}, {"status", status}});
    handler->Invoke(errorCode, static_cast<COREWEBVIEW2_PRINT_STATUS>(status));
    return TRUE;
}
