#pragma once
// The JavaScript the host registers to run at document creation in every page of a view. Each
// script is a self-invoking function; those that add elements or handlers set a window flag so a
// second run in the same document does nothing. Pages talk back only through
// window.chrome.webview.postMessage.
#include <string>
#include <string_view>

namespace PageScripts {

// Drops existing service-worker registrations and stubs out register().
const std::u16string& ServiceWorkerBlockScript();
// Covering loader until the page's load event, or 5 s at most.
const std::u16string& LoaderScript();
// Routes window.print and Ctrl+P to the host; blocks save and open shortcuts.
const std::u16string& PrintBlockScript();

// Watermark over the page that comes back when removed. The text is escaped here; pass it raw.
std::u16string WatermarkScript(std::u16string_view watermarkText);
// The fixed parts around the escaped text; the prefix ends inside an open string literal.
std::u16string_view WatermarkScriptPrefix();
std::u16string_view WatermarkScriptSuffix();

// Floating print button that posts "requestPrint".
const std::u16string& PrintButtonScript();
// Init window's draggable Home / Back / Reload / Fullscreen bar.
const std::u16string& NavBarScript();
// Runs a content-supplied script once per document, when the document is ready.
std::u16string PageScriptWrapper(std::u16string_view contentScript);

}  // namespace PageScripts
