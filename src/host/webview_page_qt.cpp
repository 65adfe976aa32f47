#include "host/webview_page_qt.h"

#include <QWebEngineUrlRequestInfo>

#include "host/e2e_hooks_qt.h"

namespace WebView {

HostPage::HostPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

bool HostPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    // Frames are judged by the request filter only; the navigation policy is about where the
    // view itself goes.
    if (!isMainFrame) {
        return true;
    }
    std::u16string uri = url.toString(QUrl::FullyEncoded).toStdU16String();
    if (expectingGeneratedPage && url.scheme() == QLatin1String("data")) {
        expectingGeneratedPage = false;
        uri = u"about:blank";
    }
    bool cancel = false;
    if (onNavigationStarting && !uri.empty()) {
        onNavigationStarting(uri, cancel);
    }
    // Every event is built only when the hooks are active: this path runs for every navigation.
    if (E2eHooks::Active()) {
        E2eHooks::LogEvent("navigation", {{"uri", QString::fromStdU16String(uri)},
                                          {"allowed", !cancel},
                                          {"type", static_cast<int>(type)}});
    }
    return !cancel;
}

QWebEnginePage* HostPage::createWindow(WebWindowType) {
    return nullptr;
}

void RequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!decide) {
        return;
    }
    const std::u16string uri = info.requestUrl().toString(QUrl::FullyEncoded).toStdU16String();
    const RequestDecision decision = decide(uri);
    // Qt cannot answer a request itself: a refused request is blocked and never leaves the
    // machine, which is what the synthesized refusal achieves elsewhere.
    if (decision.kind != RequestDecision::Kind::Pass) {
        info.block(true);
    } else {
        for (const RequestHeader& header : decision.headers) {
            info.setHttpHeader(QString::fromStdU16String(header.name).toUtf8(),
                               QString::fromStdU16String(header.value).toUtf8());
        }
    }
    // Only with active hooks (this runs for every request); the engine's own viewer resources
    // (chrome:, chrome-extension:) would only drown the log.
    if (E2eHooks::Active() && !info.requestUrl().scheme().startsWith(QLatin1String("chrome"))) {
        const bool passed = decision.kind == RequestDecision::Kind::Pass;
        E2eHooks::LogEvent("request", {{"uri", QString::fromStdU16String(uri)},
                                       {"action", passed ? "pass" : "block"},
                                       {"status", StatusOf(decision.kind)}});
    }
}

void PageBridge::post(const QString& text) {
    E2eHooks::LogEvent("webMessage", {{"text", text}});
    if (onMessage) {
        onMessage(text.toStdU16String());
    }
}

}  // namespace WebView
