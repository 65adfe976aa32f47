#pragma once
// The Qt WebEngine objects behind one WebViewHost: the page with its navigation and new-window
// decisions, the request interceptor and the bridge object pages post their messages to.
#include <QObject>
#include <QString>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>
#include <functional>
#include <string>

#include "content/request_filter.h"

namespace WebView {

class HostPage : public QWebEnginePage {
    Q_OBJECT
  public:
    HostPage(QWebEngineProfile* profile, QObject* parent);

    // Decides top-level navigations; `cancel` set to true refuses one.
    std::function<void(const std::u16string& uri, bool& cancel)> onNavigationStarting;
    // Set just before the host loads generated HTML, whose data: address stands for about:blank.
    bool expectingGeneratedPage = false;

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    // Never opens a window of its own: Qt then raises newWindowRequested, which the host folds
    // into this page.
    QWebEnginePage* createWindow(WebWindowType type) override;
};

class RequestInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
  public:
    explicit RequestInterceptor(QObject* parent) : QWebEngineUrlRequestInterceptor(parent) {}
    std::function<RequestDecision(const std::u16string& uri)> decide;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};

class PageBridge : public QObject {
    Q_OBJECT
  public:
    explicit PageBridge(QObject* parent) : QObject(parent) {}
    std::function<void(const std::u16string& text)> onMessage;

    Q_INVOKABLE void post(const QString& text);

  signals:
    void messageToPage(const QString& json);
};

}  // namespace WebView
