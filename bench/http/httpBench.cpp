#include "LoopbackServer.h"

#include "http/CancelToken.h"
#include "http/httpFetch.h"
#include "http/requestHeaders.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace velmora {
namespace {

using namespace std::chrono_literals;

constexpr int kRequests = 1000;

// A page of a realistic small size, the same for both clients.
LoopbackServer& pageServer() {
    static LoopbackServer server([](const ReceivedRequest&) {
        static const Reply reply =
            httpReply("200 OK", {"Content-Type: text/html; charset=utf-8", "Cache-Control: no-cache"},
                      std::string(2048, 'x'));
        return reply;
    });
    return server;
}

void sequentialHttpFetch(benchmark::State& state) {
    const std::string url = pageServer().url("/item?id=1");
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            benchmark::DoNotOptimize(httpFetch(url));
        }
    }
    state.SetItemsProcessed(state.iterations() * kRequests);
}

size_t collect(char* data, size_t size, size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

// The same requests, byte for byte, from one libcurl handle set up once and performed again and
// again: the floor that httpFetch's per-call work is measured against.
void sequentialRawCurl(benchmark::State& state) {
    const std::string url = pageServer().url("/item?id=1");
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy(curl_easy_init(), &curl_easy_cleanup);
    curl_slist* lines = nullptr;
    for (const std::string& line :
         {"Referer: " + url, std::string("Accept: */*"), std::string("Accept-Language: zh-cn"),
          std::string("Content-Type: application/x-www-form-urlencoded"), std::string("Expect:")}) {
        lines = curl_slist_append(lines, line.c_str());
    }
    const std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(lines, &curl_slist_free_all);
    std::string body;
    curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy.get(), CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(easy.get(), CURLOPT_USERAGENT, std::string(kDefaultAgent).c_str());
    curl_easy_setopt(easy.get(), CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_PROXY, "");
    curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, &collect);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &body);
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            body.clear();
            curl_easy_perform(easy.get());
            benchmark::DoNotOptimize(body);
        }
    }
    state.SetItemsProcessed(state.iterations() * kRequests);
}

// Time from cancelling a run's token to the return of its exchange, against a server that
// accepts the request and never answers.
void cancelLatency(benchmark::State& state) {
    LoopbackServer stalled([](const ReceivedRequest&) { return Reply{"", Reply::Then::Stall}; });
    const std::string url = stalled.url("/never");
    double worstMs = 0;
    std::size_t served = 0;
    for (auto _ : state) {
        auto token = std::make_shared<CancelToken>();
        std::chrono::steady_clock::time_point returned;
        std::thread worker([&] {
            const CancelScope scope(token);
            httpFetch(url);
            returned = std::chrono::steady_clock::now();
        });
        stalled.waitForRequests(++served, 10s);
        // Let the exchange settle into waiting for the answer.
        std::this_thread::sleep_for(30ms);
        const auto cancelled = std::chrono::steady_clock::now();
        token->cancel();
        worker.join();
        const std::chrono::duration<double> latency = returned - cancelled;
        worstMs = std::max(worstMs, latency.count() * 1000);
        state.SetIterationTime(latency.count());
    }
    state.counters["worst_ms"] = worstMs;
}

BENCHMARK(sequentialHttpFetch)->Unit(benchmark::kMillisecond)->Repetitions(5)->MinTime(0.5);
BENCHMARK(sequentialRawCurl)->Unit(benchmark::kMillisecond)->Repetitions(5)->MinTime(0.5);
BENCHMARK(cancelLatency)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(50);

} // namespace
} // namespace velmora

BENCHMARK_MAIN();
