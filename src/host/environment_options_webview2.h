#pragma once
// The options object handed to the runtime when an environment is created. The vendor's SDK
// ships one; this build has no SDK, so it implements its own with the same defaults.
#include <string>

#include "common/win32_resources_win32.h"
#include "host/webview2_com_webview2.h"

namespace WebView {

// The SDK's default target: the oldest runtime the declarations of this build were written for.
inline constexpr wchar_t kTargetCompatibleBrowserVersion[] = L"149.0.4022.49";

struct EnvironmentOptionValues {
    std::wstring additionalBrowserArguments;
    std::wstring language;  // empty: the runtime follows the system's language
    std::wstring targetCompatibleBrowserVersion = kTargetCompatibleBrowserVersion;
    bool allowSingleSignOnUsingOSPrimaryAccount = false;
    bool exclusiveUserDataFolderAccess = false;
};

// A new options object holding `values`; the caller owns its one reference. It answers
// ICoreWebView2EnvironmentOptions and ICoreWebView2EnvironmentOptions2 and nothing newer, so the
// runtime keeps its own defaults for everything else.
Win32::ComPtr<ICoreWebView2EnvironmentOptions> CreateEnvironmentOptions(
    EnvironmentOptionValues values = {});

// What every environment of this application is created with: the shared browser switches
// (the same text goes into WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS) and a user-data folder no
// other process may use at the same time.
EnvironmentOptionValues ApplicationEnvironmentOptionValues();

// Option objects alive in this process, so tests can see the last Release free the object.
long LiveEnvironmentOptionsObjects();

}  // namespace WebView
