#pragma once
// The argument objects of the events the tests raise, and the request, headers and response
// objects of a resource request. Each keeps what the host set on it in plain fields, for the
// command that raised the event to report.
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/win32_resources_win32.h"
#include "host/webview2_com_webview2.h"
#include "standin_com.h"

namespace Standin {

// A copy the caller frees with CoTaskMemFree.
LPWSTR CoTaskCopy(const std::wstring& text);

#define STANDIN_ANSWERS(Name) \
    Answered {                \
        IID_##Name, #Name     \
    }

struct NavigationStartingArgs final : Object<NavigationStartingArgs> {
    explicit NavigationStartingArgs(std::wstring address);
    std::wstring uri;
    bool cancel = false;
};

struct NavigationCompletedArgs final : Object<NavigationCompletedArgs> {
    NavigationCompletedArgs(bool succeeded, int status);
    bool isSuccess;
    int webErrorStatus;
};

struct WebMessageArgs final : Object<WebMessageArgs> {
    WebMessageArgs(std::wstring source, std::wstring json, std::optional<std::wstring> text);
    std::wstring source;
    std::wstring json;
    std::optional<std::wstring> text;  // set when the page posted a string
};

struct PermissionArgs final : Object<PermissionArgs> {
    PermissionArgs(COREWEBVIEW2_PERMISSION_KIND permission, std::optional<std::wstring> address);
    COREWEBVIEW2_PERMISSION_KIND kind;
    std::optional<std::wstring> uri;
    COREWEBVIEW2_PERMISSION_STATE state = COREWEBVIEW2_PERMISSION_STATE_DEFAULT;
};

struct NewWindowArgs final : Object<NewWindowArgs> {
    explicit NewWindowArgs(std::wstring address);
    std::wstring uri;
    bool handled = false;
};

struct CertificateErrorArgs final : Object<CertificateErrorArgs> {
    explicit CertificateErrorArgs(std::wstring address);
    std::wstring uri;
    COREWEBVIEW2_SERVER_CERTIFICATE_ERROR_ACTION action =
        COREWEBVIEW2_SERVER_CERTIFICATE_ERROR_ACTION_DEFAULT;
};

struct BrowserExitArgs final : Object<BrowserExitArgs> {
    BrowserExitArgs();
};

struct RequestHeaders final : Object<RequestHeaders> {
    RequestHeaders();
    std::vector<std::pair<std::wstring, std::wstring>> set;  // in the order the host set them
};

struct Request final : Object<Request> {
    explicit Request(std::wstring address);
    std::wstring uri;
    Win32::ComPtr<RequestHeaders> headers;
};

struct Response final : Object<Response> {
    Response(int status, std::wstring reason, std::wstring headerText);
    int statusCode;
    std::wstring reasonPhrase;
    std::wstring headers;
};

struct ResourceRequestedArgs final : Object<ResourceRequestedArgs> {
    explicit ResourceRequestedArgs(std::wstring address);
    Win32::ComPtr<Request> request;
    Win32::ComPtr<ICoreWebView2WebResourceResponse> response;
};

struct PrintSettings final : Object<PrintSettings> {
    PrintSettings();
    std::wstring printerName;
};

}  // namespace Standin
