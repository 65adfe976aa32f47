#include "standin_event_args.h"

#include <cstring>

#include "standin_log.h"

namespace Standin {

LPWSTR CoTaskCopy(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (copy != nullptr) std::memcpy(copy, text.c_str(), bytes);
    return copy;
}

namespace {

HRESULT GiveText(const std::wstring& text, LPWSTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = CoTaskCopy(text);
    return *out == nullptr ? E_OUTOFMEMORY : S_OK;
}

template <typename T>
HRESULT GiveValue(const T& value, T* out) {
    if (out == nullptr) return E_POINTER;
    *out = value;
    return S_OK;
}

template <typename I, typename Held>
HRESULT GiveObject(const Win32::ComPtr<Held>& held, I** out) {
    if (out == nullptr) return E_POINTER;
    *out = held ? reinterpret_cast<I*>(held->template Give<I>()) : nullptr;
    return held ? S_OK : E_FAIL;
}

}  // namespace

NavigationStartingArgs::NavigationStartingArgs(std::wstring address)
    : Object(
          [] {
              using Self = NavigationStartingArgs;
              using I = ICoreWebView2NavigationStartingEventArgs;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::get_Uri,
                      +[](Self* self, LPWSTR* out) { return GiveText(self->uri, out); });
                  t.Set(
                      &I::get_Cancel, +[](Self* self, BOOL* out) {
                          return GiveValue<BOOL>(self->cancel ? TRUE : FALSE, out);
                      });
                  t.Set(
                      &I::put_Cancel, +[](Self* self, BOOL value) {
                          self->cancel = value != FALSE;
                          return S_OK;
                      });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2NavigationStartingEventArgs)}),
      uri(std::move(address)) {}

NavigationCompletedArgs::NavigationCompletedArgs(bool succeeded, int status)
    : Object(
          [] {
              using Self = NavigationCompletedArgs;
              using I = ICoreWebView2NavigationCompletedEventArgs;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::get_IsSuccess, +[](Self* self, BOOL* out) {
                          return GiveValue<BOOL>(self->isSuccess ? TRUE : FALSE, out);
                      });
                  t.Set(
                      &I::get_WebErrorStatus, +[](Self* self, COREWEBVIEW2_WEB_ERROR_STATUS* out) {
                          return GiveValue(
                              static_cast<COREWEBVIEW2_WEB_ERROR_STATUS>(self->webErrorStatus),
                              out);
                      });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2NavigationCompletedEventArgs)}),
      isSuccess(succeeded),
      webErrorStatus(status) {}

WebMessageArgs::WebMessageArgs(std::wstring from, std::wstring message,
                               std::optional<std::wstring> messageText)
    : Object(
          [] {
              using Self = WebMessageArgs;
              using I = ICoreWebView2WebMessageReceivedEventArgs;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::get_Source,
                      +[](Self* self, LPWSTR* out) { return GiveText(self->source, out); });
                  t.Set(
                      &I::get_WebMessageAsJson,
                      +[](Self* self, LPWSTR* out) { return GiveText(self->json, out); });
                  t.Set(
                      &I::TryGetWebMessageAsString, +[](Self* self, LPWSTR* out) {
                          if (!self->text) {
                              if (out != nullptr) *out = nullptr;
                              return E_INVALIDARG;
                          }
                          return GiveText(*self->text, out);
                      });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2WebMessageReceivedEventArgs)}),
      source(std::move(from)),
      json(std::move(message)),
      text(std::move(messageText)) {}

PermissionArgs::PermissionArgs(COREWEBVIEW2_PERMISSION_KIND permission,
                               std::optional<std::wstring> address)
    : Object(
          [] {
              using Self = PermissionArgs;
              using I = ICoreWebView2PermissionRequestedEventArgs;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::get_Uri, +[](Self* self, LPWSTR* out) {
                          if (!self->uri) {
                              if (out != nullptr) *out = nullptr;
                              return E_FAIL;
                          }
                          return GiveText(*self->uri, out);
                      });
                  t.Set(
                      &I::get_PermissionKind, +[](Self* self, COREWEBVIEW2_PERMISSION_KIND* out) {
                          return GiveValue(self->kind, out);
                      });
                  t.Set(
                      &I::put_State, +[](Self* self, COREWEBVIEW2_PERMISSION_STATE value) {
                          self->state = value;
                          return S_OK;
                      });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2PermissionRequestedEventArgs)}),
      kind(permission),
      uri(std::move(address)) {}

NewWindowArgs::NewWindowArgs(std::wstring address)
    : Object(
          [] {
              using Self = NewWindowArgs;
              using I = ICoreWebView2NewWindowRequestedEventArgs;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::get_Uri,
                      +[](Self* self, LPWSTR* out) { return GiveText(self->uri, out); });
                  t.Set(
                      &I::put_Handled, +[](Self* self, BOOL value) {
                          self->handled = value != FALSE;
                          return S_OK;
                      });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2NewWindowRequestedEventArgs)}),
      uri(std::move(address)) {}

