// The request filter decides every request a page makes on the browser's UI thread. Its price per
// URL is held against the least any Qt-side host test pays: making a QUrl of the address and
// asking for its host. The mix is about 200 addresses of a course page's traffic: platform and
// tenant pages, media CDNs with signed queries, YouTube, plain HTTP, service-worker scripts,
// third-party assets, data: and blob: addresses.
//
// Each decision row also reports, as counters, its own cost and the baseline's cost per URL
// timed alternately in the same process (best of several rounds), and their ratio. The
// interceptor rows add what the Qt adapter does first: turn the request's QUrl back into text.
#include <benchmark/benchmark.h>

#include <QString>
#include <QStringList>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "app/app_record.h"
#include "app/command_line.h"
#include "content/request_filter.h"
#include "content/url_rules.h"

namespace {

QString SignedQuery(int seed) {
    QString query =
        QStringLiteral("?Expires=17%1&Key-Pair-Id=APKA%2&Signature=").arg(seed * 7919).arg(seed);
    for (int i = 0; i < 6; ++i)
        query += QStringLiteral("Zm9vYmFyYmF6cXV4%1~").arg(seed * 31 + i);
    return query;
}

// Twenty rounds of ten addresses, in roughly the shares a course page produces them.
QStringList RequestMix() {
    const QString platform = QString::fromStdU16String(UrlRules::PlatformDomains().front());
    const QString tenant = QString::fromStdU16String(App().baseUrl);
    QStringList urls;
    for (int i = 0; i < 20; ++i) {
        const QString n = QString::number(i);
        const QString video = QStringLiteral("dQw4w9WgX%1").arg(i, 2, 10, QLatin1Char('0'));
        urls
            << QStringLiteral("https://academy.%1/courses/%2/lessons/%3?tab=notes")
                   .arg(platform, n, QString::number(i * 7))
            << tenant + QStringLiteral("/content/page.html?part=") + n
            << QStringLiteral("https://static.%1/assets/app.%2f3c9a1.js").arg(platform, n)
            << (i % 2 ? QStringLiteral("https://vz-%1.b-cdn.net/0f1e2d3c-%1/720p/video%2.ts")
                            .arg(n, n)
                      : QStringLiteral("https://d3k2x9%1.cloudfront.net/hls/%1/seg-%1.ts").arg(n) +
                            SignedQuery(i))
            << (i % 3 == 0 ? QStringLiteral("https://www.youtube.com/embed/") + video +
                                 QStringLiteral("?origin=https%3A%2F%2Facademy.") + platform
                : i % 3 == 1
                    ? QStringLiteral("https://i.ytimg.com/vi/%1/hqdefault.jpg").arg(video)
                    : QStringLiteral("https://rr%1---sn-4g5e6nsz.googlevideo.com/videoplayback")
                              .arg(i % 5) +
                          SignedQuery(i + 50))
            << (i % 2 ? QStringLiteral("https://api.%1/v2/progress?lesson=%2&ts=1700000%2")
                            .arg(platform, n)
                      : QStringLiteral(
                            "https://fonts.gstatic.com/s/roboto/v30/KFOmCnqEu92Fr1Mu4mxK%1.woff2")
                            .arg(n))
            << (i % 4 == 0 ? QStringLiteral("http://www.%1/legacy/player?id=%2").arg(platform, n)
                : i % 4 == 1
                    ? QStringLiteral("http://cdn.example.org/lib/jquery-3.%1.min.js").arg(n)
                : i % 4 == 2
                    ? tenant + QStringLiteral("/api/desktop/version?v=") + n
                    : QStringLiteral("http://academy.%1/static/img/%2.png").arg(platform, n))
            << (i % 4 == 0 ? QStringLiteral("https://academy.%1/front/sw.js").arg(platform)
                : i % 4 == 1
                    ? QStringLiteral("https://www.%1/front/workbox-%2c0ffee.js").arg(platform, n)
                : i % 4 == 2 ? QStringLiteral("https://www.%1/Select-Tenants-SW.js").arg(platform)
                             : tenant + QStringLiteral("/front/sw.js?v=") + n)
            << (i % 2
                    ? QStringLiteral(
                          "https://www.google-analytics.com/g/collect?v=2&tid=G-XYZ%1&en=page_view")
                          .arg(n)
                    : QStringLiteral("https://us0%1web.zoom.us/j/8123456%2?pwd=abc")
                          .arg(QString::number(i % 9 + 1), n))
            << (i % 2 ? QStringLiteral("data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAAB%1")
                            .arg(n)
                      : QStringLiteral("blob:%1/5f0c6a2e-9d1b-4c1e-8f3a-%2").arg(tenant, n));
    }
    return urls;
}

struct Mix {
    QStringList text;                  // as the page names them
    std::vector<QUrl> parsed;          // as the interceptor receives them
    std::vector<std::u16string> wide;  // as the filter's caller passes them
};

const Mix& Urls() {
    static const Mix mix = [] {
        Mix built;
        built.text = RequestMix();
        for (const QString& url : built.text) {
            built.parsed.emplace_back(url);
            built.wide.push_back(url.toStdU16String());
        }
        return built;
    }();
    return mix;
}

void BaselinePass(const Mix& mix) {
    for (const QString& url : mix.text) {
        const QUrl parsed(url);
        QString host = parsed.host();
        benchmark::DoNotOptimize(host);
    }
}

void DecidePass(const Mix& mix, RunMode window, const std::u16string& base) {
    for (const std::u16string& url : mix.wide) {
        RequestDecision decision = DecideRequest(url, window, base);
        benchmark::DoNotOptimize(decision);
    }
}

// What the Qt request interceptor does per request: turn the QUrl back into text, then decide.
void InterceptorPass(const Mix& mix, RunMode window, const std::u16string& base) {
    for (const QUrl& url : mix.parsed) {
        const std::u16string text = url.toString(QUrl::FullyEncoded).toStdU16String();
        RequestDecision decision = DecideRequest(text, window, base);
        benchmark::DoNotOptimize(decision);
    }
}

template <typename Pass>
double NsPerUrl(Pass pass, std::size_t urls) {
    constexpr int kPasses = 20;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kPasses; ++i)
        pass();
    const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / static_cast<double>(kPasses * urls);
}

