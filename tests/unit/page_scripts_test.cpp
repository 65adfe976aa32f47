#include "content/page_scripts.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "content/content_page.h"

namespace {

using namespace PageScripts;

struct Guarded {
    const char* name;
    const std::u16string& (*script)();
    std::u16string_view flag;
    std::u16string_view elementId;  // empty when the script adds no element
    std::vector<std::u16string_view> fixedTexts;
};

const std::u16string& WatermarkSample() {
    static const std::u16string script = WatermarkScript(u"Student 42");
    return script;
}

const std::vector<Guarded>& GuardedScripts() {
    static const std::vector<Guarded> scripts = {
        {"Loader",
         &LoaderScript,
         u"_zelvanLoaderAdded",
         u"zelvan-full-loader",
         {u"\u062C\u0627\u0631\u064A \u0627\u0644\u062A\u062D\u0645\u064A\u0644... Loading...",
          u"'load'", u"5000"}},
        {"PrintBlock",
         &PrintBlockScript,
         u"_zelvanPrintBlockAdded",
         u"",
         {u"e.key === 'p'", u"writable: false, configurable: false", u"'beforeprint'"}},
        {"Watermark", &WatermarkSample, u"_zelvanWatermarkAdded", u"zelvan-watermark", {}},
        {"PrintButton",
         &PrintButtonScript,
         u"_zelvanPrintBtnAdded",
         u"zelvan-print-btn",
         {u"'&#128424;'", u"'Print'", u"rgba(33,150,243,1)"}},
        {"NavBar",
         &NavBarScript,
         u"_zelvanNavAdded",
         u"zelvan-nav-container",
         {u"'vs_nx'", u"'vs_ny'", u"|| '20'", u"_zelvanLoaderTimeout", u"'beforeunload'",
          u"message: 'btn_fullscreen', loader: false"}},
    };
    return scripts;
}

bool Contains(std::u16string_view text, std::u16string_view part) {
    return text.find(part) != std::u16string_view::npos;
}

std::u16string Cat(std::u16string_view a, std::u16string_view b, std::u16string_view c = {}) {
    std::u16string out(a);
    out.append(b);
    out.append(c);
    return out;
}

// Walks the script as a JavaScript tokenizer would for quotes, comments and brackets; returns
// an error text for an unterminated literal, a line break inside a literal or unbalanced brackets.
std::optional<std::string> StructureError(std::u16string_view js) {
    std::u16string stack;
    for (std::size_t i = 0; i < js.size(); ++i) {
        const char16_t c = js[i];
        if (c == u'/' && i + 1 < js.size() && js[i + 1] == u'/') {
            while (i < js.size() && js[i] != u'\n')
                ++i;
        } else if (c == u'\'' || c == u'"' || c == u'`') {
            for (++i; i < js.size() && js[i] != c; ++i) {
                if (js[i] == u'\\')
                    ++i;
                else if (c != u'`' && (js[i] == u'\n' || js[i] == u'\r'))
                    return "line break in literal at " + std::to_string(i);
            }
            if (i >= js.size()) return "unterminated literal";
        } else if (c == u'(' || c == u'{' || c == u'[') {
            stack.push_back(c == u'(' ? u')' : c == u'{' ? u'}' : u']');
        } else if (c == u')' || c == u'}' || c == u']') {
            if (stack.empty() || stack.back() != c) return "unbalanced at " + std::to_string(i);
            stack.pop_back();
        }
    }
    if (!stack.empty()) return "unclosed brackets";
    return std::nullopt;
}

// Reads the single-quoted literal opening at `start` (just after the quote) the way JavaScript
// does; returns its value and the index of the closing quote.
std::pair<std::u16string, std::size_t> ReadSingleQuoted(std::u16string_view js, std::size_t start) {
    std::u16string value;
    std::size_t i = start;
    for (; i < js.size() && js[i] != u'\''; ++i) {
        if (js[i] != u'\\') {
            value.push_back(js[i]);
            continue;
        }
        const char16_t e = js[++i];
        if (e == u'n')
            value.push_back(u'\n');
        else if (e == u'r')
            value.push_back(u'\r');
        else if (e == u'x') {
            value.push_back(static_cast<char16_t>(
                std::stoi(Text::Utf16ToUtf8(js.substr(i + 1, 2)), nullptr, 16)));
            i += 2;
        } else
            value.push_back(e);
    }
    return {value, i};
}

TEST(PageScriptsText, ServiceWorkerBlockerIsExact) {
    EXPECT_EQ(ServiceWorkerBlockScript(),
              u"(() => {  try {    if ('serviceWorker' in navigator) {      "
              u"navigator.serviceWorker.getRegistrations().then(rs => rs.forEach(r => "
              u"r.unregister())).catch(() => {});      navigator.serviceWorker.register = () => "
              u"Promise.resolve({ unregister: () => Promise.resolve(true), update: () => "
              u"Promise.resolve() });    }  } catch(e) {}})();");
}

TEST(PageScriptsText, WrapperRunsContentScriptVerbatimWhenReady) {
    const std::u16string content = u"var s = 'a\\'b'; if (x < 1) { y(\"</script>\"); }";
    EXPECT_EQ(PageScriptWrapper(content),
              u"(function(){function run(){" + content +
                  u"}if(document.readyState==='loading'){document.addEventListener("
                  u"'DOMContentLoaded',run);}else{run();}})();");
}

TEST(PageScriptsText, NavBarButtonsInOrderWithTheirMessages) {
    const auto& js = NavBarScript();
    const std::u16string_view order[] = {u"'btn_home'", u"'btn_back'", u"'btn_reload'",
                                         u"'btn_fullscreen'"};
    std::size_t last = 0;
    for (auto message : order) {
        const auto at = js.find(message);
        ASSERT_NE(at, std::u16string::npos);
        EXPECT_GT(at, last);
        last = at;
    }
    for (auto icon : {u"\U0001F3E0", u"\u2190", u"\u21BB", u"\u26F6"})
        EXPECT_TRUE(Contains(js, icon));
}

TEST(PageScriptsText, PrintBlockLeavesCtrlShiftPAlone) {
    EXPECT_FALSE(Contains(PrintBlockScript(), u"'P'"));
}

TEST(PageScriptsShape, GuardedScriptsAreWellFormedAndKeepTheirElement) {
    for (const auto& g : GuardedScripts()) {
        SCOPED_TRACE(g.name);
        const std::u16string_view js = g.script();
        EXPECT_TRUE(Text::StartsWith(
            js, Cat(u"(function() {\n  if (window.", g.flag, u") return;\n  window.")));
        EXPECT_TRUE(Contains(js, Cat(u"window.", g.flag, u" = true;")));
        EXPECT_TRUE(Text::EndsWith(js, u"})();"));
        EXPECT_EQ(StructureError(js), std::nullopt);
        for (auto text : g.fixedTexts)
            EXPECT_TRUE(Contains(js, text)) << Text::Utf16ToUtf8(text);
        // Elements other than the loader come back when the page removes them.
        if (!g.elementId.empty() && g.elementId != u"zelvan-full-loader") {
            EXPECT_TRUE(Contains(
                js, Cat(u"!document.getElementById('", g.elementId, u"') && document.body")));
        }
        // Posting without the host bridge would throw in the page.
        for (auto at = js.find(u"postMessage("); at != std::u16string_view::npos;
             at = js.find(u"postMessage(", at + 1)) {
            const auto lineStart = js.rfind(u'\n', at) + 1;
            EXPECT_TRUE(Contains(js.substr(lineStart, at - lineStart),
                                 u"if (window.chrome && window.chrome.webview) "));
        }
    }
    EXPECT_EQ(StructureError(ServiceWorkerBlockScript()), std::nullopt);
}

TEST(WatermarkScript, FixedPartsAroundTheEscapedText) {
    EXPECT_EQ(WatermarkScriptPrefix().size(), 301u);
    EXPECT_EQ(WatermarkScriptSuffix().size(), 816u);
    EXPECT_TRUE(Text::EndsWith(WatermarkScriptPrefix(), u"textContent = '"));
    EXPECT_EQ(WatermarkScript(u"O'Brien \\"),
              Cat(WatermarkScriptPrefix(), u"O\\'Brien \\\\", WatermarkScriptSuffix()));
}

TEST(WatermarkScript, HostileTextsStayOneLiteralAndReadBackVerbatim) {
    const std::u16string texts[] = {
        u"it's",
        u"back\\slash\\",
        u"line\nbreak\r\nend",
        u"</script><b>x",
        u"\"quoted\" & 'single'",
        u"\\'); alert(1); ('",
        u"\u0637\u0627\u0644\u0628 \U0001F600",
    };
    for (const auto& text : texts) {
        SCOPED_TRACE(Text::Utf16ToUtf8(text));
        const std::u16string js = WatermarkScript(text);
        const auto [value, closing] = ReadSingleQuoted(js, WatermarkScriptPrefix().size());
        EXPECT_EQ(value, text);
        EXPECT_EQ(closing, js.size() - WatermarkScriptSuffix().size());
        EXPECT_EQ(StructureError(js), std::nullopt);
        EXPECT_FALSE(Contains(Text::ToLowerAscii(js), u"</script"));
    }
}

}  // namespace
