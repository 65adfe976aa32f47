#pragma once
// How the player and init windows fill their view once it exists, kept as data so that the
// WebView2 and Qt adapters share one rule; plus the generated embed page and its escaping.
#include <string>
#include <string_view>
#include <vector>

#include "common/app_record.h"

// Single pass over UTF-16 units: " & ' < > become entities, an entity in the text is escaped again.
std::u16string HtmlEscape(std::u16string_view text);

// Single pass over UTF-16 units, for use inside a quoted JavaScript literal within a script
// element: line breaks, quotes and backslashes are escaped and angle brackets become \x3C / \x3E,
// so the text can end neither the literal nor the element.
std::u16string JsStringEscape(std::u16string_view text);

// A page framing `url` under the watermark; it posts "pageLoaded" once its script runs.
std::u16string BuildContentPage(std::u16string_view url, std::u16string_view watermarkText,
                                std::u16string_view displayName);

// What a window's ready handler does once the view exists. View settings and the service-worker
// blocker are the adapter's own business and are not part of the plan.
struct DisplayPlan {
    std::vector<std::u16string> scripts;  // registered at document creation, in this order
    enum class Action { Navigate, NavigateToString } action = Action::Navigate;
    std::u16string target;  // URL for Navigate, HTML for NavigateToString
};

// Player window: the record's content descriptor decides, by exact contentKind.
DisplayPlan PlanContentDisplay(const AppRecord& record);
// Init window: print interception and the navigation bar, then the tenant's start address.
DisplayPlan PlanInitDisplay();
