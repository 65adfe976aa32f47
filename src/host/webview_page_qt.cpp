#include "host/webview_page_qt.h"

#include <QWebEngineUrlRequestInfo>

#include "common/app_observer.h"

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
    // This path runs for every navigation: the event is built only for an attached observer.
    if (auto* observer = AppObservers::Current()) {
        observer->Report("navigation",
                         {{"uri", uri}, {"allowed", !cancel}, {"type", static_cast<int>(type)}});
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
    // Only for an attached observer (this runs for every request); the engine's own viewer
    // resources (chrome:, chrome-extension:) would only drown its log.
    auto* observer = AppObservers::Current();
    if (observer != nullptr && !info.requestUrl().scheme().startsWith(QLatin1String("chrome"))) {
        const bool passed = decision.kind == RequestDecision::Kind::Pass;
        observer->Report("request", {{"uri", uri},
                                     {"action", passed ? "pass" : "block"},
                                     {"status", StatusOf(decision.kind)}});
    }
}

void PageBridge::post(const QString& text) {
    if (auto* observer = AppObservers::Current())
        observer->Report("webMessage", {{"text", text.toStdString()}});
    if (onMessage) {
        onMessage(text.toStdU16String());
    }
}

}  // namespace WebView
