// The stand-in's view and its settings. The view is a plain child window of the host window
// that paints the last address it was sent to, so that a screenshot shows where it went.
#include "standin_browser.h"
#include "standin_command_file.h"
#include "standin_event_args.h"
#include "standin_log.h"
#include "standin_switches.h"

namespace Standin {
namespace {

constexpr const wchar_t* kViewClass = L"OrbisStandinView";

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        wchar_t address[2048] = {};
        GetWindowTextW(window, address, 2048);
        const std::wstring text = std::wstring(L"Stand-in runtime\n") + address;
        InflateRect(&area, -12, -12);
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, text.c_str(), -1, &area, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ViewProc), &module);
    return module;
}

HWND CreateViewWindow(HWND parent) {
    static const bool registered = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = ViewProc;
        windowClass.hInstance = ThisModule();
        windowClass.lpszClassName = kViewClass;
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        return RegisterClassW(&windowClass) != 0;
    }();
    if (!registered || !IsWindow(parent)) return nullptr;
    RECT area = {};
    GetClientRect(parent, &area);
    return CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                           area.right, area.bottom, parent, nullptr, ThisModule(), nullptr);
}

nlohmann::json Flag(const char* call, BOOL value) {
    return {{"call", call}, {"value", value != FALSE}};
}

HRESULT LogOnly(const char* call, BOOL value) {
    AppendLogLine(Flag(call, value));
    return S_OK;
}

template <typename Handler>
HRESULT AddLogged(const char* call, HandlerList<Handler>& list, Handler* handler,
                  EventRegistrationToken* token) {
    AppendLogLine({{"call", call}, {"token", token != nullptr}});
    return list.Add(handler, token);
}

}  // namespace

Settings::Settings()
    : Object(
          [] {
              using I = ICoreWebView2Settings7;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::put_AreDevToolsEnabled, +[](Settings*, BOOL value) {
                          return LogOnly("ICoreWebView2Settings.put_AreDevToolsEnabled", value);
                      });
                  t.Set(
                      &I::put_AreDefaultContextMenusEnabled, +[](Settings*, BOOL value) {
                          return LogOnly("ICoreWebView2Settings.put_AreDefaultContextMenusEnabled",
                                         value);
                      });
                  t.Set(
                      &I::put_IsStatusBarEnabled, +[](Settings*, BOOL value) {
                          return LogOnly("ICoreWebView2Settings.put_IsStatusBarEnabled", value);
                      });
                  t.Set(
                      &I::put_IsZoomControlEnabled, +[](Settings*, BOOL value) {
                          return LogOnly("ICoreWebView2Settings.put_IsZoomControlEnabled", value);
                      });
                  t.Set(
                      &I::put_AreBrowserAcceleratorKeysEnabled, +[](Settings*, BOOL value) {
                          return LogOnly(
                              "ICoreWebView2Settings3.put_AreBrowserAcceleratorKeysEnabled", value);
                      });
                  t.Set(
                      &I::put_HiddenPdfToolbarItems,
                      +[](Settings*, COREWEBVIEW2_PDF_TOOLBAR_ITEMS value) {
                          AppendLogLine(
                              {{"call", "ICoreWebView2Settings7.put_HiddenPdfToolbarItems"},
                               {"value", static_cast<int>(value)}});
                          return S_OK;
                      });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2Settings), STANDIN_ANSWERS(ICoreWebView2Settings2),
           STANDIN_ANSWERS(ICoreWebView2Settings3), STANDIN_ANSWERS(ICoreWebView2Settings4),
           STANDIN_ANSWERS(ICoreWebView2Settings5), STANDIN_ANSWERS(ICoreWebView2Settings6),
           STANDIN_ANSWERS(ICoreWebView2Settings7)}) {}

