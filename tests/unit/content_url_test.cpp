#include "content/content_url.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "common/app_record.h"
#include "common/text.h"

namespace {

using namespace ContentUrl;

constexpr std::u16string_view kBase = u"https://orbis.example.edu";
constexpr std::u16string_view kEncodedBase = u"https%3a%2f%2forbis.example.edu";
constexpr std::u16string_view kEmbed = u"https://www.youtube.com/embed/";

std::u16string EmbedOf(std::u16string_view id) {
    return std::u16string(kEmbed) + std::u16string(id) + u"?origin=" + std::u16string(kEncodedBase);
}

std::u16string Normalize(std::u16string_view url) {
    return NormalizeYouTubeUrl(url, kBase);
}

// --- Recognition -----------------------------------------------------------------------------

TEST(ContentUrlRecognition, YouTubeAnywhereInTheUrl) {
    EXPECT_TRUE(IsYouTubeUrl(u"https://www.youtube.com/watch?v=abc"));
    EXPECT_TRUE(IsYouTubeUrl(u"https://youtu.be/abc"));
    EXPECT_TRUE(IsYouTubeUrl(u"HTTPS://M.YOUTUBE.COM/shorts/x"));
    EXPECT_TRUE(IsYouTubeUrl(u"https://lms.example.edu/go?to=https://youtube.com/x"));
    EXPECT_FALSE(IsYouTubeUrl(u"https://vimeo.com/1234"));
    EXPECT_FALSE(IsYouTubeUrl(u""));
}

TEST(ContentUrlRecognition, ZoomNeedsADotOrSlashesBeforeTheDomain) {
    EXPECT_TRUE(IsZoomUrl(u"https://us02web.zoom.us/j/123"));
    EXPECT_TRUE(IsZoomUrl(u"https://zoom.us/j/123"));
    EXPECT_TRUE(IsZoomUrl(u"HTTPS://ZOOM.US/J/1"));
    EXPECT_FALSE(IsZoomUrl(u"https://notzoom.us/j/1"));
    EXPECT_FALSE(IsZoomUrl(u"https://example.com/zoom.us"));
    EXPECT_FALSE(IsZoomUrl(u"zoom.us/j/1"));
    EXPECT_FALSE(IsZoomUrl(u"https://zoom.com/j/1"));
}

TEST(ContentUrlRecognition, HostMembershipIsTheDomainOrBelowIt) {
    for (const std::u16string_view host :
         {u"youtube.com", u"www.youtube.com", u"M.YouTube.COM", u"youtu.be", u"www.youtube.com."}) {
        EXPECT_TRUE(IsYouTubeHost(host)) << Text::Utf16ToUtf8(host);
    }
    for (const std::u16string_view host :
         {u"notyoutube.com", u"youtube.com.evil.example", u"youtu.be.evil.example", u"ytimg.com",
          u"", u"youtube", u"www.youtube.com..", u"youtube.co"}) {
        EXPECT_FALSE(IsYouTubeHost(host)) << Text::Utf16ToUtf8(host);
    }
    EXPECT_TRUE(IsZoomHost(u"zoom.us"));
    EXPECT_TRUE(IsZoomHost(u"US02WEB.zoom.us"));
    EXPECT_FALSE(IsZoomHost(u"notzoom.us"));
    EXPECT_FALSE(IsZoomHost(u"zoom.us.evil.example"));
    EXPECT_FALSE(IsZoomHost(u"zoom.com"));
}

// --- Normalisation ---------------------------------------------------------------------------

TEST(ContentUrlNormalize, ShortLinkDropsItsParameters) {
    EXPECT_EQ(Normalize(u"https://youtu.be/dQw4w9WgXcQ?t=42"), EmbedOf(u"dQw4w9WgXcQ"));
    EXPECT_EQ(Normalize(u"https://youtu.be/AbC_-9"), EmbedOf(u"AbC_-9"));
    EXPECT_EQ(Normalize(u"HTTPS://YOUTU.BE/AbC/"), EmbedOf(u"AbC"));
    // The short-link rule comes first, whatever else the URL carries.
    EXPECT_EQ(Normalize(u"https://youtu.be/Id1?v=Other&list=/embed/"), EmbedOf(u"Id1"));
}

TEST(ContentUrlNormalize, ShortLinkWithoutIdIsLeftAlone) {
    EXPECT_EQ(Normalize(u"https://youtu.be/?t=1"), u"https://youtu.be/?t=1");
    EXPECT_EQ(Normalize(u"https://youtu.be/"), u"https://youtu.be/");
}

TEST(ContentUrlNormalize, EmbedGetsAnOriginOnce) {
    EXPECT_EQ(Normalize(u"https://www.youtube.com/embed/AbC"),
              u"https://www.youtube.com/embed/AbC?origin=" + std::u16string(kEncodedBase));
    EXPECT_EQ(
        Normalize(u"https://www.youtube.com/embed/AbC?autoplay=1"),
        u"https://www.youtube.com/embed/AbC?autoplay=1&origin=" + std::u16string(kEncodedBase));
    const std::u16string withOrigin = u"https://www.youtube.com/EMBED/AbC?origin=https://x.test";
    EXPECT_EQ(Normalize(withOrigin), withOrigin);
    // The origin test is case-sensitive; the marker test is not.
    EXPECT_EQ(Normalize(u"https://www.youtube.com/Embed/AbC?ORIGIN=x"),
              u"https://www.youtube.com/Embed/AbC?ORIGIN=x&origin=" + std::u16string(kEncodedBase));
}

TEST(ContentUrlNormalize, ShortsAndLiveGiveTheBareId) {
    EXPECT_EQ(Normalize(u"https://www.youtube.com/shorts/Sh0rtId"), EmbedOf(u"Sh0rtId"));
    EXPECT_EQ(Normalize(u"https://www.youtube.com/shorts/Sh0rtId/"), EmbedOf(u"Sh0rtId"));
    EXPECT_EQ(Normalize(u"https://youtube.com/SHORTS/Sh0rtId?feature=share"), EmbedOf(u"Sh0rtId"));
    EXPECT_EQ(Normalize(u"https://www.youtube.com/live/LiVe_1"), EmbedOf(u"LiVe_1"));
    EXPECT_EQ(Normalize(u"https://www.youtube.com/live/LiVe_1/"), EmbedOf(u"LiVe_1"));
    EXPECT_EQ(Normalize(u"https://www.youtube.com/live/LiVe_1?si=xyz"), EmbedOf(u"LiVe_1"));
    EXPECT_EQ(Normalize(u"https://www.youtube.com/live/?si=1"),
              u"https://www.youtube.com/live/?si=1");
}

TEST(ContentUrlNormalize, WatchKeepsOnlyTheVideoParameter) {
    EXPECT_EQ(Normalize(u"https://www.youtube.com/watch?v=dQw4w9WgXcQ&t=10s&list=PL1"),
              EmbedOf(u"dQw4w9WgXcQ"));
    EXPECT_EQ(Normalize(u"https://www.youtube.com/watch?feature=share&v=MiXeD"), EmbedOf(u"MiXeD"));
    EXPECT_EQ(Normalize(u"https://m.youtube.com/watch?V=UpperMarker"), EmbedOf(u"UpperMarker"));
    EXPECT_EQ(Normalize(u"https://www.youtube.com/watch?v=&t=1"),
              u"https://www.youtube.com/watch?v=&t=1");
}

TEST(ContentUrlNormalize, OtherUrlsComeBackUnchanged) {
    for (const std::u16string_view url :
         {u"https://www.youtube.com/@SomeChannel", u"https://www.youtube.com/channel/UC123",
          u"https://example.com/page", u""}) {
        EXPECT_EQ(Normalize(url), url);
    }
}

// --- Percent encoding ------------------------------------------------------------------------

TEST(ContentUrlPercentEncode, UnreservedBytesStayEverythingElseLowerHex) {
    EXPECT_EQ(PercentEncode(u"AZaz09-._~"), u"AZaz09-._~");
    EXPECT_EQ(PercentEncode(u"https://orbis.example.edu"), kEncodedBase);
    EXPECT_EQ(PercentEncode(u"a b?c=d&e/f%"), u"a%20b%3fc%3dd%26e%2ff%25");
    EXPECT_EQ(PercentEncode(u""), u"");
}

TEST(ContentUrlPercentEncode, NonAsciiIsEncodedAsUtf8) {
    EXPECT_EQ(PercentEncode(u"\u00e9"), u"%c3%a9");
    EXPECT_EQ(PercentEncode(u"\u0639\u0631\u0628\u064a"), u"%d8%b9%d8%b1%d8%a8%d9%8a");
    EXPECT_EQ(PercentEncode(u"\U0001F600"), u"%f0%9f%98%80");
    // A lone surrogate cannot be UTF-8; it goes out as U+FFFD.
    EXPECT_EQ(PercentEncode(std::u16string(1, char16_t{0xD800})), u"%ef%bf%bd");
}

}  // namespace
