#pragma once
// The page side of the host bridge on browsers without a native `window.chrome.webview`: the same
// postMessage / message-event surface the page scripts use, carried over a web channel.
#include <string>
#include <string_view>

namespace WebViewBridge {

// Name under which the host registers its bridge object on the page's web channel.
inline constexpr std::u16string_view kChannelObjectName = u"orbisBridge";

// Marker of the relay messages a subframe sends to the top document, which owns the channel.
inline constexpr std::u16string_view kRelayMarker = u"__orbisBridgeRelay";

// A self-invoking script defining `window.chrome.webview`. `channelLibrary` is the web-channel
// client library text; it is wrapped so that none of its names leak into the page. Messages
// posted before the channel is ready are queued and delivered in order.
std::u16string BuildBridgeScript(std::u16string_view channelLibrary);

}  // namespace WebViewBridge
