#pragma once
// WebViewHost on Qt WebEngine: one profile, page and view inside one top-level window, the
// callbacks through which the window's own logic plugs in, and an orderly shutdown.
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "content/request_filter.h"

class QWidget;
class QWebEngineProfile;
class QWebEngineView;
class QWebChannel;

namespace WebView {

class HostPage;
class PageBridge;
class RequestInterceptor;

class WebViewHost {
  public:
    WebViewHost();
    ~WebViewHost();
    WebViewHost(const WebViewHost&) = delete;
    WebViewHost& operator=(const WebViewHost&) = delete;

    std::function<void(const std::u16string& uri, bool& cancel)> onNavigationStarting;
    std::function<RequestDecision(const std::u16string& uri)> onResourceRequested;
    std::function<void(const std::u16string& text)> onWebMessage;
    std::function<void(bool succeeded, std::int32_t result)> onInitialized;
    std::function<void(bool succeeded, int errorStatus)> onNavigationCompleted;

    bool isInitScreen = false;
    std::int32_t lastResult = 0;
    std::u16string statusText;

    // Creates the profile in a folder derived from `dataFolderBase`, the page and the view, and
    // puts the view into `window`. `profileName` keeps the run modes' profiles apart: Chromium
    // locks a profile folder to one process.
    bool Initialize(QWidget* window, const std::u16string& dataFolderBase, int attempts);
    void Shutdown(int timeoutMs);

    void Resize(int width, int height);
    void RestoreVisibility();
    void SetVisible(bool visible);
    void NotifyMoved() {}

    void Navigate(const std::u16string& url);
    void NavigateToString(const std::u16string& html);
    void GoBack();
    void Reload();
    void AddScriptOnDocumentCreated(const std::u16string& script);
    void ApplyViewSettings();
    void ShowSystemPrintDialog();
    void PostWebMessageAsJson(const std::u16string& json);

    QWebEngineView* view() const { return view_; }
    bool HasView() const { return view_ != nullptr; }

  private:
    bool CreateBrowser(const std::u16string& folder);
    void SetupEventHandlers();
    void PickPrinterAndPrint();

    QPointer<QWidget> parentWindow_;
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
};

}  // namespace WebView
