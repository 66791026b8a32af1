#pragma once

#include <curl/curl.h>

#include <memory>
#include <string>
#include <vector>

namespace velmora::market::test {

/// What one exchange brought back.
struct Fetched {
    CURLcode code = CURLE_OK;
    long status = 0;
    std::string body;
    std::string headers; ///< the raw header blocks received, as sent
    long headerBytes = 0;
    long redirects = 0;
};

/// Per-request settings.
struct FetchOptions {
    long timeoutMs = 10'000;
    bool followRedirects = false;
    long maxRedirects = 10;
    std::vector<std::string> headers{}; ///< extra "Name: value" lines
    const std::string* postBody = nullptr;
};

/// A libcurl client with one easy handle, so connections are reused and cookies kept between requests.
class TestClient {
public:
    TestClient();

    /// One exchange with the address.
    Fetched fetch(const std::string& url, const FetchOptions& options = {});

    /// The cookies the client holds, in Netscape format lines.
    std::vector<std::string> cookies();

private:
    struct Cleanup {
        void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    };
    std::unique_ptr<CURL, Cleanup> handle_;
};

} // namespace velmora::market::test
