#include "http/requestHeaders.h"
#include "http/responseScan.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

const std::string kDefault(kDefaultAgent);

TEST(RequestAgent, IsTheCallersUserAgentValueElseTheDefault) {
    struct Case {
        const char* headers;
        std::string agent;
    };
    const Case cases[] = {
        {"", kDefault},
        {"Referer: x", kDefault},
        {"User-Agent: Mine/1.0", "Mine/1.0"},
        {"user-agent:   Mine/2.0  ", "Mine/2.0"},
        {"USER-AGENT: Caps\r\nReferer: x", "Caps"},
        {"Referer: x\r\nUser-Agent: Later\r\nAccept: */*", "Later"},
        // The User-Agent line last: no line break follows, so the value after the first colon of
        // the whole text is taken.
        {"Referer: x\r\nUser-Agent: Last", "x\r\nUser-Agent: Last"},
        {"X-User-Agent: inner", "inner"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.headers);
        EXPECT_EQ(agentFor(c.headers), c.agent);
    }
}

TEST(RequestHeaderBlock, AddsWhatIsMissingInFixedOrder) {
    const std::string url = "http://h.example/p?q=1";
    const std::string tail =
        "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded";
    struct Case {
        const char* what;
        std::string headers;
        std::string cookies;
        std::string block;
    };
    const Case cases[] = {
        {"defaults only", "", "", "Referer: " + url + tail},
        {"X-Referer counts as a Referer", "X-Referer: r", "", "X-Referer: r" + tail},
        {"a lower-case referer does not count", "referer: r", "", "referer: r\r\nReferer: " + url + tail},
        {"empty cookies add no line", "", "", "Referer: " + url + tail},
        {"cookies are appended last", "", "a=1; b=2", "Referer: " + url + tail + "\r\nCookie: a=1; b=2"},
        {"a Cookie line already there gets another", "Cookie: z=9", "a=1",
         "Cookie: z=9\r\nReferer: " + url + tail + "\r\nCookie: a=1"},
        {"everything given adds nothing",
         "Referer: r\r\nAccept: text/html\r\nAccept-Language: en\r\nContent-Type: text/plain", "",
         "Referer: r\r\nAccept: text/html\r\nAccept-Language: en\r\nContent-Type: text/plain"},
        {"a User-Agent line stays", "User-Agent: Mine", "", "User-Agent: Mine\r\nReferer: " + url + tail},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Text headers = c.headers;
        completeRequestHeaders(headers, url, c.cookies);
        EXPECT_EQ(headers, c.block);
    }
}

TEST(RequestHeaderBlock, ObjectDefaultHasTheAgentBeforeContentType) {
    EXPECT_EQ(defaultObjectHeaders("http://a/b"),
              "Referer: http://a/b\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nUser-Agent: " + kDefault +
                  "\r\nContent-Type: application/x-www-form-urlencoded");
}

TEST(ResponseHeaderScan, TakesLocationAndSetCookieLines) {
    const std::string blank(5000, ' ');
    struct Case {
        const char* what;
        const char* headers;
        const char* locationBefore;
        const char* location;
        const char* received;
    };
    const Case cases[] = {
        {"a redirect", "HTTP/1.1 302 Found\r\nLocation: http://x/y\r\nSet-Cookie: a=1; path=/\r\n\r\n", "",
         "http://x/y", "a=1"},
        {"a later Content-Location wins",
         "HTTP/1.1 302 Found\r\nLocation: /a\r\nContent-Location: /b\r\n\r\n", "", "/b", ""},
        {"no Location keeps the caller's value", "HTTP/1.1 200 OK\r\nA: b\r\n\r\n", "keep", "keep", ""},
        {"a lower-case location line is not read", "HTTP/1.1 302 Found\r\nlocation: /a\r\n\r\n", "", "", ""},
        {"a lower-case set-cookie line is not collected", "HTTP/1.1 200 OK\r\nset-cookie: a=1; p\r\n\r\n", "",
         "", ""},
        {"several cookies in order", "HTTP/1.1 200 OK\r\nSet-Cookie: a=1;\r\nSet-Cookie: b=2; x\r\n\r\n", "",
         "", "a=1; b=2"},
        {"a cookie without ; gives an empty item",
         "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nSet-Cookie: b=2;\r\n", "", "", "; b=2"},
        {"blank headers", blank.c_str(), "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Text location = c.locationBefore;
        Text received = "stale";
        scanResponseHeaders(c.headers, location, received);
        EXPECT_EQ(location, c.location);
        EXPECT_EQ(received, c.received);
    }
}

} // namespace
} // namespace velmora
