#pragma once

#include "TestClient.h"
#include "market/MarketServer.h"

#include <gtest/gtest.h>

namespace velmora::market::test {

/// A simulator on a free loopback port for each test, stopped at the end.
class MarketFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.start()); }
    void TearDown() override { server.stop(); }

    /// The last request the server logged.
    RequestRecord lastRequest() const {
        const auto log = server.requests();
        return log.empty() ? RequestRecord{} : log.back();
    }

    MarketServer server;
    TestClient client;
};

} // namespace velmora::market::test
