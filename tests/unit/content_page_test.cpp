#include "content/content_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "content/page_scripts.h"
#include "tenant_profile.h"

namespace {

using Action = DisplayPlan::Action;

TEST(Escaping, HtmlMapsEachSpecialCharacterOnce) {
    EXPECT_EQ(HtmlEscape(u"\"&'<>"), u"&quot;&amp;&#39;&lt;&gt;");
    EXPECT_EQ(HtmlEscape(u"&amp;&#39;"), u"&amp;amp;&amp;#39;");  // entities escaped again
    const std::u16string plain = u"plain \\ / \n\t\u0637\U0001F600";
    EXPECT_EQ(HtmlEscape(plain), plain);
    EXPECT_EQ(HtmlEscape(u""), u"");
}

TEST(Escaping, JsMapsEachSpecialCharacterOnce) {
    EXPECT_EQ(JsStringEscape(u"\n\r\"'<>\\"), u"\\n\\r\\\"\\'\\x3C\\x3E\\\\");
    EXPECT_EQ(JsStringEscape(u"</script>"), u"\\x3C/script\\x3E");
    EXPECT_EQ(JsStringEscape(u"\\n\\'"), u"\\\\n\\\\\\'");  // escapes in the text escaped again
    const std::u16string plain = u"tab\there & / \u0637\U0001F600";
    EXPECT_EQ(JsStringEscape(plain), plain);
    EXPECT_EQ(JsStringEscape(u""), u"");
}

TEST(BuildContentPage, AssemblesThePage) {
    EXPECT_EQ(BuildContentPage(u"https://cdn.example/doc/7", u"Ann 42", u"Orbis Campus"),
              u"<!DOCTYPE html><html><head><meta charset='utf-8'><title>Orbis Campus</title>"
              u"<style>*{margin:0;padding:0;}html,body{width:100%;height:100%;overflow:hidden;}"
              u"iframe{width:100%;height:100%;border:none;}</style></head><body>"
              u"<iframe src='https://cdn.example/doc/7' allowfullscreen "
              u"allow='accelerometer;autoplay;clipboard-write;encrypted-media;gyroscope;"
              u"picture-in-picture'></iframe>"
              u"<div style='position:fixed;top:0;left:0;width:100%;height:100%;pointer-events:none;"
              u"z-index:9999;opacity:0.15;display:flex;align-items:center;justify-content:center;"
              u"font-size:3vw;color:red;transform:rotate(-30deg);font-family:Arial,sans-serif;"
              u"font-weight:bold;'>Ann 42</div>"
              u"<script>window.chrome.webview.postMessage('pageLoaded');</script></body></html>");
}

TEST(BuildContentPage, UrlAndWatermarkEscapedTitleTakenAsGiven) {
    const auto page =
        BuildContentPage(u"https://x.example/a?b='c'&d=<e>", u"<i>\"A\" & 'B'\n</i>", u"N <b>");
    // An apostrophe in the URL must not end the src attribute.
    EXPECT_NE(page.find(u"src='https://x.example/a?b=&#39;c&#39;&amp;d=&lt;e&gt;' "),
              std::u16string::npos);
    EXPECT_NE(page.find(u"'>&lt;i&gt;&quot;A&quot; &amp; &#39;B&#39;\n&lt;/i&gt;</div>"),
              std::u16string::npos);
    EXPECT_NE(page.find(u"<title>N <b></title>"), std::u16string::npos);
}

AppRecord Content(const char16_t* kind, const char16_t* script = u"") {
    AppRecord record;
    record.contentUrl = u"https://cdn.example/item?id=9";
    record.watermarkText = u"Lena O'Hara";
    record.contentKind = kind;
    record.contentScript = script;
    return record;
}

TEST(PlanContentDisplay, DirectUrlAddsTheWrapperOnlyForAScript) {
    const auto bare = PlanContentDisplay(Content(u"url_direct"));
    const std::vector<std::u16string> common = {PageScripts::LoaderScript(),
                                                PageScripts::PrintBlockScript()};
    EXPECT_EQ(bare.scripts, common);
    EXPECT_EQ(bare.action, Action::Navigate);
    EXPECT_EQ(bare.target, u"https://cdn.example/item?id=9");

    const auto scripted = PlanContentDisplay(Content(u"url_direct", u"go('x');"));
    auto expected = common;
    expected.push_back(PageScripts::PageScriptWrapper(u"go('x');"));
    EXPECT_EQ(scripted.scripts, expected);
    EXPECT_EQ(scripted.target, bare.target);
}

TEST(PlanContentDisplay, PdfKindsGetWatermarkAndPrintButton) {
    for (const auto* kind : {u"pdf", u"pdf_url"}) {
        const auto plan = PlanContentDisplay(Content(kind, u"ignored();"));
        ASSERT_EQ(plan.scripts.size(), 4u);
        EXPECT_EQ(plan.scripts[0], PageScripts::LoaderScript());
        EXPECT_EQ(plan.scripts[1], PageScripts::PrintBlockScript());
        // Escaped exactly once: the raw text goes in, the script escapes it.
        EXPECT_NE(plan.scripts[2].find(u"'Lena O\\'Hara'"), std::u16string::npos);
        EXPECT_EQ(plan.scripts[2], PageScripts::WatermarkScript(u"Lena O'Hara"));
        EXPECT_EQ(plan.scripts[3], PageScripts::PrintButtonScript());
        EXPECT_EQ(plan.action, Action::Navigate);
        EXPECT_EQ(plan.target, u"https://cdn.example/item?id=9");
    }
}

TEST(PlanContentDisplay, OtherKindsAreFramedInTheEmbedPage) {
    for (const auto* kind : {u"PDF", u"Url_direct", u"video", u"", u"pdf "}) {
        SCOPED_TRACE(Text::Utf16ToUtf8(kind));
        const auto record = Content(kind, u"ignored();");
        const auto plan = PlanContentDisplay(record);
        EXPECT_EQ(plan.scripts.size(), 2u);
        EXPECT_EQ(plan.action, Action::NavigateToString);
        EXPECT_EQ(plan.target,
                  BuildContentPage(record.contentUrl, record.watermarkText, u"Orbis Campus"));
    }
}

TEST(PlanInitDisplay, PrintBlockThenNavBarThenStartAddress) {
    const auto plan = PlanInitDisplay();
    const std::vector<std::u16string> expected = {PageScripts::PrintBlockScript(),
                                                  PageScripts::NavBarScript()};
    EXPECT_EQ(plan.scripts, expected);
    EXPECT_EQ(plan.action, Action::Navigate);
    EXPECT_EQ(plan.target, Text::Widen(Tenant::InitStartUrl()));
    EXPECT_FALSE(plan.target.empty());
}

}  // namespace
