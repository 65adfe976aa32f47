// The view's event handlers: each turns a runtime event into the portable decision the window
// supplies (or the host's own policy) and applies the answer. Every handler reports success to the
// runtime, whatever it did.
#include "common/wide_text_win32.h"
#include "content/navigation_policy.h"
#include "content/page_scripts.h"
#include "host/com_callback_webview2.h"
#include "host/webview_host_webview2.h"

namespace WebView {
namespace {

using Win32::ComPtr;
using Win32::WidePtr;

// Document, shared worker and service worker: the requests that escape a filter without kinds.
const COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS kDocumentAndWorkerSources =
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_DOCUMENT |
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_SHARED_WORKER |
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_SERVICE_WORKER;
constexpr const wchar_t* kEveryUri = L"*";
constexpr const wchar_t* kResponseHeaders = L"Content-Type: text/plain";

// A string the runtime handed out, copied and freed; empty when it gave none.
template <typename Getter>
bool ReadString(Getter get, std::u16string& text) {
    LPWSTR raw = nullptr;
    const HRESULT result = get(&raw);
    const Win32::CoTaskString owned(raw);
    if (FAILED(result) || owned == nullptr) return false;
    text = Win32::FromWide(owned.get());
    return true;
}

PermissionKind KindOf(COREWEBVIEW2_PERMISSION_KIND kind) {
    switch (kind) {
        case COREWEBVIEW2_PERMISSION_KIND_MICROPHONE:
            return PermissionKind::Microphone;
        case COREWEBVIEW2_PERMISSION_KIND_CAMERA:
            return PermissionKind::Camera;
        default:
            return PermissionKind::Other;
    }
}

COREWEBVIEW2_PERMISSION_STATE StateOf(PermissionDecision decision) {
    switch (decision) {
        case PermissionDecision::Allow:
            return COREWEBVIEW2_PERMISSION_STATE_ALLOW;
        case PermissionDecision::Deny:
            return COREWEBVIEW2_PERMISSION_STATE_DENY;
        case PermissionDecision::Default:
            break;
    }
    return COREWEBVIEW2_PERMISSION_STATE_DEFAULT;
}

}  // namespace

HRESULT WebViewHost::SetupEventHandlers() {
    if (!webView_) return E_POINTER;
    // Handlers live as long as the view; the tokens are kept only because the runtime writes them.
    EventRegistrationToken token = {};

    webView_->add_NavigationStarting(
        WebView2Callback::Make<ICoreWebView2NavigationStartingEventHandler>(
            IID_ICoreWebView2NavigationStartingEventHandler,
            [this](ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args) {
                std::u16string uri;
                if (!events.navigationStarting ||
                    !ReadString([args](LPWSTR* out) { return args->get_Uri(out); }, uri)) {
                    return S_OK;
                }
                bool cancel = false;
                events.navigationStarting(uri, cancel);
                if (cancel) args->put_Cancel(TRUE);
                return S_OK;
            })
            .Get(),
        &token);

    webView_->add_WebMessageReceived(
        WebView2Callback::Make<ICoreWebView2WebMessageReceivedEventHandler>(
            IID_ICoreWebView2WebMessageReceivedEventHandler,
            [this](ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs* args) {
                std::u16string text;
                // A string message arrives as itself, anything else as its JSON text.
                if (!ReadString([args](LPWSTR* out) { return args->TryGetWebMessageAsString(out); },
                                text)) {
                    ReadString([args](LPWSTR* out) { return args->get_WebMessageAsJson(out); },
                               text);
                }
                if (events.webMessage) events.webMessage(text);
                return S_OK;
            })
            .Get(),
        &token);

    webView_->add_NavigationCompleted(
        WebView2Callback::Make<ICoreWebView2NavigationCompletedEventHandler>(
            IID_ICoreWebView2NavigationCompletedEventHandler,
            [this](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs* args) {
                if (!events.navigationCompleted) return S_OK;
                BOOL succeeded = FALSE;
                args->get_IsSuccess(&succeeded);
                COREWEBVIEW2_WEB_ERROR_STATUS status = COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
                if (!succeeded) args->get_WebErrorStatus(&status);
                events.navigationCompleted(succeeded != FALSE,
                                           succeeded ? 0 : static_cast<int>(status));
                return S_OK;
            })
            .Get(),
        &token);

    webView_->add_PermissionRequested(
        WebView2Callback::Make<ICoreWebView2PermissionRequestedEventHandler>(
            IID_ICoreWebView2PermissionRequestedEventHandler,
            [this](ICoreWebView2*, ICoreWebView2PermissionRequestedEventArgs* args) {
                COREWEBVIEW2_PERMISSION_KIND kind = COREWEBVIEW2_PERMISSION_KIND_UNKNOWN_PERMISSION;
                args->get_PermissionKind(&kind);
                std::u16string uri;
                const bool hasUri =
                    ReadString([args](LPWSTR* out) { return args->get_Uri(out); }, uri);
                args->put_State(
                    StateOf(DecidePermission(KindOf(kind), hasUri ? &uri : nullptr, baseUrl_)));
                return S_OK;
            })
            .Get(),
        &token);

    // No second window ever opens: its address loads here, under the same navigation rules.
    webView_->add_NewWindowRequested(
        WebView2Callback::Make<ICoreWebView2NewWindowRequestedEventHandler>(
            IID_ICoreWebView2NewWindowRequestedEventHandler,
            [this](ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args) {
                args->put_Handled(TRUE);
                std::u16string uri;
                if (ReadString([args](LPWSTR* out) { return args->get_Uri(out); }, uri) &&
                    webView_) {
                    Navigate(uri);
                }
                return S_OK;
            })
            .Get(),
        &token);

    // An invalid certificate never loads, and the user gets no override.
    if (const auto view14 = webView_.As<ICoreWebView2_14>(IID_ICoreWebView2_14)) {
        view14->add_ServerCertificateErrorDetected(
            WebView2Callback::Make<ICoreWebView2ServerCertificateErrorDetectedEventHandler>(
                IID_ICoreWebView2ServerCertificateErrorDetectedEventHandler,
                [](ICoreWebView2*, ICoreWebView2ServerCertificateErrorDetectedEventArgs* args) {
                    args->put_Action(COREWEBVIEW2_SERVER_CERTIFICATE_ERROR_ACTION_CANCEL);
                    return S_OK;
                })
                .Get(),
            &token);
    }

    webView_->AddScriptToExecuteOnDocumentCreated(WidePtr(PageScripts::ServiceWorkerBlockScript()),
                                                  nullptr);
    return RegisterRequestFilter();
}

HRESULT WebViewHost::RegisterRequestFilter() {
    const HRESULT filtered =
        webView_->AddWebResourceRequestedFilter(kEveryUri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL);
    bool anyFilter = SUCCEEDED(filtered);
    if (const auto view22 = webView_.As<ICoreWebView2_22>(IID_ICoreWebView2_22)) {
        HRESULT withKinds = view22->AddWebResourceRequestedFilterWithRequestSourceKinds(
            kEveryUri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL, kDocumentAndWorkerSources);
        if (FAILED(withKinds)) {
            withKinds = view22->AddWebResourceRequestedFilterWithRequestSourceKinds(
                kEveryUri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL,
                COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_ALL);
        }
        anyFilter = anyFilter || SUCCEEDED(withKinds);
    }
    if (anyFilter) {
        EventRegistrationToken token = {};
        webView_->add_WebResourceRequested(
            WebView2Callback::Make<ICoreWebView2WebResourceRequestedEventHandler>(
                IID_ICoreWebView2WebResourceRequestedEventHandler,
                [this](ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args) {
                    AnswerRequest(args);
                    return S_OK;
                })
                .Get(),
            &token);
    }
    return filtered;
}

void WebViewHost::AnswerRequest(ICoreWebView2WebResourceRequestedEventArgs* args) {
    ComPtr<ICoreWebView2WebResourceRequest> request;
    ComPtr<ICoreWebView2HttpRequestHeaders> headers;
    if (FAILED(args->get_Request(request.Put())) || !request ||
        FAILED(request->get_Headers(headers.Put())) || !headers) {
        return;
    }
    std::u16string uri;
    if (!ReadString([&request](LPWSTR* out) { return request->get_Uri(out); }, uri)) return;
    const RequestDecision decision =
        events.resourceRequested ? events.resourceRequested(uri) : RequestDecision{};
    if (decision.kind != RequestDecision::Kind::Pass) {
        // A failed response leaves the request to go ahead unanswered.
        ComPtr<ICoreWebView2WebResourceResponse> response;
        if (environment_ &&
            SUCCEEDED(environment_->CreateWebResourceResponse(
                nullptr, StatusOf(decision.kind), WidePtr(std::u16string(ReasonOf(decision.kind))),
                kResponseHeaders, response.Put())) &&
            response) {
            args->put_Response(response.Get());
        }
        return;
    }
    for (const RequestHeader& header : decision.headers) {
        headers->SetHeader(WidePtr(header.name), WidePtr(header.value));
    }
}

}  // namespace WebView
