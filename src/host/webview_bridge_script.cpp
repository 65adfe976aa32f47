#include "host/webview_bridge_script.h"

namespace WebViewBridge {
namespace {

// Before the library: a guard so a second injection into the same document does nothing.
constexpr std::u16string_view kOpening =
    u"(function(){"
    u"if(window.chrome&&window.chrome.webview&&window.chrome.webview.__orbis){return;}";

// After the library. Only the top document has a channel transport; subframes relay their posts
// to it. A string travels as itself, anything else as its JSON text, as the host expects.
constexpr std::u16string_view kClosing =
    u"var queue=[];var bridge=null;var listeners=[];"
    u"function asText(m){return typeof m==='string'?m:JSON.stringify(m);}"
    u"function send(text){if(bridge){bridge.post(text);}else{queue.push(text);}}"
    u"function deliver(data){var ev=new MessageEvent('message',{data:data});"
    u"listeners.slice().forEach(function(l){try{l.call(window.chrome.webview,ev);}catch(e){}});}"
    u"var isTop=(window.top===window);"
    u"var webview={__orbis:true,"
    u"postMessage:function(m){var text=asText(m);"
    u"if(isTop){send(text);}else{try{var o={};o[relay]=text;window.top.postMessage(o,'*');}"
    u"catch(e){}}},"
    u"addEventListener:function(type,l){if(type==='message'&&typeof l==='function'&&"
    u"listeners.indexOf(l)<0){listeners.push(l);}},"
    u"removeEventListener:function(type,l){var i=listeners.indexOf(l);"
    u"if(type==='message'&&i>=0){listeners.splice(i,1);}}};"
    u"try{if(!window.chrome){window.chrome={};}window.chrome.webview=webview;}catch(e){return;}"
    u"if(!isTop){return;}"
    u"window.addEventListener('message',function(ev){var d=ev.data;"
    u"if(d&&typeof d==='object'&&typeof d[relay]==='string'){send(d[relay]);}},true);"
    u"function connect(){if(typeof qt==='undefined'||!qt.webChannelTransport){return false;}"
    u"new QWebChannel(qt.webChannelTransport,function(ch){var b=ch.objects[objectName];"
    u"if(!b){return;}"
    u"b.messageToPage.connect(function(json){var data=json;try{data=JSON.parse(json);}catch(e){}"
    u"deliver(data);});"
    u"bridge=b;var pending=queue;queue=[];pending.forEach(function(t){b.post(t);});});"
    u"return true;}"
    u"if(!connect()){var tries=0;var timer=setInterval(function(){"
    u"if(connect()||++tries>200){clearInterval(timer);}},10);}"
    u"})();";

}  // namespace

std::u16string BuildBridgeScript(std::u16string_view channelLibrary) {
    std::u16string script;
    script.reserve(kOpening.size() + channelLibrary.size() + kClosing.size() + 1);
    script += kOpening;
    script += channelLibrary;
    // The names the host side uses, handed in as literals so the two can never disagree.
    script += u"\n;var relay='";
    script += kRelayMarker;
    script += u"';var objectName='";
    script += kChannelObjectName;
    script += u"';";
    script += kClosing;
    return script;
}

}  // namespace WebViewBridge
