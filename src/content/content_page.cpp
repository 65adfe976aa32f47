#include "content/content_page.h"

#include "common/text.h"
#include "content/page_scripts.h"
#include "tenant_profile.h"

namespace {

// Same look as the injected watermark, one layer lower: the frame's own page cannot reach it,
// so it only has to sit above the iframe.
constexpr std::u16string_view kPageWatermarkStyle =
    u"position:fixed;top:0;left:0;width:100%;height:100%;pointer-events:none;z-index:9999;"
    u"opacity:0.15;display:flex;align-items:center;justify-content:center;font-size:3vw;"
    u"color:red;transform:rotate(-30deg);font-family:Arial,sans-serif;font-weight:bold;";

constexpr std::u16string_view kPageHead =
    u"<!DOCTYPE html><html><head><meta charset='utf-8'><title>";
constexpr std::u16string_view kPageStyleAndFrameOpen =
    u"</title><style>*{margin:0;padding:0;}html,body{width:100%;height:100%;overflow:hidden;}"
    u"iframe{width:100%;height:100%;border:none;}</style></head><body><iframe src='";
constexpr std::u16string_view kFrameClose =
    u"' allowfullscreen allow='accelerometer;autoplay;clipboard-write;encrypted-media;gyroscope;"
    u"picture-in-picture'></iframe><div style='";
constexpr std::u16string_view kPageTail =
    u"</div><script>window.chrome.webview.postMessage('pageLoaded');</script></body></html>";

// Shared by both escapers: one pass, each unit either mapped to its replacement or copied.
template <typename Map>
std::u16string EscapeEach(std::u16string_view text, Map replacement) {
    std::u16string out;
    out.reserve(text.size() + text.size() / 4);
    for (char16_t c : text) {
        const std::u16string_view mapped = replacement(c);
        if (mapped.empty())
            out.push_back(c);
        else
            out.append(mapped);
    }
    return out;
}

bool IsPdfKind(std::u16string_view kind) {
    return kind == u"pdf" || kind == u"pdf_url";
}

}  // namespace

std::u16string HtmlEscape(std::u16string_view text) {
    return EscapeEach(text, [](char16_t c) -> std::u16string_view {
        switch (c) {
            case u'"':
                return u"&quot;";
            case u'&':
                return u"&amp;";
            case u'\'':
                return u"&#39;";
            case u'<':
                return u"&lt;";
            case u'>':
                return u"&gt;";
            default:
                return {};
        }
    });
}

std::u16string JsStringEscape(std::u16string_view text) {
    return EscapeEach(text, [](char16_t c) -> std::u16string_view {
        switch (c) {
            case u'\n':
                return u"\\n";
            case u'\r':
                return u"\\r";
            case u'"':
                return u"\\\"";
            case u'\'':
                return u"\\'";
            case u'<':
                return u"\\x3C";
            case u'>':
                return u"\\x3E";
            case u'\\':
                return u"\\\\";
            default:
                return {};
        }
    });
}

std::u16string BuildContentPage(std::u16string_view url, std::u16string_view watermarkText,
                                std::u16string_view displayName) {
    // The display name is a built-in constant and goes in as it is; the URL comes from the
    // platform and is escaped, since an apostrophe in it would otherwise end the src attribute.
    std::u16string page;
    page.append(kPageHead);
    page.append(displayName);
    page.append(kPageStyleAndFrameOpen);
    page.append(HtmlEscape(url));
    page.append(kFrameClose);
    page.append(kPageWatermarkStyle);
    page.append(u"'>");
    page.append(HtmlEscape(watermarkText));
    page.append(kPageTail);
    return page;
}

DisplayPlan PlanContentDisplay(const AppRecord& record) {
    DisplayPlan plan;
    plan.scripts = {PageScripts::LoaderScript(), PageScripts::PrintBlockScript()};
    if (record.contentKind == u"url_direct") {
        if (!record.contentScript.empty())
            plan.scripts.push_back(PageScripts::PageScriptWrapper(record.contentScript));
        plan.target = record.contentUrl;
    } else if (IsPdfKind(record.contentKind)) {
        plan.scripts.push_back(PageScripts::WatermarkScript(record.watermarkText));
        plan.scripts.push_back(PageScripts::PrintButtonScript());
        plan.target = record.contentUrl;
    } else {
        plan.action = DisplayPlan::Action::NavigateToString;
        plan.target = BuildContentPage(record.contentUrl, record.watermarkText, record.displayName);
    }
    return plan;
}

DisplayPlan PlanInitDisplay() {
    DisplayPlan plan;
    plan.scripts = {PageScripts::PrintBlockScript(), PageScripts::NavBarScript()};
    plan.target = Text::Widen(Tenant::InitStartUrl());
    return plan;
}
