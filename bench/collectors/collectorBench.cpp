// A keyword run of 10 full pages against the simulator, beside the same requests made back to
// back over one reused libcurl handle: the run's overhead over the bare exchanges, in wall time
// and in the client's CPU time per request.

#include "collectors/RunContext.h"
#include "collectors/collectKeyword.h"
#include "http/CancelToken.h"
#include "http/requestHeaders.h"
#include "market/MarketServer.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace velmora {
namespace {

const std::string kKeyword = "pages10 abc";
constexpr int kPageLimit = 10;

/// A window that keeps only the row count, which the collector numbers its rows by.
class CountingView : public RunView {
public:
    void clearRows() override { rows_ = 0; }
    int rowCount() override { return rows_; }
    int appendRow(const Text&) override { return rows_++; }
    void setCell(int, int, const Text&) override {}
    void setStatusText(const Text&) override {}
    void setBrowserAddress(const Text&) override {}
    void setWindowWidth(int) override {}
    void log(const Text&) override {}

private:
    int rows_ = 0;
};

market::MarketServer& marketServer() {
    static market::MarketServer server;
    static const bool started = server.start();
    if (!started) {
        std::cerr << "collectorBench: the simulator cannot listen on loopback\n";
        std::exit(1);
    }
    return server;
}

const Endpoints& endpoints() {
    static const Endpoints simulator = Endpoints::simulator(marketServer().domain());
    return simulator;
}

RunOutcome keywordRun() {
    RunSettings settings;
    settings.setKeyword(kKeyword);
    settings.setPageLimit(kPageLimit);
    CountingView view;
    CancelScope scope(std::make_shared<CancelToken>());
    return collectKeyword(RunContext{view, settings, endpoints()});
}

/// The addresses one keyword run asks for, in order, as the simulator logged them.
const std::vector<std::string>& runAddresses() {
    static const std::vector<std::string> addresses = [] {
        marketServer().clearRequests();
        keywordRun();
        std::vector<std::string> found;
        for (const auto& request : marketServer().requests()) {
            found.push_back("http://" + request.host + request.target);
        }
        return found;
    }();
    return addresses;
}

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The main thread does all of the client's work; the simulator answers on threads of its own.
void reportPerRequest(benchmark::State& state, double cpuSeconds) {
    const double requests = double(runAddresses().size());
    state.counters["requests"] = requests;
    state.counters["cpu_us_per_request"] = cpuSeconds * 1e6 / (double(state.iterations()) * requests);
    state.SetItemsProcessed(state.iterations() * std::int64_t(requests));
}

void keywordRunOfTenPages(benchmark::State& state) {
    runAddresses();
    double cpuSeconds = 0;
    for (auto _ : state) {
        const double start = threadCpuSeconds();
        benchmark::DoNotOptimize(keywordRun());
        cpuSeconds += threadCpuSeconds() - start;
    }
    reportPerRequest(state, cpuSeconds);
}

size_t collectBody(char* data, size_t size, size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

using CurlList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

// The header block httpFetch sends for an address given alone.
CurlList defaultHeaders(const std::string& url) {
    curl_slist* lines = nullptr;
    for (const std::string& line :
         {"Referer: " + url, std::string("Accept: */*"), std::string("Accept-Language: zh-cn"),
          std::string("Content-Type: application/x-www-form-urlencoded"), std::string("Expect:")}) {
        lines = curl_slist_append(lines, line.c_str());
    }
    return CurlList(lines, &curl_slist_free_all);
}

/// The run's requests, address for address and with the same headers, over one handle set up
/// once: the floor of what the run's exchanges cost.
class SameRequests {
public:
    SameRequests() : easy_(curl_easy_init(), &curl_easy_cleanup) {
        curl_easy_setopt(easy_.get(), CURLOPT_USERAGENT, agent_.c_str());
        curl_easy_setopt(easy_.get(), CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(easy_.get(), CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy_.get(), CURLOPT_PROXY, "");
        curl_easy_setopt(easy_.get(), CURLOPT_WRITEFUNCTION, &collectBody);
        curl_easy_setopt(easy_.get(), CURLOPT_WRITEDATA, &body_);
    }

    void makeAll() {
        for (const std::string& address : runAddresses()) {
            const CurlList headers = defaultHeaders(address);
            body_.clear();
            curl_easy_setopt(easy_.get(), CURLOPT_URL, address.c_str());
            curl_easy_setopt(easy_.get(), CURLOPT_HTTPHEADER, headers.get());
            curl_easy_perform(easy_.get());
            curl_easy_setopt(easy_.get(), CURLOPT_HTTPHEADER, nullptr);
            benchmark::DoNotOptimize(body_);
        }
    }

private:
    const std::string agent_{kDefaultAgent};
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy_;
    std::string body_;
};

void sameRequestsOverOneHandle(benchmark::State& state) {
    runAddresses();
    SameRequests requests;
    double cpuSeconds = 0;
    for (auto _ : state) {
        const double start = threadCpuSeconds();
        requests.makeAll();
        cpuSeconds += threadCpuSeconds() - start;
    }
    reportPerRequest(state, cpuSeconds);
}

// Both in turn within every iteration, so that both meet the same load of a shared machine; the
// counters are the ratios of their sums (the target is a wall-time ratio of at most 1.15).
void runAgainstSameRequests(benchmark::State& state) {
    runAddresses();
    SameRequests requests;
    double runWall = 0;
    double runCpu = 0;
    double bareWall = 0;
    double bareCpu = 0;
    for (auto _ : state) {
        auto wallStart = std::chrono::steady_clock::now();
        double cpuStart = threadCpuSeconds();
        benchmark::DoNotOptimize(keywordRun());
        runCpu += threadCpuSeconds() - cpuStart;
        runWall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

        wallStart = std::chrono::steady_clock::now();
        cpuStart = threadCpuSeconds();
        requests.makeAll();
        bareCpu += threadCpuSeconds() - cpuStart;
        bareWall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    }
    const double perRequest = 1e6 / (double(state.iterations()) * double(runAddresses().size()));
    state.counters["wall_ratio"] = runWall / bareWall;
    state.counters["cpu_ratio"] = runCpu / bareCpu;
    state.counters["run_cpu_us_per_request"] = runCpu * perRequest;
    state.counters["bare_cpu_us_per_request"] = bareCpu * perRequest;
}

BENCHMARK(keywordRunOfTenPages)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(sameRequestsOverOneHandle)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(runAgainstSameRequests)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace velmora

BENCHMARK_MAIN();
