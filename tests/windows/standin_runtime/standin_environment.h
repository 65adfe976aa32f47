#pragma once
// The environment object the stand-in hands to a successful creation. Methods the tests have not
// needed yet answer E_NOTIMPL.
#include "common/win32_resources_win32.h"
#include "host/webview2_com_webview2.h"

namespace Standin {

Win32::ComPtr<ICoreWebView2Environment> MakeEnvironment();

}  // namespace Standin
