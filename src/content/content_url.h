#pragma once
// YouTube and Zoom recognition and the YouTube embed normalisation.
#include <string>
#include <string_view>

namespace ContentUrl {

// Wide recognition, anywhere in the URL (a redirector or a consent page naming the video counts):
// fit only for choosing how a content item is shown, never for deciding where a view may go.
bool IsYouTubeUrl(std::u16string_view url);
bool IsZoomUrl(std::u16string_view url);

// Membership: the host is YouTube's main or short-link domain (Zoom's main domain) or below it.
// Any letter case; one trailing dot is ignored.
bool IsYouTubeHost(std::u16string_view host);
bool IsZoomHost(std::u16string_view host);

// The embed address for a YouTube URL, with `base` as its origin parameter; other URLs unchanged.
std::u16string NormalizeYouTubeUrl(std::u16string_view url, std::u16string_view base);

// UTF-8 percent-encoding of everything but ASCII letters, digits and "-._~"; lower-case hex.
std::u16string PercentEncode(std::u16string_view text);

}  // namespace ContentUrl
