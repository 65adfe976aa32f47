#pragma once
// YouTube and Zoom recognition and the YouTube embed normalisation.
#include <string>
#include <string_view>

namespace ContentUrl {

bool IsYouTubeUrl(std::u16string_view url);
bool IsZoomUrl(std::u16string_view url);

// The embed address for a YouTube URL, with `base` as its origin parameter; other URLs unchanged.
std::u16string NormalizeYouTubeUrl(std::u16string_view url, std::u16string_view base);

// UTF-8 percent-encoding of everything but ASCII letters, digits and "-._~"; lower-case hex.
std::u16string PercentEncode(std::u16string_view text);

}  // namespace ContentUrl
