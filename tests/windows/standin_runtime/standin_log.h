#pragma once
// The stand-in runtime's record of what reached it: one JSON object per line, appended to the
// file named by ORBIS_STANDIN_LOG (nothing is written without the variable), for the tests to
// read back.
#include <windows.h>

#include <nlohmann/json.hpp>
#include <string>

namespace Standin {

void AppendLogLine(const nlohmann::json& line);

// UTF-8 of a UTF-16 text; NULL becomes JSON null, so a missing argument differs from an empty one.
std::string Utf8(const wchar_t* text);
nlohmann::json TextOrNull(const wchar_t* text);

// Every WEBVIEW2_* variable of this process, by name: what the runtime would see of them.
nlohmann::json WebView2Variables();

// The full path of this library, so a log shows which runtime folder was loaded.
std::string ThisLibraryPath();

}  // namespace Standin
