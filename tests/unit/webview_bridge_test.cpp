#include <gtest/gtest.h>

#include <string>

#include "host/browser_arguments.h"
#include "host/webview_bridge_script.h"

namespace {

TEST(WebViewBridgeScript, WrapsTheChannelLibraryInsideOneSelfInvokingFunction) {
    const std::u16string library = u"var QWebChannel = function(){};";
    const std::u16string script = WebViewBridge::BuildBridgeScript(library);
    ASSERT_EQ(script.rfind(u"(function(){", 0), 0u);
    EXPECT_EQ(script.substr(script.size() - 5), u"})();");
    const auto at = script.find(library);
    ASSERT_NE(at, std::u16string::npos);
    // The guard comes first so a second injection into the same document does nothing.
    EXPECT_LT(script.find(u"__orbis"), at);
}

TEST(WebViewBridgeScript, UsesTheNamesTheHostRegisters) {
    const std::u16string script = WebViewBridge::BuildBridgeScript(u"");
    EXPECT_NE(script.find(u"'" + std::u16string(WebViewBridge::kChannelObjectName) + u"'"),
              std::u16string::npos);
    EXPECT_NE(script.find(u"'" + std::u16string(WebViewBridge::kRelayMarker) + u"'"),
              std::u16string::npos);
}

TEST(WebViewBridgeScript, LibraryWithoutTrailingSemicolonStillEndsItsStatement) {
    // A library ending in an expression must not run into the bridge's own first statement.
    const std::u16string script = WebViewBridge::BuildBridgeScript(u"var x = 1");
    EXPECT_NE(script.find(u"var x = 1\n;"), std::u16string::npos);
}

TEST(BrowserArguments, SwitchesInTheirFixedOrder) {
    EXPECT_EQ(BrowserArguments::Switches(),
              (std::vector<std::u16string>{
                  u"--disable-web-security", u"--disable-site-isolation-trials",
                  u"--autoplay-policy=no-user-gesture-required", u"--no-proxy-server"}));
}

TEST(BrowserArguments, CommandLineIsTheLeadASpaceAndTheSwitches) {
    const std::u16string text = BrowserArguments::CommandLineText();
    EXPECT_NE(text.find(u" --disable-web-security --disable-site-isolation-trials "
                        u"--autoplay-policy=no-user-gesture-required --no-proxy-server"),
              std::u16string::npos);
    EXPECT_EQ(text.substr(text.size() - 17), u"--no-proxy-server");
}

}  // namespace
