#pragma once
// Finds the WebView2 runtime and starts its environment through the runtime's own client library,
// so the program ships no loader library of the vendor's.
//
// Which runtime: the folder given (absolute, or relative to the executable's folder), else the
// installed runtime registered for the current machine or user. WEBVIEW2_BROWSER_EXECUTABLE_FOLDER,
// WEBVIEW2_USER_DATA_FOLDER and WEBVIEW2_RELEASE_CHANNEL_PREFERENCE (or
// WEBVIEW2_CHANNEL_SEARCH_KIND) of the process override the arguments; the group-policy registry
// overrides are not read. WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS is not merged into the options:
// the runtime reads it from the process environment itself, and the host sets the same switches
// in both places, so a merge here would pass each of them twice.
#include <windows.h>

#include <string>

#include "host/webview2_com_webview2.h"

namespace WebView2Loader {

// The numbers are the runtime type the client library expects.
enum class RuntimeKind : int { Installed = 0, FixedVersion = 1 };

struct RuntimeLocation {
    RuntimeKind kind = RuntimeKind::Installed;
    std::wstring clientLibrary;  // full path of EmbeddedBrowserWebView.dll
    std::wstring version;        // the library's product version; never empty
    std::wstring channel;        // empty for the stable channel, else "Beta", "Dev" or "Canary"
};

// The runtime the two functions below would use for `browserExecutableFolder` (NULL or empty:
// the installed runtime), after the process's overrides. No runtime:
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND); a folder inside a browser installation
// ("\Edge\Application\"): HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED).
HRESULT FindRuntime(PCWSTR browserExecutableFolder, RuntimeLocation* location);

// The runtime's version, followed by a space and the channel name for a channel other than
// stable, in a NUL-terminated string the caller frees with CoTaskMemFree. On failure
// *versionInfo is NULL.
HRESULT GetAvailableCoreWebView2BrowserVersionString(PCWSTR browserExecutableFolder,
                                                     LPWSTR* versionInfo);

// Starts creating an environment. A failure found before the runtime's library accepted the
// call is returned and the handler is never called; afterwards the library reports through the
// handler, on the calling thread while its messages are pumped. The calling thread must be a
// single-threaded COM apartment.
HRESULT CreateCoreWebView2EnvironmentWithOptions(
    PCWSTR browserExecutableFolder, PCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

}  // namespace WebView2Loader
