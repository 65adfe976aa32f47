#pragma once
// The silent print of a view's current page to one named printer, as the print flow's print
// operation on WebView2.
#include <functional>
#include <string>

#include "host/webview2_com_webview2.h"
#include "print/print_result.h"

namespace Printing {

// Prints with a new settings object of `environment` naming `printer`; every other setting keeps
// the runtime's default. `done` runs once: now for a set-up failure, else when the runtime
// reports the print's completion.
void PrintViewPage(ICoreWebView2Environment* environment, ICoreWebView2* view,
                   const std::u16string& printer, std::function<void(PrintResult)> done);

}  // namespace Printing