// Both costs timed alternately, best of several rounds each, so the ratio is not skewed by what
// else the machine did meanwhile.
template <typename Pass>
void ReportAgainstBaseline(benchmark::State& state, Pass pass) {
    const Mix& mix = Urls();
    double own = std::numeric_limits<double>::max();
    double baseline = std::numeric_limits<double>::max();
    for (int round = 0; round < 15; ++round) {
        baseline = std::min(baseline, NsPerUrl([&] { BaselinePass(mix); }, mix.text.size()));
        own = std::min(own, NsPerUrl(pass, mix.text.size()));
    }
    state.counters["ns_per_url"] = own;
    state.counters["baseline_ns_per_url"] = baseline;
    state.counters["ratio"] = own / baseline;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(mix.text.size()));
}

void BM_Baseline_QUrlHost(benchmark::State& state) {
    const Mix& mix = Urls();
    for (auto _ : state)
        BaselinePass(mix);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(mix.text.size()));
}
BENCHMARK(BM_Baseline_QUrlHost);

void BM_DecideRequest(benchmark::State& state, RunMode window) {
    const Mix& mix = Urls();
    const std::u16string base = App().baseUrl;
    for (auto _ : state)
        DecidePass(mix, window, base);
    ReportAgainstBaseline(state, [&] { DecidePass(mix, window, base); });
}
BENCHMARK_CAPTURE(BM_DecideRequest, Player, RunMode::Player);
BENCHMARK_CAPTURE(BM_DecideRequest, Init, RunMode::Init);

void BM_InterceptorPath(benchmark::State& state, RunMode window) {
    const Mix& mix = Urls();
    const std::u16string base = App().baseUrl;
    for (auto _ : state)
        InterceptorPass(mix, window, base);
    ReportAgainstBaseline(state, [&] { InterceptorPass(mix, window, base); });
}
BENCHMARK_CAPTURE(BM_InterceptorPath, Player, RunMode::Player);
BENCHMARK_CAPTURE(BM_InterceptorPath, Init, RunMode::Init);

}  // namespace
