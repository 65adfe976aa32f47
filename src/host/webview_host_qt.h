#pragma once
// The browser host on Qt WebEngine: one profile, page and view inside one top-level window.
#include <QPointer>
#include <memory>
#include <string>

#include "host/browser_host.h"
#include "host/browser_startup.h"
#include "print/print_flow.h"

class QWidget;
class QWebEngineProfile;
class QWebEngineView;
class QWebChannel;

namespace WebView {

class HostPage;
class PageBridge;
class RequestInterceptor;

class WebViewHost final : public BrowserHost {
  public:
    // The view goes into `window`, filling it. `baseUrl` is the platform base address that
    // permissions and navigations are judged against; it may change while the host lives.
    WebViewHost(QWidget* window, const std::u16string& baseUrl);
    ~WebViewHost() override;
    WebViewHost(const WebViewHost&) = delete;
    WebViewHost& operator=(const WebViewHost&) = delete;

    // Qt creates its profile and view at once: `events.initialized` runs before this returns.
    void Initialize(const std::u16string& dataFolderBase, int attempts) override;
    const std::u16string& StatusText() const override { return statusText_; }

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
    // A child widget moves with its window; Chromium needs no notice.
    bool NotifyMoved() override { return false; }

    void ShowSystemPrintDialog() override;
    // Chromium's render processes belong to Qt, which ends them with the profile: there is no
    // process of this host's own to wait for.
    BrowserShutdown Shutdown(std::chrono::milliseconds maxWait) override;

    QWebEngineView* view() const { return view_; }

  private:
    void CreateBrowser(const std::u16string& folder);
    void SetupEventHandlers();
    Printing::PrintOperations PrintOperations();

    QPointer<QWidget> parentWindow_;
    const std::u16string& baseUrl_;
    std::u16string statusText_;
    BrowserStartup::StartupAttempts startup_;
    QWebEngineProfile* profile_ = nullptr;
    HostPage* page_ = nullptr;
    QWebEngineView* view_ = nullptr;
    QWebChannel* channel_ = nullptr;
    PageBridge* bridge_ = nullptr;
    RequestInterceptor* interceptor_ = nullptr;
    bool shutDown_ = false;
    int scriptCount_ = 0;
    // Expires with the host: work that outlives a call checks it before touching the host.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
    Printing::PrintFlow printFlow_;
};

}  // namespace WebView
