#pragma once
// The request traffic of a course page, shared by every benchmark of the request path: about 240
// URLs in the proportions such a page produces them. Mostly the platform and its assets, then
// media CDNs with long signed queries, YouTube, meetings, analytics, plain HTTP to the platform
// (refused), its service-worker scripts (hidden), and the odd data:, blob: and loopback request.
#include <cstddef>
#include <string>
#include <vector>

#include "common/app_record.h"
#include "content/url_rules.h"

namespace BenchRequestMix {

inline std::u16string Num(std::size_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

inline std::u16string LongQuery(std::size_t seed) {
    std::u16string query = u"?Expires=17" + Num(seed * 7919 % 100000000) + u"&Policy=";
    for (std::size_t i = 0; i < 12; ++i)
        query += u"eyJTdGF0ZW1lbnQiOlt7IlJlc291cmNlIjoi" + Num(seed + i);
    query += u"&Signature=Q2xvdWRGcm9udFNpZ25hdHVyZQ__&Key-Pair-Id=K3ABCDEF" + Num(seed);
    return query;
}

inline std::vector<std::u16string> RequestMix() {
    const std::u16string platform = UrlRules::PlatformDomains().front();
    const std::u16string tenant = UrlRules::ExtractHost(App().baseUrl);
    std::vector<std::u16string> urls;
    for (std::size_t i = 0; i < 20; ++i) {
        const std::u16string n = Num(i);
        urls.push_back(u"https://www." + platform + u"/courses/" + n + u"/lessons/" + Num(i * 3));
        urls.push_back(u"https://" + tenant + u"/api/v2/progress?lesson=" + n + u"&ts=17000" + n);
        urls.push_back(u"https://static." + platform + u"/build/app." + n + u"f3c9a1.js");
        urls.push_back(u"https://d3k2x9" + n + u".cloudfront.net/videos/" + n + u"/seg-" + n +
                       u".ts" + LongQuery(i));
        urls.push_back(u"https://rr" + Num(i % 5) +
                       u"---sn-4g5e6nsz.googlevideo.com/videoplayback" + LongQuery(i + 100));
        urls.push_back(i % 2 ? u"https://www.youtube.com/embed/dQw4w9WgXc" + n + u"?origin=x"
                             : u"https://i.ytimg.com/vi/dQw4w9WgXc" + n + u"/hqdefault.jpg");
        urls.push_back(i % 3 ? u"https://us0" + Num(i % 9 + 1) + u"web.zoom.us/j/8123456" + n
                             : u"https://meet.google.com/abc-defg-h" + n);
        urls.push_back(i % 2 ? u"https://www.google-analytics.com/g/collect?v=2&tid=G-XYZ" + n +
                                   u"&cid=12345." + n + u"&en=page_view"
                             : u"https://static.cloudflareinsights.com/beacon.min.js?token=" + n);
        urls.push_back(i % 2 ? u"data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAf" + n
                             : u"blob:https://" + tenant + u"/5f0c6a2e-9d1b-4c1e-8f3a-" + n);
        urls.push_back(i % 2 ? u"http://localhost:47810/api/desktop/version?v=" + n
                             : u"https://user@evil" + platform + u":8443/steal?x=" + n);
        urls.push_back(i % 2 ? u"http://static." + platform + u"/legacy/img/" + n + u".png"
                             : u"http://cdn.example.org/lib/jquery-3." + n + u".min.js");
        urls.push_back(i % 4 == 0   ? u"https://www." + platform + u"/front/sw.js"
                       : i % 4 == 1 ? u"https://www." + platform + u"/front/workbox-" + n + u".js"
                       : i % 4 == 2 ? u"https://www." + platform + u"/Select-Tenants-SW.js"
                                    : u"https://" + tenant + u"/front/sw.js?v=" + n);
    }
    return urls;
}

}  // namespace BenchRequestMix
