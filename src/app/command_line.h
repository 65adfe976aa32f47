#pragma once
// Recognising a link of the application's scheme on the command line and choosing the run mode.
// Platforms feed the argument list and the raw command-line text; the decisions live here.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class RunMode { Init, Player };

// Percent-decoding through UTF-8; "+" stays "+".
std::u16string UrlDecode(std::u16string_view text);

// The body after "<scheme>:" and its slashes, or empty. `matched` (when given) tells whether the
// prefix was found, even when the body then turned out empty.
std::u16string ExtractSchemePayload(std::u16string_view argument, std::u16string_view scheme,
                                    bool* matched = nullptr);

// True when the argument carries the application's scheme and a non-empty body.
bool IsSchemeLink(std::u16string_view argument);

struct LinkChoice {
    std::u16string link;
    RunMode mode = RunMode::Init;
};

// `arguments` is the split command line including the program path at index 0;
// `rawCommandLine` is the text the entry point received (without the program path).
LinkChoice ChooseLink(const std::vector<std::u16string>& arguments,
                      std::u16string_view rawCommandLine);

// displayName + "|player" or "|init".
std::u16string InstanceKey(std::u16string_view displayName, RunMode mode);
// "Local\ZelvanPlayer.WebView2." + FNV-1a-style hash of the lower-cased key, lower-case hex.
std::u16string BuildInstanceMutexName(std::u16string_view key);

struct OsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
};
// 7, 8, 10, 11 or -1.
int ClassifyWindowsVersion(const OsVersion& version);

// The leading decimal number of a version text ("4.18.0" gives 4.18); 3.0 when there is none.
double ParseVersionNumber(std::u16string_view version);
