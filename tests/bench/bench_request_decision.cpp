// The request filter asks for the host and the trust of every request a page makes, so its cost
// is measured per URL over a mix like a course page's traffic, against a baseline that does the
// least any host test must do: find the authority and compare it with one domain.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "common/app_record.h"
#include "common/run_mode.h"
#include "content/request_filter.h"
#include "content/url_rules.h"
#include "request_mix.h"

// Every allocation of this program is counted, so that the decision's own heap use shows up per
// URL beside its time.
namespace {
std::atomic<std::uint64_t> allocations{0};
}  // namespace

// Kept out of line: inlined into callers, GCC would see malloc() and free() meet new and delete
// and warn of a mismatch.
[[gnu::noinline]] void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* block) noexcept {
    std::free(block);
}
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

const std::vector<std::u16string>& Urls() {
    static const std::vector<std::u16string> urls = BenchRequestMix::RequestMix();
    return urls;
}

void BM_ExtractHostAndTrust(benchmark::State& state) {
    const auto& urls = Urls();
    const std::u16string base = App().baseUrl;
    for (auto _ : state) {
        for (const auto& url : urls) {
            std::u16string host = UrlRules::ExtractHost(url);
            bool trusted = UrlRules::IsTrustedUrl(url, base);
            benchmark::DoNotOptimize(host);
            benchmark::DoNotOptimize(trusted);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * urls.size()));
}
BENCHMARK(BM_ExtractHostAndTrust);

void BM_Baseline_FindAuthority(benchmark::State& state) {
    const auto& urls = Urls();
    const std::u16string domain = UrlRules::PlatformDomains().front();
    for (auto _ : state) {
        for (const auto& url : urls) {
            bool match = false;
            const std::size_t scheme = url.find(u"://");
            if (scheme != std::u16string::npos) {
                const std::size_t start = scheme + 3;
                const std::size_t end = url.find(u'/', start);
                const std::u16string_view host = std::u16string_view(url).substr(
                    start, end == std::u16string::npos ? std::u16string::npos : end - start);
                match = host.ends_with(domain);
            }
            benchmark::DoNotOptimize(match);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * urls.size()));
}
BENCHMARK(BM_Baseline_FindAuthority);

// The whole decision a window's request filter takes. Counters: allocations per URL, and the
// share of URLs that passed without headers (the path that must stay cheap).
void MeasureDecisions(benchmark::State& state, const std::vector<std::u16string>& urls,
                      RunMode window) {
    const std::u16string base = App().baseUrl;
    std::uint64_t plainPasses = 0;
    const std::uint64_t before = allocations.load(std::memory_order_relaxed);
    for (auto _ : state) {
        for (const auto& url : urls) {
            RequestDecision decision = DecideRequest(url, window, base);
            plainPasses += decision.kind == RequestDecision::Kind::Pass && decision.headers.empty();
            benchmark::DoNotOptimize(decision);
        }
    }
    const auto processed = static_cast<std::int64_t>(state.iterations() * urls.size());
    state.counters["allocs_per_url"] =
        static_cast<double>(allocations.load(std::memory_order_relaxed) - before) /
        static_cast<double>(processed);
    state.counters["plain_pass_share"] =
        static_cast<double>(plainPasses) / static_cast<double>(processed);
    state.SetItemsProcessed(processed);
}

void BM_DecideRequest_Init(benchmark::State& state) {
    MeasureDecisions(state, Urls(), RunMode::Init);
}
BENCHMARK(BM_DecideRequest_Init);

void BM_DecideRequest_Player(benchmark::State& state) {
    MeasureDecisions(state, Urls(), RunMode::Player);
}
BENCHMARK(BM_DecideRequest_Player);

// Only the URLs that pass the init window without headers: the common path on its own.
void BM_DecideRequest_InitPlainPassOnly(benchmark::State& state) {
    static const std::vector<std::u16string> plain = [] {
        std::vector<std::u16string> kept;
        for (const auto& url : Urls()) {
            const RequestDecision decision = DecideRequest(url, RunMode::Init, App().baseUrl);
            if (decision.kind == RequestDecision::Kind::Pass && decision.headers.empty())
                kept.push_back(url);
        }
        return kept;
    }();
    MeasureDecisions(state, plain, RunMode::Init);
}
BENCHMARK(BM_DecideRequest_InitPlainPassOnly);

}  // namespace
