#pragma once
// The runtime bootstrap's operations on Windows: module path, file attributes, temporary
// folder, URLDownloadToFileW, ShellExecuteExW with an unbounded wait, DeleteFileW.
#include <windows.h>

#include <functional>

#include "host/runtime_bootstrap.h"

namespace RuntimeBootstrap {

// The loader's version query, GetAvailableCoreWebView2BrowserVersionString in shape.
using LoaderVersionFunction = std::function<HRESULT(PCWSTR browserFolder, LPWSTR* version)>;

// Frees what the loader returns; an empty folder asks for the installed runtime (NULL).
VersionQuery VersionQueryOverLoader(LoaderVersionFunction getVersion);

// The system's operations around the given version query and message box (the entry point's,
// so that every box of the start-up goes through one place).
Operations SystemOperations(VersionQuery queryVersion,
                            std::function<MessageBoxResult(const MessageBoxRequest&)> showMessage);

}  // namespace RuntimeBootstrap
