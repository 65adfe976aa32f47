#include "content/request_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "content/url_rules.h"
#include "tenant_profile.h"

namespace {

using Urls = std::vector<std::u16string>;

using Kind = RequestDecision::Kind;

std::u16string Platform(std::size_t index) {
    return UrlRules::PlatformDomains().at(index);
}

constexpr std::u16string_view kTenantBase = u"https://orbis.example.edu";
constexpr RunMode kBothWindows[] = {RunMode::Init, RunMode::Player};

std::string Name(RunMode window) {
    return window == RunMode::Init ? "init" : "player";
}

void ExpectAnswered(std::u16string_view uri, Kind kind, std::u16string_view base = kTenantBase) {
    for (const RunMode window : kBothWindows) {
        const RequestDecision decision = DecideRequest(uri, window, base);
        EXPECT_EQ(decision.kind, kind) << Text::Utf16ToUtf8(uri) << " in " << Name(window);
        EXPECT_TRUE(decision.headers.empty()) << Text::Utf16ToUtf8(uri);
    }
}

void ExpectPassed(std::u16string_view uri, std::u16string_view base = kTenantBase) {
    for (const RunMode window : kBothWindows) {
        EXPECT_EQ(DecideRequest(uri, window, base).kind, Kind::Pass)
            << Text::Utf16ToUtf8(uri) << " in " << Name(window);
    }
}

using Headers = std::vector<std::pair<std::u16string, std::u16string>>;

Headers HeadersOf(std::u16string_view uri, RunMode window, std::u16string_view base = kTenantBase) {
    const RequestDecision decision = DecideRequest(uri, window, base);
    EXPECT_EQ(decision.kind, Kind::Pass) << Text::Utf16ToUtf8(uri);
    Headers headers;
    for (const RequestHeader& header : decision.headers)
        headers.emplace_back(header.name, header.value);
    return headers;
}

// --- Answers from the host -------------------------------------------------------------------

TEST(RequestAnswers, StatusAndReasonOfEachKind) {
    EXPECT_EQ(StatusOf(Kind::HttpsRequired), 403);
    EXPECT_EQ(ReasonOf(Kind::HttpsRequired), u"HTTPS required");
    EXPECT_EQ(StatusOf(Kind::NotFound), 404);
    EXPECT_EQ(ReasonOf(Kind::NotFound), u"Not Found");
    EXPECT_EQ(StatusOf(Kind::Pass), 0);
    EXPECT_EQ(ReasonOf(Kind::Pass), u"");
}

TEST(RequestAnswers, PlainHttpToTrustedHostsIsRefused) {
    for (const std::u16string& uri :
         Urls{u"http://img." + Platform(0) + u"/a.png", u"HTTP://" + Platform(1) + u":8080/x?y=1",
              u"http://cdn." + Platform(2) + u"/app.js", u"http://orbis.example.edu/api",
              u"http://media.orbis.example.edu/v.mp4"}) {
        ExpectAnswered(uri, Kind::HttpsRequired);
    }
    // A bare host name works as the base too.
    ExpectAnswered(u"http://orbis.example.edu/x", Kind::HttpsRequired, u"orbis.example.edu");
}

TEST(RequestAnswers, HttpsLoopbackAndForeignHostsPass) {
    for (const std::u16string& uri :
         Urls{u"https://img." + Platform(0) + u"/a.png", u"http://localhost/x",
              u"http://localhost:47810/api", u"http://127.0.0.1:8080/", u"http://example.org/a.png",
              u"http://us02web.zoom.us/j/1", u"data:image/png;base64,iVBOR", u"", u"about:blank"}) {
        ExpectPassed(uri);
    }
}

TEST(RequestAnswers, ServiceWorkerScriptsAreHiddenOnAnyHostInAnyCase) {
    for (const std::u16string& uri :
         Urls{u"https://campus." + Platform(0) + u"/front/sw.js",
              u"https://x.example.org/FRONT/SW.JS",
              u"https://" + Platform(1) + u"/Select-Tenants-SW.js?v=3",
              u"https://orbis.example.edu/front/Workbox-5f0c.js",
              u"http://localhost:8080/front/sw.js", u"https://x.example.org/?load=/front/sw.js",
              u"https://x.example.org/a/front/sw.jsx",
              u"blob:https://x.example.org/front/workbox-"}) {
        ExpectAnswered(uri, Kind::NotFound);
    }
}

TEST(RequestAnswers, NearMissesOfServiceWorkerMarkersPass) {
    for (const std::u16string_view uri :
         {u"https://x.example.org/front/sw-js", u"https://x.example.org/frontsw.js",
          u"https://x.example.org?front/sw.js", u"https://x.example.org/front/sw.j",
          u"https://x.example.org/front/work-box", u"https://x.example.org/select-tenants",
          // LATIN SMALL LETTER LONG S folds to 's' only under full Unicode case folding.
          u"https://x.example.org/front/\u017Fw.js"}) {
        ExpectPassed(uri);
    }
}

// However the address spells its host, plain HTTP or plain WebSocket to a trusted host stays
// on the machine.
TEST(RequestAnswers, PlainHttpWithUserInformationOrOverWebSocketIsRefused) {
    for (const std::u16string& uri :
         Urls{u"http://user@img." + Platform(0) + u"/a.png",
              u"http://user:pw@" + Platform(1) + u":8080/x",
              u"http://localhost@orbis.example.edu/api", u"http://a@b@media.orbis.example.edu/",
              u"ws://live." + Platform(0) + u"/socket", u"WS://user@orbis.example.edu/s",
              u"http://img." + Platform(0) + u"./a.png", u"http://img%2E" + Platform(0) + u"/a",
              u"http:\\\\img." + Platform(0) + u"\\a.png", u"http://im\tg." + Platform(0)}) {
        ExpectAnswered(uri, Kind::HttpsRequired);
    }
    for (const std::u16string& uri :
         Urls{u"http://img." + Platform(0) + u"@example.org/a.png",
              u"wss://live." + Platform(0) + u"/socket", u"ws://localhost:8080/socket",
              u"ws://chat.example.org/socket"}) {
        ExpectPassed(uri);
    }
}

TEST(RequestAnswers, RefusalOfPlainHttpComesBeforeTheWorkerMarker) {
    ExpectAnswered(u"http://" + Platform(0) + u"/front/sw.js", Kind::HttpsRequired);
}

TEST(RequestAnswers, BaseIsReadForEachRequest) {
    constexpr std::u16string_view uri = u"http://orbis.example.edu/x";
    ExpectAnswered(uri, Kind::HttpsRequired, kTenantBase);
    ExpectPassed(uri, u"https://other-tenant.example.edu");
    ExpectAnswered(uri, Kind::HttpsRequired, kTenantBase);
}

// --- Init window marker headers --------------------------------------------------------------

Headers ExpectedMarkers() {
    const std::u16string value = Text::Widen(Tenant::InitMarkerHeaderValue());
    return {{Text::Widen(Tenant::InitMarkerHeader1Name()), value},
            {Text::Widen(Tenant::InitMarkerHeader2Name()), value}};
}

TEST(InitRequestMarkers, TrustedHostsGetBothHeadersInOrder) {
    const auto markers = ExpectedMarkers();
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_NE(markers[0].first, markers[1].first);
    for (const std::u16string& uri :
         Urls{u"https://api." + Platform(0) + u"/v1", u"https://" + Platform(2) + u"/",
              u"https://media.orbis.example.edu/x", u"http://localhost:47810/api",
              u"https://127.0.0.1/"}) {
        EXPECT_EQ(HeadersOf(uri, RunMode::Init), markers) << Text::Utf16ToUtf8(uri);
    }
    EXPECT_EQ(HeadersOf(u"https://orbis.example.edu/x", RunMode::Init, u"orbis.example.edu"),
              markers);
}

TEST(InitRequestMarkers, UntrustedAndMeetingHostsGetNone) {
    for (const std::u16string_view uri :
         {u"https://example.org/", u"https://www.youtube.com/embed/x",
          u"https://user@api.orbis.example.edu/", u"https://evilorbis.example.edu/"}) {
        EXPECT_TRUE(HeadersOf(uri, RunMode::Init).empty()) << Text::Utf16ToUtf8(uri);
    }
    // Even when the tenant itself is a meeting host.
    EXPECT_TRUE(
        HeadersOf(u"https://teams.microsoft.com/l/1", RunMode::Init, u"https://teams.microsoft.com")
            .empty());
    EXPECT_TRUE(HeadersOf(u"https://us02web.zoom.us/j/1", RunMode::Init, u"zoom.us").empty());
}

TEST(InitRequestMarkers, PlayerWindowNeverMarks) {
    EXPECT_TRUE(HeadersOf(u"https://api." + Platform(0) + u"/v1", RunMode::Player).empty());
    EXPECT_TRUE(HeadersOf(u"https://media.orbis.example.edu/x", RunMode::Player).empty());
}

// --- Player window referrer ------------------------------------------------------------------

std::u16string RefererOf(std::u16string_view uri, std::u16string_view base) {
    const auto headers = HeadersOf(uri, RunMode::Player, base);
    if (headers.empty()) return u"<none>";
    EXPECT_EQ(headers.size(), 1u);
    EXPECT_EQ(headers[0].first, u"Referer");
    return headers[0].second;
}

TEST(PlayerReferer, YouTubeRequestsCarryTheBaseWithoutOneTrailingSlash) {
    constexpr std::u16string_view embed = u"https://www.youtube.com/embed/abc?origin=x";
    EXPECT_EQ(RefererOf(embed, u"https://orbis.example.edu/"), u"https://orbis.example.edu");
    EXPECT_EQ(RefererOf(embed, u"https://orbis.example.edu"), u"https://orbis.example.edu");
    EXPECT_EQ(RefererOf(embed, u"https://orbis.example.edu//"), u"https://orbis.example.edu/");
    EXPECT_EQ(RefererOf(u"https://youtu.be/abc", kTenantBase), kTenantBase);
    EXPECT_EQ(RefererOf(u"HTTPS://M.YOUTUBE.COM./watch?v=x", kTenantBase), kTenantBase);
    EXPECT_EQ(RefererOf(u"https://evil.example@www.youtube.com/embed/x", kTenantBase), kTenantBase);
}

// The platform's address goes to YouTube's own hosts, not to hosts that merely name YouTube.
TEST(PlayerReferer, OnlyYouTubeHostsGetIt) {
    for (const std::u16string_view uri :
         {u"HTTPS://I.YTIMG.COM/vi/x?from=YOUTUBE.COM", u"https://evil.example/www.youtube.com/x",
          u"https://www.youtube.com.evil.example/embed/x", u"https://notyoutube.com/embed/x",
          u"https://www.youtube.com@evil.example/embed/x", u"https://youtu.be%2eevil.example/x",
          u"data:text/html,https://www.youtube.com/", u"wss://www.youtube.com/socket"}) {
        EXPECT_EQ(RefererOf(uri, kTenantBase), u"<none>") << Text::Utf16ToUtf8(uri);
    }
}

TEST(PlayerReferer, EmptyBaseOrOtherHostsKeepTheBrowsersReferrer) {
    constexpr std::u16string_view embed = u"https://www.youtube.com/embed/abc";
    EXPECT_EQ(RefererOf(embed, u""), u"<none>");
    EXPECT_EQ(RefererOf(embed, u"/"), u"<none>");
    EXPECT_EQ(RefererOf(u"https://player.vimeo.com/video/1", kTenantBase), u"<none>");
    EXPECT_EQ(RefererOf(u"https://i.ytimg.com/vi/x/0.jpg", kTenantBase), u"<none>");
    // The init window never sets a referrer.
    EXPECT_TRUE(HeadersOf(embed, RunMode::Init).empty());
}

}  // namespace
