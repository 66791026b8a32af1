#include "samplePages.h"

#include "text/RegexObject.h"
#include "text/codePages.h"
#include "text/decodeEscapes.h"
#include "text/textBetween.h"

#include <benchmark/benchmark.h>

namespace velmora::bench {

namespace {

constexpr std::size_t kPageSize = 1 << 20;

// The listing pattern of the keyword search.
constexpr std::string_view kListingPattern =
    R"re("nid":"(\d+)".*?raw_title":"(.*?)".*?,"detail_url":"(.*?)".*?user_id":"(.*?)","nick":"(.*?)")re";

void listingPatternOverPage(benchmark::State& state) {
    const Text page = listingPage(kPageSize);
    RegexObject regex;
    for (auto _ : state) {
        regex.execute(kListingPattern, page);
        benchmark::DoNotOptimize(regex.matchCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    state.counters["matches"] = regex.matchCount();
}
BENCHMARK(listingPatternOverPage)->Unit(benchmark::kMillisecond);

void listingPatternWithGroupsRead(benchmark::State& state) {
    const Text page = listingPage(kPageSize);
    RegexObject regex;
    for (auto _ : state) {
        regex.execute(kListingPattern, page);
        for (int match = 1; match <= regex.matchCount(); ++match) {
            for (int group = 1; group <= 5; ++group) {
                benchmark::DoNotOptimize(regex.subMatchText(match, group));
            }
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(listingPatternWithGroupsRead)->Unit(benchmark::kMillisecond);

void utf8ToAnsiOverChinesePage(benchmark::State& state) {
    const std::string page = chineseUtf8Page(kPageSize);
    for (auto _ : state) {
        benchmark::DoNotOptimize(utf8ToAnsi(page));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(utf8ToAnsiOverChinesePage)->Unit(benchmark::kMicrosecond);

void textBetweenNearTheEndOfPage(benchmark::State& state) {
    const Text page = listingPage(kPageSize);
    for (auto _ : state) {
        benchmark::DoNotOptimize(textBetween(page, "\"totalPage\":", ","));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(textBetweenNearTheEndOfPage)->Unit(benchmark::kMicrosecond);

void decodeEscapesOfItemAddress(benchmark::State& state) {
    const Text address =
        R"(//item.taobao.com/item.htm?id\u003d612345678901\u0026ns\u003d1\u0026abbucket\u003d5\u0026spm\u003da230r.1.14.1)";
    for (auto _ : state) {
        benchmark::DoNotOptimize(decodeEscapes(address));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * address.size()));
}
BENCHMARK(decodeEscapesOfItemAddress);

} // namespace

} // namespace velmora::bench

BENCHMARK_MAIN();