WebView::WebView(HWND parent)
    : Object(
          [] {
              using Self = WebView;
              using I = ICoreWebView2_22;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::get_Settings, +[](Self* self, ICoreWebView2Settings** out) {
                          AppendLogLine({{"call", "ICoreWebView2.get_Settings"}});
                          if (out == nullptr) return E_POINTER;
                          *out = self->settings->Give<ICoreWebView2Settings>();
                          return S_OK;
                      });
                  t.Set(
                      &I::get_Source, +[](Self* self, LPWSTR* out) {
                          if (out == nullptr) return E_POINTER;
                          *out = CoTaskCopy(self->history.empty() ? L"about:blank"
                                                                  : self->history.back());
                          return S_OK;
                      });
                  t.Set(
                      &I::Navigate, +[](Self* self, LPCWSTR uri) {
                          AppendLogLine(
                              {{"call", "ICoreWebView2.Navigate"}, {"uri", TextOrNull(uri)}});
                          if (uri == nullptr) return E_INVALIDARG;
                          self->Show(uri);
                          return S_OK;
                      });
                  t.Set(
                      &I::NavigateToString, +[](Self* self, LPCWSTR html) {
                          AppendLogLine({{"call", "ICoreWebView2.NavigateToString"},
                                         {"html", TextOrNull(html)}});
                          if (html == nullptr) return E_INVALIDARG;
                          self->Show(L"about:blank (generated page)");
                          return S_OK;
                      });
                  t.Set(
                      &I::add_NavigationStarting,
                      +[](Self* self, ICoreWebView2NavigationStartingEventHandler* handler,
                          EventRegistrationToken* token) {
                          return AddLogged("ICoreWebView2.add_NavigationStarting",
                                           self->navigationStarting, handler, token);
                      });
                  t.Set(
                      &I::add_NavigationCompleted,
                      +[](Self* self, ICoreWebView2NavigationCompletedEventHandler* handler,
                          EventRegistrationToken* token) {
                          return AddLogged("ICoreWebView2.add_NavigationCompleted",
                                           self->navigationCompleted, handler, token);
                      });
                  t.Set(
                      &I::add_WebMessageReceived,
                      +[](Self* self, ICoreWebView2WebMessageReceivedEventHandler* handler,
                          EventRegistrationToken* token) {
                          return AddLogged("ICoreWebView2.add_WebMessageReceived",
                                           self->webMessageReceived, handler, token);
                      });
                  t.Set(
                      &I::add_PermissionRequested,
                      +[](Self* self, ICoreWebView2PermissionRequestedEventHandler* handler,
                          EventRegistrationToken* token) {
                          return AddLogged("ICoreWebView2.add_PermissionRequested",
                                           self->permissionRequested, handler, token);
                      });
                  t.Set(
                      &I::add_NewWindowRequested,
                      +[](Self* self, ICoreWebView2NewWindowRequestedEventHandler* handler,
                          EventRegistrationToken* token) {
                          return AddLogged("ICoreWebView2.add_NewWindowRequested",
                                           self->newWindowRequested, handler, token);
                      });
                  t.Set(
                      &I::add_WebResourceRequested,
                      +[](Self* self, ICoreWebView2WebResourceRequestedEventHandler* handler,
                          EventRegistrationToken* token) {
                          return AddLogged("ICoreWebView2.add_WebResourceRequested",
                                           self->webResourceRequested, handler, token);
                      });
                  t.Set(
                      &I::add_ServerCertificateErrorDetected,
                      +[](Self* self,
                          ICoreWebView2ServerCertificateErrorDetectedEventHandler* handler,
                          EventRegistrationToken* token) {
                          return AddLogged("ICoreWebView2_14.add_ServerCertificateErrorDetected",
                                           self->certificateError, handler, token);
                      });
                  t.Set(
                      &I::AddWebResourceRequestedFilter,
                      +[](Self* self, LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) {
                          AppendLogLine({{"call", "ICoreWebView2.AddWebResourceRequestedFilter"},
                                         {"uri", TextOrNull(uri)},
                                         {"context", static_cast<int>(context)}});
                          const StepBehaviour step = BehaviourOf("FILTER");
                          if (step.failure) return *step.failure;
                          ++self->filterCount;
                          return S_OK;
                      });
                  t.Set(
                      &I::AddWebResourceRequestedFilterWithRequestSourceKinds,
                      +[](Self* self, LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context,
                          COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS kinds) {
                          AppendLogLine({{"call",
                                          "ICoreWebView2_22."
                                          "AddWebResourceRequestedFilterWithRequestSourceKinds"},
                                         {"uri", TextOrNull(uri)},
                                         {"context", static_cast<int>(context)},
                                         {"kinds", static_cast<unsigned>(kinds)}});
                          const StepBehaviour step = BehaviourOf("FILTER_KINDS");
                          // The fallback to all kinds is the one a runtime still accepts.
                          if (step.failure &&
                              kinds != COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_ALL) {
                              return *step.failure;
                          }
                          ++self->filterCount;
                          return S_OK;
                      });
                  t.Set(
                      &I::AddScriptToExecuteOnDocumentCreated,
                      +[](Self*, LPCWSTR script,
                          ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler*
                              handler) {
                          AppendLogLine(
                              {{"call", "ICoreWebView2.AddScriptToExecuteOnDocumentCreated"},
                               {"script", TextOrNull(script)},
                               {"handler", handler != nullptr}});
                          return script == nullptr ? E_INVALIDARG : S_OK;
                      });
                  t.Set(
                      &I::PostWebMessageAsJson, +[](Self*, LPCWSTR json) {
                          AppendLogLine({{"call", "ICoreWebView2.PostWebMessageAsJson"},
                                         {"json", TextOrNull(json)}});
                          return json == nullptr ? E_INVALIDARG : S_OK;
                      });
                  t.Set(
                      &I::get_CanGoBack, +[](Self* self, BOOL* out) {
                          if (out == nullptr) return E_POINTER;
                          *out = self->history.size() > 1 ? TRUE : FALSE;
                          return S_OK;
                      });
                  t.Set(
                      &I::GoBack, +[](Self* self) {
                          AppendLogLine({{"call", "ICoreWebView2.GoBack"}});
                          if (self->history.size() > 1) {
                              self->history.pop_back();
                              const std::wstring previous = self->history.back();
                              self->history.pop_back();
                              self->Show(previous);
                          }
                          return S_OK;
                      });
                  t.Set(
                      &I::Reload, +[](Self*) {
                          AppendLogLine({{"call", "ICoreWebView2.Reload"}});
                          return S_OK;
                      });
                  t.Set(
                      &I::get_BrowserProcessId, +[](Self*, UINT32* out) {
                          AppendLogLine({{"call", "ICoreWebView2.get_BrowserProcessId"}});
                          if (out == nullptr) return E_POINTER;
                          // No process of its own: the host can only wait for the exit event.
                          *out = 0;
                          return S_OK;
                      });
                  t.Set(
                      &I::Print, +[](Self* self, ICoreWebView2PrintSettings* printSettings,
                                     ICoreWebView2PrintCompletedHandler* handler) {
                          const auto* held = reinterpret_cast<PrintSettings*>(printSettings);
                          AppendLogLine(
                              {{"call", "ICoreWebView2_16.Print"},
                               {"printer", held == nullptr ? nlohmann::json()
                                                           : TextOrNull(held->printerName.c_str())},
                               {"handler", handler != nullptr}});
                          if (handler == nullptr) return E_INVALIDARG;
                          self->pendingPrint =
                              Win32::ComPtr<ICoreWebView2PrintCompletedHandler>(handler);
                          return S_OK;
                      });
              });
              return table.Slots();
          }(),
          [] {
              std::vector<Answered> answered = {
                  STANDIN_ANSWERS(ICoreWebView2),    STANDIN_ANSWERS(ICoreWebView2_2),
                  STANDIN_ANSWERS(ICoreWebView2_3),  STANDIN_ANSWERS(ICoreWebView2_4),
                  STANDIN_ANSWERS(ICoreWebView2_5),  STANDIN_ANSWERS(ICoreWebView2_6),
                  STANDIN_ANSWERS(ICoreWebView2_7),  STANDIN_ANSWERS(ICoreWebView2_8),
                  STANDIN_ANSWERS(ICoreWebView2_9),  STANDIN_ANSWERS(ICoreWebView2_10),
                  STANDIN_ANSWERS(ICoreWebView2_11), STANDIN_ANSWERS(ICoreWebView2_12),
                  STANDIN_ANSWERS(ICoreWebView2_13), STANDIN_ANSWERS(ICoreWebView2_14),
                  STANDIN_ANSWERS(ICoreWebView2_15), STANDIN_ANSWERS(ICoreWebView2_16),
                  STANDIN_ANSWERS(ICoreWebView2_17), STANDIN_ANSWERS(ICoreWebView2_18),
                  STANDIN_ANSWERS(ICoreWebView2_19), STANDIN_ANSWERS(ICoreWebView2_20),
                  STANDIN_ANSWERS(ICoreWebView2_21), STANDIN_ANSWERS(ICoreWebView2_22)};
              return answered;
          }()),
      window(CreateViewWindow(parent)),
      settings(Win32::ComPtr<Settings>::Adopt(new Settings())) {
    CurrentObjects().view = this;
    StartCommandFile();
}

WebView::~WebView() {
    if (CurrentObjects().view == this) CurrentObjects().view = nullptr;
    if (window != nullptr && IsWindow(window)) DestroyWindow(window);
}

void WebView::Show(const std::wstring& address) {
    history.push_back(address);
    if (window != nullptr) {
        SetWindowTextW(window, address.c_str());
        InvalidateRect(window, nullptr, TRUE);
    }
}

}  // namespace Standin
