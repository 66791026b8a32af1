#pragma once

#include "RecordingView.h"
#include "collectors/Endpoints.h"
#include "collectors/RunContext.h"
#include "collectors/RunSettings.h"
#include "http/CancelToken.h"
#include "market/MarketServer.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmora::test {

/// A simulator on loopback, the settings of a run, a recording view and the run's token.
class CollectorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start());
        endpoints = Endpoints::simulator(server.domain());
    }

    /// Runs a collector on this thread as a worker would, with a short pause between attempts.
    template <typename Collector> RunOutcome run(Collector collector) {
        CancelScope scope(token);
        return collector(RunContext{view, settings, endpoints, std::chrono::milliseconds(1)});
    }

    /// The requests of one kind that reached the simulator, in order.
    std::vector<market::RequestRecord> requestsOf(market::RequestKind kind) const {
        std::vector<market::RequestRecord> found;
        for (auto& request : server.requests()) {
            if (request.kind == kind) {
                found.push_back(request);
            }
        }
        return found;
    }

    market::MarketServer server;
    Endpoints endpoints;
    RunSettings settings;
    RecordingView view;
    std::shared_ptr<CancelToken> token = std::make_shared<CancelToken>();
};

/// The leading digits of a text: what the sales pattern takes from a figure such as "1.2万".
inline std::string leadingDigits(const std::string& text) {
    std::size_t end = 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
        ++end;
    }
    return text.substr(0, end);
}

} // namespace velmora::test