CertificateErrorArgs::CertificateErrorArgs(std::wstring address)
    : Object(
          [] {
              using Self = CertificateErrorArgs;
              using I = ICoreWebView2ServerCertificateErrorDetectedEventArgs;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::get_RequestUri,
                      +[](Self* self, LPWSTR* out) { return GiveText(self->uri, out); });
                  t.Set(
                      &I::put_Action,
                      +[](Self* self, COREWEBVIEW2_SERVER_CERTIFICATE_ERROR_ACTION value) {
                          self->action = value;
                          return S_OK;
                      });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2ServerCertificateErrorDetectedEventArgs)}),
      uri(std::move(address)) {}

BrowserExitArgs::BrowserExitArgs()
    : Object(
          [] {
              using I = ICoreWebView2BrowserProcessExitedEventArgs;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::get_BrowserProcessId,
                      +[](BrowserExitArgs*, UINT32* out) { return GiveValue<UINT32>(0, out); });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2BrowserProcessExitedEventArgs)}) {}

RequestHeaders::RequestHeaders()
    : Object(
          [] {
              using Self = RequestHeaders;
              using I = ICoreWebView2HttpRequestHeaders;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::SetHeader, +[](Self* self, LPCWSTR name, LPCWSTR value) {
                          AppendLogLine({{"call", "ICoreWebView2HttpRequestHeaders.SetHeader"},
                                         {"name", TextOrNull(name)},
                                         {"value", TextOrNull(value)}});
                          if (name == nullptr || value == nullptr) return E_INVALIDARG;
                          self->set.emplace_back(name, value);
                          return S_OK;
                      });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2HttpRequestHeaders)}) {}

Request::Request(std::wstring address)
    : Object(
          [] {
              using Self = Request;
              using I = ICoreWebView2WebResourceRequest;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::get_Uri,
                      +[](Self* self, LPWSTR* out) { return GiveText(self->uri, out); });
                  t.Set(
                      &I::get_Method, +[](Self*, LPWSTR* out) { return GiveText(L"GET", out); });
                  t.Set(
                      &I::get_Headers, +[](Self* self, ICoreWebView2HttpRequestHeaders** out) {
                          return GiveObject(self->headers, out);
                      });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2WebResourceRequest)}),
      uri(std::move(address)),
      headers(Win32::ComPtr<RequestHeaders>::Adopt(new RequestHeaders())) {}

Response::Response(int status, std::wstring reason, std::wstring headerText)
    : Object(
          [] {
              using Self = Response;
              using I = ICoreWebView2WebResourceResponse;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::get_StatusCode,
                      +[](Self* self, int* out) { return GiveValue(self->statusCode, out); });
                  t.Set(
                      &I::get_ReasonPhrase,
                      +[](Self* self, LPWSTR* out) { return GiveText(self->reasonPhrase, out); });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2WebResourceResponse)}),
      statusCode(status),
      reasonPhrase(std::move(reason)),
      headers(std::move(headerText)) {}

ResourceRequestedArgs::ResourceRequestedArgs(std::wstring address)
    : Object(
          [] {
              using Self = ResourceRequestedArgs;
              using I = ICoreWebView2WebResourceRequestedEventArgs;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::get_Request, +[](Self* self, ICoreWebView2WebResourceRequest** out) {
                          return GiveObject(self->request, out);
                      });
                  t.Set(
                      &I::put_Response, +[](Self* self, ICoreWebView2WebResourceResponse* answer) {
                          self->response = Win32::ComPtr<ICoreWebView2WebResourceResponse>(answer);
                          return S_OK;
                      });
                  t.Set(
                      &I::get_ResourceContext, +[](Self*, COREWEBVIEW2_WEB_RESOURCE_CONTEXT* out) {
                          return GiveValue(COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT, out);
                      });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2WebResourceRequestedEventArgs)}),
      request(Win32::ComPtr<Request>::Adopt(new Request(std::move(address)))) {}

PrintSettings::PrintSettings()
    : Object(
          [] {
              using Self = PrintSettings;
              using I = ICoreWebView2PrintSettings2;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::put_PrinterName, +[](Self* self, LPCWSTR value) {
                          AppendLogLine({{"call", "ICoreWebView2PrintSettings2.put_PrinterName"},
                                         {"value", TextOrNull(value)}});
                          self->printerName = value == nullptr ? L"" : value;
                          return S_OK;
                      });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2PrintSettings),
           STANDIN_ANSWERS(ICoreWebView2PrintSettings2)}) {}

}  // namespace Standin
