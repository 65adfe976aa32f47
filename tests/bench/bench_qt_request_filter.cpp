// The request filter decides every request a page makes on the browser's UI thread. Its price per
// URL is held against the least any Qt-side host test pays: making a QUrl of the address and
// asking for its host, over the shared course-page mix of request_mix.h.
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

#include "common/app_record.h"
#include "common/run_mode.h"
#include "content/request_filter.h"
#include "content/url_rules.h"
#include "request_mix.h"

namespace {

struct Mix {
    QStringList text;                  // as the page names them
    std::vector<QUrl> parsed;          // as the interceptor receives them
    std::vector<std::u16string> wide;  // as the filter's caller passes them
};

const Mix& Urls() {
    static const Mix mix = [] {
        Mix built;
        built.wide = BenchRequestMix::RequestMix();
        for (const std::u16string& url : built.wide) {
            built.text << QString::fromStdU16String(url);
            built.parsed.emplace_back(built.text.back());
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
