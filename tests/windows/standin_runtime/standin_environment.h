#pragma once
// The environment object the stand-in hands to a successful creation (standin_browser.h has the
// rest of its browser).
#include "common/win32_resources_win32.h"
#include "host/webview2_com_webview2.h"

namespace Standin {

Win32::ComPtr<ICoreWebView2Environment> MakeEnvironment();

}  // namespace Standin
