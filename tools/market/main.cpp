// velmora-market: the marketplace simulator as a program, for demos and benchmarks.

#include "market/MarketServer.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

using velmora::market::FaultRule;
using velmora::market::MarketServer;
using velmora::market::RequestRecord;

namespace {

void printUsage() {
    std::cerr << "usage: velmora-market [--port N] [--domain D] [--fault SPEC]...\n"
                 "  --port N      port on 127.0.0.1 (default 8123; 0 picks a free one)\n"
                 "  --domain D    market domain, name with or without port (default market.localhost)\n"
                 "  --fault SPEC  FAULT[,kind=KIND][,host=PREFIX][,path=PREFIX][,first=N][,count=N|always]\n"
                 "                [,delay=MS][,drip=MS][,bytes=N]   (see tools/market/README.md)\n";
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);)
        parts.push_back(part);
    return parts;
}

bool parseFault(const std::string& spec, FaultRule& rule) {
    const std::vector<std::string> parts = split(spec, ',');
    if (parts.empty())
        return false;
    const auto type = velmora::market::faultFromName(parts[0]);
    if (!type)
        return false;
    rule.type = *type;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::size_t equals = parts[i].find('=');
        if (equals == std::string::npos)
            return false;
        const std::string key = parts[i].substr(0, equals);
        const std::string value = parts[i].substr(equals + 1);
        if (key == "kind") {
            rule.kind = velmora::market::kindFromName(value);
            if (!rule.kind)
                return false;
        } else if (key == "host") {
            rule.host = value;
        } else if (key == "path") {
            rule.pathPrefix = value;
        } else if (key == "first") {
            rule.firstRequest = std::atoi(value.c_str());
        } else if (key == "count") {
            rule.count = value == "always" ? FaultRule::always : std::atoi(value.c_str());
        } else if (key == "delay") {
            rule.delayMs = std::atoi(value.c_str());
        } else if (key == "drip") {
            rule.dripIntervalMs = std::atoi(value.c_str());
        } else if (key == "bytes") {
            rule.hugeBytes = rule.headerBytes = std::strtoull(value.c_str(), nullptr, 10);
        } else {
            return false;
        }
    }
    return true;
}

std::string clockText() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm parts{};
    localtime_r(&seconds, &parts);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", parts.tm_hour, parts.tm_min, parts.tm_sec,
                  static_cast<int>(millis));
    return text;
}

} // namespace

int main(int argc, char** argv) {
    int port = 8123;
    std::string domain = "market.localhost";
    std::vector<FaultRule> faults;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--port" && hasValue) {
            port = std::atoi(argv[++i]);
        } else if (argument == "--domain" && hasValue) {
            domain = argv[++i];
        } else if (argument == "--fault" && hasValue) {
            FaultRule rule;
            if (!parseFault(argv[++i], rule)) {
                std::cerr << "velmora-market: bad fault: " << argv[i] << "\n";
                return 2;
            }
            faults.push_back(rule);
        } else {
            printUsage();
            return argument == "--help" ? 0 : 2;
        }
    }
    if (port < 0 || port > 65535) {
        printUsage();
        return 2;
    }

    // Block the stop signals before any thread starts, so that only sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    MarketServer server(domain);
    for (const FaultRule& rule : faults)
        server.addFault(rule);
    std::mutex outputMutex;
    server.setRequestObserver([&outputMutex](const RequestRecord& record) {
        std::string line = clockText() + " #" + std::to_string(record.number) + " c" +
                           std::to_string(record.connection) + " " + record.method + " " + record.host + " " +
                           record.target + " -> " + std::to_string(record.status) + " " +
                           std::to_string(record.bodyBytes) + "B " + velmora::market::kindName(record.kind);
        if (record.fault)
            line += std::string(" fault=") + velmora::market::faultName(*record.fault);
        std::lock_guard lock(outputMutex);
        std::cout << line << std::endl;
    });
    if (!server.start(static_cast<std::uint16_t>(port))) {
        std::cerr << "velmora-market: cannot listen on 127.0.0.1:" << port << "\n";
        return 1;
    }
    {
        std::lock_guard lock(outputMutex);
        std::cout << "velmora-market on 127.0.0.1:" << server.port() << ", domain " << server.domain() << " ("
                  << server.url("www", "/") << ")" << std::endl;
    }
    int received = 0;
    sigwait(&stopSignals, &received);
    server.stop();
    std::lock_guard lock(outputMutex);
    std::cout << "velmora-market stopped" << std::endl;
    return 0;
}
