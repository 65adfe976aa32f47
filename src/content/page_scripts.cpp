#include "content/page_scripts.h"

#include <cstddef>

#include "content/content_page.h"
#include "content/page_scripts_js.h"

namespace PageScripts {

namespace Js {

std::u16string Join(std::initializer_list<std::u16string_view> parts) {
    std::size_t size = 0;
    for (auto part : parts)
        size += part.size();
    std::u16string out;
    out.reserve(size);
    for (auto part : parts)
        out.append(part);
    return out;
}

std::u16string Guarded(std::u16string_view flag) {
    return Join(
        {u"(function() {\n  if (window.", flag, u") return;\n  window.", flag, u" = true;\n"});
}

std::u16string WhenReady(std::u16string_view function) {
    return Join(
        {u"  if (document.readyState === 'loading') "
         u"document.addEventListener('DOMContentLoaded', ",
         function, u");\n  else ", function, u"();\n"});
}

std::u16string KeepPresentAndClose(std::u16string_view function, std::u16string_view elementId) {
    // At document creation there may be no root element to observe yet.
    return Join({WhenReady(function),
                 u"  function watch() {\n"
                 u"    new MutationObserver(function() {\n"
                 u"      if (!document.getElementById('",
                 elementId, u"') && document.body) ", function,
                 u"();\n"
                 u"    }).observe(document.documentElement, {childList: true, subtree: true});\n"
                 u"  }\n"
                 u"  if (document.documentElement) watch();\n"
                 u"  else document.addEventListener('DOMContentLoaded', watch);\n"
                 u"})();"});
}

}  // namespace Js

namespace {

// Without the host bridge (a page opened outside the application) posting would throw.
constexpr std::u16string_view kPostPrintRequest =
    u"if (window.chrome && window.chrome.webview) "
    u"window.chrome.webview.postMessage('requestPrint');\n";

constexpr std::u16string_view kServiceWorkerBlock =
    u"(() => {  try {    if ('serviceWorker' in navigator) {      "
    u"navigator.serviceWorker.getRegistrations().then(rs => rs.forEach(r => r.unregister()))"
    u".catch(() => {});      navigator.serviceWorker.register = () => Promise.resolve({ "
    u"unregister: () => Promise.resolve(true), update: () => Promise.resolve() });    }  } "
    u"catch(e) {}})();";

std::u16string MakeLoaderScript() {
    return Js::Join(
        {Js::Guarded(u"_zelvanLoaderAdded"),
         u"  function addLoader() {\n"
         u"    if (document.getElementById('zelvan-full-loader')) return;\n"
         u"    var loader = document.createElement('div');\n"
         u"    loader.id = 'zelvan-full-loader';\n"
         u"    loader.style.cssText = 'position:fixed;top:0;left:0;width:100vw;height:100vh;"
         u"background:#202020;z-index:2147483647;display:flex;flex-direction:column;"
         u"justify-content:center;align-items:center;transition:opacity 0.5s ease-out;';\n"
         u"    loader.innerHTML =\n"
         u"      '<div style=\"width:60px;height:60px;border:6px solid rgba(255,255,255,0.2);"
         u"border-top-color:#3498db;border-radius:50%;animation:zelvan-spin 1s linear infinite;"
         u"margin-bottom:20px;\"></div>' +\n"
         u"      '<div style=\"color:#fff;font-family:sans-serif;font-size:20px;"
         u"text-align:center;\">"
         u"\u062C\u0627\u0631\u064A \u0627\u0644\u062A\u062D\u0645\u064A\u0644... Loading..."
         u"</div>' +\n"
         u"      '<style>@keyframes zelvan-spin { from { transform: rotate(0deg); } "
         u"to { transform: rotate(360deg); } }</style>';\n"
         u"    (document.body || document.documentElement).appendChild(loader);\n"
         u"  }\n",
         Js::WhenReady(u"addLoader"),
         // A page that never fires load still loses the loader after five seconds.
         u"  function fadeOut() {\n"
         u"    var loader = document.getElementById('zelvan-full-loader');\n"
         u"    if (!loader) return;\n"
         u"    loader.style.opacity = '0';\n"
         u"    setTimeout(function() { loader.remove(); }, 500);\n"
         u"  }\n"
         u"  window.addEventListener('load', fadeOut);\n"
         u"  setTimeout(fadeOut, 5000);\n"
         u"})();"});
}

std::u16string MakePrintBlockScript() {
    // Save-as arrives as an upper-case "S" with Shift; Ctrl+Shift+P is left to the page.
    return Js::Join(
        {Js::Guarded(u"_zelvanPrintBlockAdded"), u"  function requestPrint() {\n    ",
         kPostPrintRequest,
         u"  }\n"
         u"  window.print = requestPrint;\n"
         u"  try {\n"
         u"    Object.defineProperty(window, 'print',\n"
         u"        {value: requestPrint, writable: false, configurable: false});\n"
         u"  } catch (e) {}\n"
         u"  function swallow(e) {\n"
         u"    e.preventDefault();\n"
         u"    e.stopImmediatePropagation();\n"
         u"  }\n"
         u"  document.addEventListener('keydown', function(e) {\n"
         u"    if (!e.ctrlKey && !e.metaKey) return;\n"
         u"    if (e.key === 'p') {\n"
         u"      swallow(e);\n"
         u"      requestPrint();\n"
         u"    } else if (e.key === 's' || (e.shiftKey && e.key === 'S') || e.key === 'o' ||\n"
         u"               e.key === 'O') {\n"
         u"      swallow(e);\n"
         u"    }\n"
         u"  }, true);\n"
         u"  window.addEventListener('beforeprint', function(e) { e.preventDefault(); }, true);\n"
         u"})();"});
}

// The watermark text sits between prefix and suffix inside a single-quoted literal; the lengths
// of both parts are fixed (301 and 816 units) and checked by the tests.
std::u16string MakeWatermarkPrefix() {
    return Js::Join({Js::Guarded(u"_zelvanWatermarkAdded"),
                     u"  function addWatermark() {\n"
                     u"    if (document.getElementById('zelvan-watermark') !== null) return;\n"
                     u"    const mark = document.createElement('div');\n"
                     u"    mark.id = 'zelvan-watermark';\n"
                     u"    mark.textContent = '"});
}

std::u16string MakeWatermarkSuffix() {
    return Js::Join(
        {u"';\n"
         u"    mark.style.cssText = 'position:fixed;top:0;left:0;width:100%;height:100%;"
         u"pointer-events:none;z-index:2147483646;opacity:0.15;display:flex;align-items:center;"
         u"justify-content:center;font-size:3vw;color:red;transform:rotate(-30deg);"
         u"font-family:Arial,sans-serif;font-weight:bold;';\n"
         u"    (document.body || document.documentElement).appendChild(mark);\n"
         u"  }\n",
         Js::KeepPresentAndClose(u"addWatermark", u"zelvan-watermark")});
}

std::u16string MakePrintButtonScript() {
    return Js::Join(
        {Js::Guarded(u"_zelvanPrintBtnAdded"),
         u"  function addButton() {\n"
         u"    if (document.getElementById('zelvan-print-btn')) return;\n"
         u"    var btn = document.createElement('button');\n"
         u"    btn.id = 'zelvan-print-btn';\n"
         u"    btn.innerHTML = '&#128424;';\n"
         u"    btn.title = 'Print';\n"
         u"    btn.style.cssText = 'position:fixed;bottom:24px;right:24px;width:48px;height:48px;"
         u"border-radius:50%;border:none;background:rgba(33,150,243,0.9);color:white;"
         u"font-size:22px;cursor:pointer;z-index:2147483647;display:flex;align-items:center;"
         u"justify-content:center;box-shadow:0 4px 12px rgba(0,0,0,0.3);"
         u"transition:transform 0.2s,background 0.2s;';\n"
         u"    btn.addEventListener('mouseenter', function() {\n"
         u"      btn.style.transform = 'scale(1.1)';\n"
         u"      btn.style.background = 'rgba(33,150,243,1)';\n"
         u"    });\n"
         u"    btn.addEventListener('mouseleave', function() {\n"
         u"      btn.style.transform = 'scale(1)';\n"
         u"      btn.style.background = 'rgba(33,150,243,0.9)';\n"
         u"    });\n"
         u"    btn.addEventListener('click', function() {\n      ",
         kPostPrintRequest,
         u"    });\n"
         u"    (document.body || document.documentElement).appendChild(btn);\n"
         u"  }\n",
         Js::KeepPresentAndClose(u"addButton", u"zelvan-print-btn")});
}

}  // namespace

const std::u16string& ServiceWorkerBlockScript() {
    static const std::u16string script(kServiceWorkerBlock);
    return script;
}

const std::u16string& LoaderScript() {
    static const std::u16string script = MakeLoaderScript();
    return script;
}

const std::u16string& PrintBlockScript() {
    static const std::u16string script = MakePrintBlockScript();
    return script;
}

std::u16string_view WatermarkScriptPrefix() {
    static const std::u16string prefix = MakeWatermarkPrefix();
    return prefix;
}

std::u16string_view WatermarkScriptSuffix() {
    static const std::u16string suffix = MakeWatermarkSuffix();
    return suffix;
}

std::u16string WatermarkScript(std::u16string_view watermarkText) {
    return Js::Join(
        {WatermarkScriptPrefix(), JsStringEscape(watermarkText), WatermarkScriptSuffix()});
}

const std::u16string& PrintButtonScript() {
    static const std::u16string script = MakePrintButtonScript();
    return script;
}

std::u16string PageScriptWrapper(std::u16string_view contentScript) {
    return Js::Join({u"(function(){function run(){", contentScript,
                     u"}if(document.readyState==='loading'){document.addEventListener("
                     u"'DOMContentLoaded',run);}else{run();}})();"});
}

}  // namespace PageScripts
