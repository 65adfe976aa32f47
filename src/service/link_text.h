#pragma once
// The text of a link of the application's scheme: percent-decoding and the body after
// "<scheme>:". Shared by the command line, which chooses the run mode, and the link decoder.
#include <string>
#include <string_view>

// Percent-decoding through UTF-8; "+" stays "+".
std::u16string UrlDecode(std::u16string_view text);

// The body after "<scheme>:" and its slashes, or empty. `matched` (when given) tells whether the
// prefix was found, even when the body then turned out empty.
std::u16string ExtractSchemePayload(std::u16string_view argument, std::u16string_view scheme,
                                    bool* matched = nullptr);

// True when the argument carries `scheme` and a non-empty body.
bool IsSchemeLink(std::u16string_view argument, std::u16string_view scheme);
