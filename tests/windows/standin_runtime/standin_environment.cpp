// The stand-in's environment and controller.
#include <chrono>
#include <cstdlib>
#include <thread>

#include "standin_environment.h"

#include "standin_browser.h"
#include "standin_event_args.h"
#include "standin_log.h"
#include "standin_switches.h"
#include "standin_thread_queue.h"

namespace Standin {
namespace {

// How long after Close the browser process "exits" (ORBIS_STANDIN_EXIT_DELAY_MS, default 200).
std::chrono::milliseconds ExitDelay() {
    const std::string text = SwitchText("ORBIS_STANDIN_EXIT_DELAY_MS");
    return std::chrono::milliseconds(text.empty() ? 200 : std::atoi(text.c_str()));
}

nlohmann::json RectJson(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

Current& CurrentObjects() {
    static Current current;
    return current;
}

Environment::Environment()
    : Object(
          [] {
              using Self = Environment;
              using I = ICoreWebView2Environment6;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::CreateCoreWebView2Controller,
                      +[](Self* self, HWND parent,
                          ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) {
                          AppendLogLine(
                              {{"call", "ICoreWebView2Environment.CreateCoreWebView2Controller"},
                               {"parentIsWindow", IsWindow(parent) != FALSE}});
                          if (handler == nullptr) return E_POINTER;
                          const StepBehaviour call = BehaviourOf("CONTROLLER_CALL");
                          if (call.failure) return *call.failure;
                          const StepBehaviour completion = BehaviourOf("CONTROLLER");
                          const Win32::ComPtr<
                              ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>
                              held(handler);
                          if (completion.neverCompletes) {
                              // Kept, never called: the attempt waits until the host gives up.
                              static std::vector<Win32::ComPtr<
                                  ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>>
                                  parked;
                              parked.push_back(held);
                              return S_OK;
                          }
                          const Win32::ComPtr<Environment> environment(self);
                          const std::optional<HRESULT> failure = completion.failure;
                          return PostToCallingThread([held, environment, parent, failure] {
                              if (failure) {
                                  held->Invoke(*failure, nullptr);
                                  return;
                              }
                              const auto view = Win32::ComPtr<WebView>::Adopt(new WebView(parent));
                              const auto controller = Win32::ComPtr<Controller>::Adopt(
                                  new Controller(environment, parent, view));
                              held->Invoke(S_OK, reinterpret_cast<ICoreWebView2Controller*>(
                                                     controller.Get()));
                          });
                      });
                  t.Set(
                      &I::CreateWebResourceResponse,
                      +[](Self*, IStream* content, int statusCode, LPCWSTR reasonPhrase,
                          LPCWSTR headers, ICoreWebView2WebResourceResponse** out) {
                          AppendLogLine(
                              {{"call", "ICoreWebView2Environment.CreateWebResourceResponse"},
                               {"content", content != nullptr},
                               {"statusCode", statusCode},
                               {"reasonPhrase", TextOrNull(reasonPhrase)},
                               {"headers", TextOrNull(headers)}});
                          if (out == nullptr) return E_POINTER;
                          *out = reinterpret_cast<ICoreWebView2WebResourceResponse*>(
                              new Response(statusCode, reasonPhrase ? reasonPhrase : L"",
                                           headers ? headers : L""));
                          return S_OK;
                      });
                  t.Set(
                      &I::get_BrowserVersionString, +[](Self*, LPWSTR* out) {
                          if (out == nullptr) return E_POINTER;
                          *out = CoTaskCopy(L"stand-in");
                          return S_OK;
                      });
                  t.Set(
                      &I::add_BrowserProcessExited,
                      +[](Self* self, ICoreWebView2BrowserProcessExitedEventHandler* handler,
                          EventRegistrationToken* token) {
                          AppendLogLine(
                              {{"call", "ICoreWebView2Environment5.add_BrowserProcessExited"}});
                          return self->browserExited.Add(handler, token);
                      });
                  t.Set(
                      &I::remove_BrowserProcessExited,
                      +[](Self* self, EventRegistrationToken token) {
                          AppendLogLine(
                              {{"call", "ICoreWebView2Environment5.remove_BrowserProcessExited"},
                               {"token", token.value}});
                          return self->browserExited.Remove(token);
                      });
                  t.Set(
                      &I::CreatePrintSettings, +[](Self*, ICoreWebView2PrintSettings** out) {
                          AppendLogLine(
                              {{"call", "ICoreWebView2Environment6.CreatePrintSettings"}});
                          if (out == nullptr) return E_POINTER;
                          const StepBehaviour step = BehaviourOf("PRINT_SETTINGS");
                          *out = nullptr;
                          if (step.failure) return *step.failure;
                          *out = reinterpret_cast<ICoreWebView2PrintSettings*>(new PrintSettings());
                          return S_OK;
                      });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2Environment), STANDIN_ANSWERS(ICoreWebView2Environment2),
           STANDIN_ANSWERS(ICoreWebView2Environment3), STANDIN_ANSWERS(ICoreWebView2Environment4),
           STANDIN_ANSWERS(ICoreWebView2Environment5),
           STANDIN_ANSWERS(ICoreWebView2Environment6)}) {
    CurrentObjects().environment = this;
}

Environment::~Environment() {
    if (CurrentObjects().environment == this) CurrentObjects().environment = nullptr;
}

void Environment::RaiseBrowserExit() {
    AppendLogLine({{"event", "BrowserProcessExited"}, {"handlers", browserExited.Size()}});
    const auto args = Win32::ComPtr<BrowserExitArgs>::Adopt(new BrowserExitArgs());
    for (const auto& handler : browserExited.Snapshot()) {
        handler->Invoke(reinterpret_cast<ICoreWebView2Environment*>(this),
                        reinterpret_cast<ICoreWebView2BrowserProcessExitedEventArgs*>(args.Get()));
    }
}

Controller::Controller(Win32::ComPtr<Environment> owner, HWND parent, Win32::ComPtr<WebView> shown)
    : Object(
          [] {
              using Self = Controller;
              using I = ICoreWebView2Controller4;
              static const Table table([](Table& t) {
                  t.Set(
                      &I::get_IsVisible, +[](Self* self, BOOL* out) {
                          if (out == nullptr) return E_POINTER;
                          *out = self->visible ? TRUE : FALSE;
                          return S_OK;
                      });
                  t.Set(
                      &I::put_IsVisible, +[](Self* self, BOOL value) {
                          AppendLogLine({{"call", "ICoreWebView2Controller.put_IsVisible"},
                                         {"value", value != FALSE}});
                          self->visible = value != FALSE;
                          if (self->view && self->view->window != nullptr) {
                              ShowWindow(self->view->window, self->visible ? SW_SHOW : SW_HIDE);
                          }
                          return S_OK;
                      });
                  t.Set(
                      &I::get_Bounds, +[](Self* self, RECT* out) {
                          if (out == nullptr) return E_POINTER;
                          *out = self->bounds;
                          return S_OK;
                      });
                  t.Set(
                      &I::put_Bounds, +[](Self* self, RECT value) {
                          AppendLogLine({{"call", "ICoreWebView2Controller.put_Bounds"},
                                         {"value", RectJson(value)}});
                          self->bounds = value;
                          if (self->view && self->view->window != nullptr) {
                              MoveWindow(self->view->window, value.left, value.top,
                                         value.right - value.left, value.bottom - value.top, TRUE);
                          }
                          return S_OK;
                      });
                  t.Set(
                      &I::get_ParentWindow, +[](Self* self, HWND* out) {
                          if (out == nullptr) return E_POINTER;
                          *out = self->parentWindow;
                          return S_OK;
                      });
                  t.Set(
                      &I::NotifyParentWindowPositionChanged, +[](Self*) {
                          AppendLogLine(
                              {{"call",
                                "ICoreWebView2Controller.NotifyParentWindowPositionChanged"}});
                          return S_OK;
                      });
                  t.Set(
                      &I::Close, +[](Self* self) {
                          AppendLogLine({{"call", "ICoreWebView2Controller.Close"}});
                          if (self->closed) return S_OK;
                          self->closed = true;
                          if (self->view) {
                              if (CurrentObjects().view == self->view.Get()) {
                                  CurrentObjects().view = nullptr;
                              }
                              if (self->view->window != nullptr) DestroyWindow(self->view->window);
                              self->view->window = nullptr;
                          }
                          // The browser process ends a little later, on a thread of its own; the
                          // host's wait is what notices it.
                          if (!BehaviourOf("EXIT").neverCompletes && self->environment) {
                              const auto exiting = self->environment;
                              const auto delay = ExitDelay();
                              std::thread([exiting, delay] {
                                  std::this_thread::sleep_for(delay);
                                  exiting->RaiseBrowserExit();
                              }).detach();
                          }
                          return S_OK;
                      });
                  t.Set(
                      &I::get_CoreWebView2, +[](Self* self, ICoreWebView2** out) {
                          AppendLogLine({{"call", "ICoreWebView2Controller.get_CoreWebView2"}});
                          if (out == nullptr) return E_POINTER;
                          *out = nullptr;
                          const StepBehaviour step = BehaviourOf("GET_WEBVIEW");
                          if (step.failure) return *step.failure;
                          if (!self->view || self->closed) return E_FAIL;
                          *out = self->view->Give<ICoreWebView2>();
                          return S_OK;
                      });
                  t.Set(
                      &I::put_DefaultBackgroundColor, +[](Self*, COREWEBVIEW2_COLOR value) {
                          AppendLogLine(
                              {{"call", "ICoreWebView2Controller2.put_DefaultBackgroundColor"},
                               {"value", {value.A, value.R, value.G, value.B}}});
                          return S_OK;
                      });
                  t.Set(
                      &I::put_AllowExternalDrop, +[](Self*, BOOL value) {
                          AppendLogLine({{"call", "ICoreWebView2Controller4.put_AllowExternalDrop"},
                                         {"value", value != FALSE}});
                          return S_OK;
                      });
              });
              return table.Slots();
          }(),
          {STANDIN_ANSWERS(ICoreWebView2Controller), STANDIN_ANSWERS(ICoreWebView2Controller2),
           STANDIN_ANSWERS(ICoreWebView2Controller3), STANDIN_ANSWERS(ICoreWebView2Controller4)}),
      environment(std::move(owner)),
      parentWindow(parent),
      view(std::move(shown)) {}

Win32::ComPtr<ICoreWebView2Environment> MakeEnvironment() {
    return Win32::ComPtr<ICoreWebView2Environment>::Adopt(
        reinterpret_cast<ICoreWebView2Environment*>(new Environment()));
}

}  // namespace Standin
