#include "content/page_scripts.h"
#include "content/page_scripts_js.h"

namespace PageScripts {
namespace {

// The loader shown while the init window moves to another page; it shares its element id with
// the player's loader but is lighter, since the old page stays visible underneath.
constexpr std::u16string_view kShowLoader =
    u"  function showLoader() {\n"
    u"    var loader = document.getElementById('zelvan-full-loader');\n"
    u"    if (loader) {\n"
    u"      loader.style.display = 'flex';\n"
    u"    } else {\n"
    u"      loader = document.createElement('div');\n"
    u"      loader.id = 'zelvan-full-loader';\n"
    u"      loader.style.cssText = 'position:fixed;top:0;left:0;width:100vw;height:100vh;"
    u"background:rgba(255,255,255,0.7);backdrop-filter:blur(3px);z-index:2147483647;"
    u"display:flex;justify-content:center;align-items:center;';\n"
    u"      loader.innerHTML =\n"
    u"        '<div style=\"width:50px;height:50px;border:5px solid rgba(0,0,0,0.1);"
    u"border-top-color:#3498db;border-radius:50%;animation:zelvan-spin 1s linear infinite;\">"
    u"</div>' +\n"
    u"        '<style>@keyframes zelvan-spin { from { transform: rotate(0deg); } "
    u"to { transform: rotate(360deg); } }</style>';\n"
    u"      appendToPage(loader);\n"
    u"    }\n"
    u"    clearTimeout(window._zelvanLoaderTimeout);\n"
    u"    window._zelvanLoaderTimeout = setTimeout(function() {\n"
    u"      loader.style.display = 'none';\n"
    u"    }, 5000);\n"
    u"  }\n"
    u"  window.addEventListener('beforeunload', showLoader);\n";

constexpr std::u16string_view kHelpers =
    u"  function post(message) {\n"
    u"    if (window.chrome && window.chrome.webview) window.chrome.webview.postMessage(message);\n"
    u"  }\n"
    u"  function appendToPage(element) {\n"
    u"    (document.body || document.documentElement).appendChild(element);\n"
    u"  }\n"
    u"  window.addEventListener('keydown', function(e) {\n"
    u"    if ((e.ctrlKey || e.metaKey) && (e.key === 'o' || e.key === 'O')) {\n"
    u"      e.preventDefault();\n"
    u"      e.stopImmediatePropagation();\n"
    u"    }\n"
    u"  }, true);\n"
    u"  function storedPosition(key) {\n"
    u"    try {\n"
    u"      return localStorage.getItem(key) || '20';\n"
    u"    } catch (e) {\n"
    u"      return '20';\n"
    u"    }\n"
    u"  }\n";

constexpr std::u16string_view kButtons =
    u"  var GRIP = '<svg width=\"20\" height=\"20\" viewBox=\"0 0 20 20\" fill=\"white\">' +\n"
    u"      '<circle cx=\"7\" cy=\"4\" r=\"2\"/><circle cx=\"13\" cy=\"4\" r=\"2\"/>' +\n"
    u"      '<circle cx=\"7\" cy=\"10\" r=\"2\"/><circle cx=\"13\" cy=\"10\" r=\"2\"/>' +\n"
    u"      '<circle cx=\"7\" cy=\"16\" r=\"2\"/><circle cx=\"13\" cy=\"16\" r=\"2\"/></svg>';\n"
    u"  var BUTTONS = [\n"
    u"    {icon: '\U0001F3E0', label: 'Home', message: 'btn_home', loader: true},\n"
    u"    {icon: '\u2190', label: 'Back', message: 'btn_back', loader: true},\n"
    u"    {icon: '\u21BB', label: 'Reload', message: 'btn_reload', loader: true},\n"
    u"    {icon: '\u26F6', label: 'Fullscreen', message: 'btn_fullscreen', loader: false}\n"
    u"  ];\n";

// Drag state lives outside the bar so a rebuilt bar does not add window listeners again. The
// transition is paused while dragging so that offsetLeft/offsetTop are final when stored.
constexpr std::u16string_view kDragging =
    u"  var drag = null;\n"
    u"  var moved = false;\n"
    u"  function endDrag() {\n"
    u"    if (!drag) return;\n"
    u"    drag.handle.style.cursor = 'grab';\n"
    u"    drag.bar.style.transition = 'all 0.3s ease';\n"
    u"    if (moved) {\n"
    u"      try {\n"
    u"        localStorage.setItem('vs_nx', drag.bar.offsetLeft);\n"
    u"        localStorage.setItem('vs_ny', drag.bar.offsetTop);\n"
    u"      } catch (e) {}\n"
    u"    }\n"
    u"    drag = null;\n"
    u"  }\n"
    u"  window.addEventListener('mousemove', function(e) {\n"
    u"    if (!drag) return;\n"
    u"    if (!(e.buttons & 1)) return endDrag();\n"
    u"    var dx = e.clientX - drag.x, dy = e.clientY - drag.y;\n"
    u"    if (Math.abs(dx) > 3 || Math.abs(dy) > 3) moved = true;\n"
    u"    drag.bar.style.left = drag.left + dx + 'px';\n"
    u"    drag.bar.style.top = drag.top + dy + 'px';\n"
    u"  });\n"
    u"  window.addEventListener('mouseup', endDrag);\n";

constexpr std::u16string_view kBuildBar =
    u"  function buildBar() {\n"
    u"    if (document.getElementById('zelvan-nav-container')) return;\n"
    u"    var bar = document.createElement('div');\n"
    u"    bar.id = 'zelvan-nav-container';\n"
    u"    bar.style.cssText = 'position:fixed;z-index:2147483646;display:flex;gap:10px;"
    u"padding:8px;background:rgba(0, 0, 0, 0.4);backdrop-filter:blur(10px);border-radius:12px;"
    u"transition:all 0.3s ease;opacity:0.4;align-items:center;"
    u"box-shadow:0 4px 6px rgba(0,0,0,0.1);';\n"
    u"    bar.style.left = storedPosition('vs_nx') + 'px';\n"
    u"    bar.style.top = storedPosition('vs_ny') + 'px';\n"
    u"    var handle = document.createElement('div');\n"
    u"    handle.style.cssText = 'display:flex;cursor:grab;opacity:0.7;';\n"
    u"    handle.innerHTML = GRIP;\n"
    u"    bar.appendChild(handle);\n"
    u"    var buttons = [], labels = [];\n"
    u"    BUTTONS.forEach(function(def) {\n"
    u"      var btn = document.createElement('button');\n"
    u"      btn.style.cssText = 'background:rgba(255, 255, 255, 0.9);border:none;padding:8px;"
    u"border-radius:8px;font-weight:bold;cursor:pointer;font-family:sans-serif;color:#333;"
    u"display:flex;align-items:center;transition:all 0.3s ease;';\n"
    u"      var icon = document.createElement('span');\n"
    u"      icon.textContent = def.icon;\n"
    u"      var label = document.createElement('span');\n"
    u"      label.className = 'nav-text';\n"
    u"      label.textContent = def.label;\n"
    u"      label.style.cssText = 'max-width:0;opacity:0;white-space:nowrap;margin-left:0;"
    u"overflow:hidden;transition:all 0.3s ease;';\n"
    u"      btn.appendChild(icon);\n"
    u"      btn.appendChild(label);\n"
    u"      btn.addEventListener('click', function(e) {\n"
    u"        if (moved) {\n"
    u"          e.preventDefault();\n"
    u"          e.stopPropagation();\n"
    u"          return;\n"
    u"        }\n"
    u"        if (def.loader) showLoader();\n"
    u"        post(def.message);\n"
    u"      });\n"
    u"      buttons.push(btn);\n"
    u"      labels.push(label);\n"
    u"      bar.appendChild(btn);\n"
    u"    });\n"
    u"    function setExpanded(on) {\n"
    u"      bar.style.opacity = on ? '1' : '0.4';\n"
    u"      bar.style.transform = on ? 'scale(1.05)' : 'scale(1)';\n"
    u"      buttons.forEach(function(btn) { btn.style.padding = on ? '8px 16px' : '8px'; });\n"
    u"      labels.forEach(function(label) {\n"
    u"        label.style.maxWidth = on ? '50px' : '0';\n"
    u"        label.style.opacity = on ? '1' : '0';\n"
    u"        label.style.marginLeft = on ? '4px' : '0';\n"
    u"      });\n"
    u"    }\n"
    u"    bar.addEventListener('mouseenter', function() { setExpanded(true); });\n"
    u"    bar.addEventListener('mouseleave', function() { setExpanded(false); });\n"
    u"    bar.addEventListener('mousedown', function(e) {\n"
    u"      drag = {bar: bar, handle: handle, x: e.clientX, y: e.clientY,\n"
    u"              left: bar.offsetLeft, top: bar.offsetTop};\n"
    u"      moved = false;\n"
    u"      handle.style.cursor = 'grabbing';\n"
    u"      bar.style.transition = 'none';\n"
    u"    });\n"
    u"    appendToPage(bar);\n"
    u"  }\n";

}  // namespace

const std::u16string& NavBarScript() {
    static const std::u16string script =
        Js::Join({Js::Guarded(u"_zelvanNavAdded"), kHelpers, kShowLoader, kButtons, kDragging,
                  kBuildBar, Js::KeepPresentAndClose(u"buildBar", u"zelvan-nav-container")});
    return script;
}

}  // namespace PageScripts
