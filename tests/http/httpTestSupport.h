#pragma once

#include "http/CookieStore.h"
#include "http/fetchIdleLimit.h"
#include "http/requestHeaders.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace velmora {

/// The default block httpFetch completes for an address, as it goes out after Host and User-Agent.
inline std::string defaultFetchLines(const std::string& url) {
    return "Referer: " + url +
           "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded\r\n";
}

/// What a failed send leaves in the header block and the location: 5000 spaces.
inline const std::string kBlank(5000, ' ');

/// "User-Agent: " and the default agent, as libcurl sends it.
inline std::string defaultAgentLine() {
    return "User-Agent: " + std::string(kDefaultAgent) + "\r\n";
}

/// Shortens httpFetch's inactivity limit for the scope, so a silent server ends an exchange soon.
class ShortIdleLimit {
public:
    explicit ShortIdleLimit(std::chrono::milliseconds limit) : previous_(fetchIdleLimit()) {
        setFetchIdleLimit(limit);
    }
    ~ShortIdleLimit() { setFetchIdleLimit(previous_); }
    ShortIdleLimit(const ShortIdleLimit&) = delete;
    ShortIdleLimit& operator=(const ShortIdleLimit&) = delete;

private:
    std::chrono::milliseconds previous_;
};

/// Every test starts from an empty process-wide cookie store.
class HttpTest : public ::testing::Test {
protected:
    void SetUp() override { CookieStore::shared().clear(); }
    void TearDown() override { CookieStore::shared().clear(); }
};

} // namespace velmora
