#include "standin_options.h"

#include "common/win32_resources_win32.h"
#include "host/webview2_com_webview2.h"
#include "standin_log.h"

namespace Standin {
namespace {

template <typename Getter>
void AddText(nlohmann::json& values, const char* name, Getter getter) {
    LPWSTR raw = nullptr;
    const HRESULT hr = getter(&raw);
    const Win32::CoTaskString text(raw);
    if (SUCCEEDED(hr)) values[name] = TextOrNull(text.get());
}

template <typename Getter>
void AddFlag(nlohmann::json& values, const char* name, Getter getter) {
    BOOL flag = FALSE;
    if (SUCCEEDED(getter(&flag))) values[name] = flag != FALSE;
}

}  // namespace

nlohmann::json OptionsValues(IUnknown* options) {
    if (options == nullptr) return nullptr;
    nlohmann::json values = nlohmann::json::object();
    const Win32::ComPtr<IUnknown> object(options);
    if (const auto first =
            object.As<ICoreWebView2EnvironmentOptions>(IID_ICoreWebView2EnvironmentOptions)) {
        AddText(values, "additionalBrowserArguments",
                [&](LPWSTR* value) { return first->get_AdditionalBrowserArguments(value); });
        AddText(values, "language", [&](LPWSTR* value) { return first->get_Language(value); });
        AddText(values, "targetCompatibleBrowserVersion",
                [&](LPWSTR* value) { return first->get_TargetCompatibleBrowserVersion(value); });
        AddFlag(values, "allowSingleSignOnUsingOSPrimaryAccount", [&](BOOL* value) {
            return first->get_AllowSingleSignOnUsingOSPrimaryAccount(value);
        });
    }
    if (const auto second =
            object.As<ICoreWebView2EnvironmentOptions2>(IID_ICoreWebView2EnvironmentOptions2)) {
        AddFlag(values, "exclusiveUserDataFolderAccess",
                [&](BOOL* value) { return second->get_ExclusiveUserDataFolderAccess(value); });
    }
    return values;
}

}  // namespace Standin
