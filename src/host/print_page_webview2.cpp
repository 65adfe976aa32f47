#include "host/print_page_webview2.h"

#include <utility>

#include "common/wide_text_win32.h"
#include "common/win32_resources_win32.h"
#include "host/com_callback_webview2.h"

namespace Printing {

void PrintViewPage(ICoreWebView2Environment* environment, ICoreWebView2* view,
                   const std::u16string& printer, std::function<void(PrintResult)> done) {
    const Win32::ComPtr<ICoreWebView2Environment> heldEnvironment(environment);
    const auto environment6 =
        heldEnvironment.As<ICoreWebView2Environment6>(IID_ICoreWebView2Environment6);
    if (!environment6) return done(PrintResult::EnvironmentFailed);
    Win32::ComPtr<ICoreWebView2PrintSettings> settings;
    if (FAILED(environment6->CreatePrintSettings(settings.Put())) || !settings) {
        return done(PrintResult::SettingsFailed);
    }
    const auto settings2 =
        settings.As<ICoreWebView2PrintSettings2>(IID_ICoreWebView2PrintSettings2);
    if (!settings2) return done(PrintResult::PrinterNameFailed);
    settings2->put_PrinterName(Win32::WidePtr(printer));

    const Win32::ComPtr<ICoreWebView2> heldView(view);
    const auto view16 = heldView.As<ICoreWebView2_16>(IID_ICoreWebView2_16);
    if (!view16) return done(PrintResult::ApiUnavailable);
    // The handler keeps the view alive until the runtime has reported.
    const auto handler = WebView2Callback::Make<ICoreWebView2PrintCompletedHandler>(
        IID_ICoreWebView2PrintCompletedHandler,
        [heldView, done = std::move(done)](HRESULT errorCode, COREWEBVIEW2_PRINT_STATUS status) {
            done(PrintResultOfCompletion(FAILED(errorCode), static_cast<int>(status)));
            return S_OK;
        });
    // Whatever happens is reported through the handler.
    view16->Print(settings.Get(), handler.Get());
}

}  // namespace Printing
