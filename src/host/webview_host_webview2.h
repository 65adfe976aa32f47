#pragma once
// The browser host on WebView2: one environment, controller and view inside one top-level Win32
// window. Creation is asynchronous in the runtime; Initialize pumps the thread's messages until
// each attempt has finished, so for its caller it is synchronous.
#include <windows.h>

#include <memory>
#include <string>

#include "common/win32_resources_win32.h"
#include "host/browser_host.h"
#include "host/browser_startup.h"
#include "host/webview2_com_webview2.h"
#include "print/print_flow.h"

namespace WebView {

// Which runtime a host starts: a fixed-version runtime shipped beside the executable, else the
// installed one.
struct RuntimeChoice {
    bool fixed = false;
    std::u16string browserFolder;  // empty for the installed runtime
    std::u16string version;        // empty when the runtime did not say
};

// `executableFolder` holds the program (no trailing backslash).
RuntimeChoice ChooseRuntime(const std::u16string& executableFolder);

class WebViewHost final : public BrowserHost {
  public:
    // The view fills `window`'s client area. `baseUrl` is the platform base address that
    // permissions and the host's own navigations are judged against; it may change while the
    // host lives. A fixed-version runtime is looked for in `programFolder` (empty: the folder of
    // the running executable, where the installer puts it).
    WebViewHost(HWND window, const std::u16string& baseUrl, std::u16string programFolder = {});
    ~WebViewHost() override;
    WebViewHost(const WebViewHost&) = delete;
    WebViewHost& operator=(const WebViewHost&) = delete;

    // Returns when the view exists or every attempt has failed; `events.initialized` has run.
    void Initialize(const std::u16string& dataFolderBase, int attempts) override;
    const std::u16string& StatusText() const override { return statusText_; }
    // 0 after a successful start, else the reported failure code.
    HRESULT LastResult() const { return lastResult_; }

    void Navigate(const std::u16string& url) override;
    void NavigateToString(const std::u16string& html) override;
    void GoBack() override;
    void Reload() override;
    void AddScriptOnDocumentCreated(const std::u16string& script) override;
    void ApplyViewSettings() override;
    void PostWebMessageAsJson(const std::u16string& json) override;

    void SetVisible(bool visible) override;
    void RestoreVisibility() override;
    void Resize(int width, int height) override;
    // The runtime's windows live in another process: a moved window must tell them.
    bool NotifyMoved() override;

    void ShowSystemPrintDialog() override;
    BrowserShutdown Shutdown(std::chrono::milliseconds maxWait) override;

    ICoreWebView2Environment* Environment() const { return environment_.Get(); }
    ICoreWebView2* View() const { return webView_.Get(); }

  private:
    struct AttemptState;

    void CreateBrowser(const RuntimeChoice& runtime, const std::u16string& folder,
                       const BrowserStartup::AttemptFinished& finished);
    HRESULT OnEnvironmentCreated(const std::shared_ptr<AttemptState>& attempt, HRESULT result,
                                 ICoreWebView2Environment* environment);
    HRESULT OnControllerCreated(const std::shared_ptr<AttemptState>& attempt, HRESULT result,
                                ICoreWebView2Controller* controller);
    void FinishAttempt(AttemptState& attempt, std::u16string_view stage) const;
    void RegisterBrowserProcessExitHandler();
    HRESULT SetupEventHandlers();
    HRESULT RegisterRequestFilter();
    void AnswerRequest(ICoreWebView2WebResourceRequestedEventArgs* args);
    Printing::PrintOperations PrintOperations();

    HWND parentWindow_ = nullptr;
    const std::u16string& baseUrl_;
    const std::u16string programFolder_;
    Win32::ComPtr<ICoreWebView2Environment> environment_;
    Win32::ComPtr<ICoreWebView2Controller> controller_;
    Win32::ComPtr<ICoreWebView2> webView_;
    Win32::UniqueHandle browserExitEvent_;
    EventRegistrationToken browserExitToken_ = {};
    bool browserExitHandlerRegistered_ = false;
    bool shutDown_ = false;
    HRESULT lastResult_ = S_OK;
    std::u16string statusText_;
    BrowserStartup::StartupAttempts startup_;
    // Expires with the host: completions that arrive later check it before touching the host.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
    Printing::PrintFlow printFlow_;
};

}  // namespace WebView
