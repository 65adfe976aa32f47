#pragma once
// A browser host that only writes down what it is asked to do, for tests of the code above it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "host/browser_host.h"

namespace TestSupport {

using Journal = std::vector<std::string>;

inline std::string Utf8(std::u16string_view text) {
    return Text::Utf16ToUtf8(text);
}

// Records every call as one journal line (window and shell fakes may write into the same
// journal, so tests can check the order across them).
class FakeBrowserHost final : public WebView::BrowserHost {
  public:
    explicit FakeBrowserHost(Journal& journal) : journal_(journal) {}

    // When set, Initialize reports at once with this outcome; otherwise it stays pending until
    // Complete is called, as an engine that creates its browser through callbacks does.
    std::optional<bool> reportAtOnce = true;
    std::u16string status = u"WebView2 initialization failed. First=0x80070005 at X";

    void Complete(bool succeeded) {
        events.initialized(succeeded, succeeded ? WebViewStatus::kOk : WebViewStatus::kFail);
    }

    void Initialize(const std::u16string& folder, int attempts) override {
        journal_.push_back("initialize " + Utf8(folder) + " " + std::to_string(attempts));
        if (reportAtOnce) Complete(*reportAtOnce);
    }
    const std::u16string& StatusText() const override { return status; }
    void Navigate(const std::u16string& url) override { Log("navigate " + Utf8(url)); }
    void NavigateToString(const std::u16string&) override { Log("navigateToString"); }
    void GoBack() override { Log("back"); }
    void Reload() override { Log("reload"); }
    void AddScriptOnDocumentCreated(const std::u16string&) override { Log("script"); }
    void ApplyViewSettings() override { Log("viewSettings"); }
    void PostWebMessageAsJson(const std::u16string& json) override { Log("post " + Utf8(json)); }
    void SetVisible(bool visible) override { Log(visible ? "visible" : "hidden"); }
    void RestoreVisibility() override { Log("restoreVisibility"); }
    void Resize(int width, int height) override {
        Log("resize " + std::to_string(width) + "x" + std::to_string(height));
    }
    bool NotifyMoved() override {
        Log("moved");
        return true;
    }
    void ShowSystemPrintDialog() override { Log("print"); }
    WebView::BrowserShutdown Shutdown(std::chrono::milliseconds wait) override {
        Log("shutdown " + std::to_string(wait.count()));
        return WebView::BrowserShutdown::Exited;
    }

  private:
    void Log(std::string entry) { journal_.push_back(std::move(entry)); }
    Journal& journal_;
};

}  // namespace TestSupport
