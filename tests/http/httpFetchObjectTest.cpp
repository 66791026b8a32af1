#include "LoopbackServer.h"
#include "httpTestSupport.h"

#include "http/httpFetchObject.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace std::chrono_literals;

class HttpFetchObjectTest : public HttpTest {
protected:
    std::string hostLine() const { return "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n"; }

    // Everything after the Host line of the last request.
    std::string linesAfterHost() const {
        const std::string head = server.requests().back().head;
        return head.substr(head.find("\r\n", head.find("Host:")) + 2);
    }

    LoopbackServer server{[](const ReceivedRequest& request) {
        if (request.requestLine().starts_with("GET /moved ")) {
            return httpReply("302 Found", {"Location: /", "Set-Cookie: hop=1; Path=/"}, "moved");
        }
        return httpReply("200 OK", {"Set-Cookie: s=2; Path=/", "X-B: 1"}, "page");
    }};
};

TEST_F(HttpFetchObjectTest, DefaultRequestSetsTheDefaultBlockInOrder) {
    const std::string url = server.url("/p?q=1");
    Text headers;
    Text responseHeaders;
    Text location;
    Text received;
    HttpFetchOptions options;
    options.headers = &headers;
    options.responseHeaders = &responseHeaders;
    options.location = &location;
    options.receivedCookies = &received;

    EXPECT_EQ(httpFetchObject(url, options), "page");

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].head,
              "GET /p?q=1 HTTP/1.1\r\n" + hostLine() + defaultObjectHeaders(url) + "\r\n\r\n");
    EXPECT_EQ(headers, defaultObjectHeaders(url));
    const std::string lines = "Set-Cookie: s=2; Path=/\r\nX-B: 1\r\nContent-Length: 4\r\n\r\n";
    EXPECT_EQ(responseHeaders, lines);
    EXPECT_EQ(location, lines);
    EXPECT_EQ(received, "s=2");
}

TEST_F(HttpFetchObjectTest, HeaderTextIsSetLineByLine) {
    struct Case {
        const char* what;
        std::string cookies;
        std::string headers;
        std::string sent;
    };
    const Case cases[] = {
        {"a single line is the only header", "", "X-Only :  1 ", "X-Only: 1\r\n"},
        {"empty lines are skipped", "", "\r\nA: 1\r\n\r\nB: 2\r\n", "A: 1\r\nB: 2\r\n"},
        {"a line without a name is refused", "", "A: 1\r\nnameless\r\n: v", "A: 1\r\n"},
        {"an empty value still goes out", "", "A:\r\nB: 2", "A:\r\nB: 2\r\n"},
        {"the cookie header comes first", "a=1; b=2", "X: 1\r\nCookie: z=9",
         "Cookie: a=1; b=2\r\nX: 1\r\nCookie: z=9\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Text cookies = c.cookies;
        Text headers = c.headers;
        HttpFetchOptions options;
        options.cookies = &cookies;
        options.headers = &headers;
        httpFetchObject(server.url("/"), options);
        EXPECT_EQ(linesAfterHost(), c.sent + "\r\n");
        EXPECT_EQ(headers, c.headers);
    }
}

TEST_F(HttpFetchObjectTest, CookiesAreAlwaysMergedAndNeverStored) {
    Cookie stored;
    stored.domain = "127.0.0.1";
    stored.name = "store";
    stored.value = "1";
    ASSERT_TRUE(CookieStore::shared().add(stored));

    Text cookies = "a=1;  s=old";
    Text received;
    HttpFetchOptions options;
    options.cookies = &cookies;
    options.receivedCookies = &received;
    httpFetchObject(server.url("/"), options);
    EXPECT_EQ(cookies, "s=2; a=1");
    EXPECT_EQ(received, "s=2");

    httpFetchObject(server.url("/"));
    EXPECT_EQ(server.requests().back().head.find("Cookie"), std::string::npos);
    EXPECT_EQ(CookieStore::shared().list(), std::vector<Cookie>{stored});
}

TEST_F(HttpFetchObjectTest, TheBodyGoesOutWhateverTheVerb) {
    struct Case {
        const char* what;
        int method;
        std::string bodyText;
        Bytes bodyBytes;
        std::string requestLine;
        std::string body;
    };
    const Case cases[] = {
        {"text with GET", 0, "q=1", "", "GET / HTTP/1.1", "q=1"},
        {"bytes before text", 1, "text", std::string("b\0b", 3), "POST / HTTP/1.1", std::string("b\0b", 3)},
        {"no body with GET", 0, "", "", "GET / HTTP/1.1", ""},
        {"an empty POST", 1, "", "", "POST / HTTP/1.1", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bodyBytes = c.bodyBytes;
        HttpFetchOptions options;
        options.method = c.method;
        options.bodyText = c.bodyText;
        options.bodyBytes = &bodyBytes;
        httpFetchObject(server.url("/"), options);
        const ReceivedRequest request = server.requests().back();
        EXPECT_EQ(request.requestLine(), c.requestLine);
        EXPECT_EQ(request.body, c.body);
        EXPECT_EQ(request.head.find("Content-Length") != std::string::npos, c.method == 1 || !c.body.empty());
        EXPECT_EQ(bodyBytes, c.bodyBytes);
    }
}

TEST_F(HttpFetchObjectTest, RedirectsAreFollowedUnlessSwitchedOff) {
    Text location;
    HttpFetchOptions options;
    options.location = &location;
    EXPECT_EQ(httpFetchObject(server.url("/moved"), options), "page");
    EXPECT_EQ(server.requests().size(), 2u);

    location.clear();
    options.noRedirect = true;
    EXPECT_EQ(httpFetchObject(server.url("/moved"), options), "moved");
    EXPECT_EQ(server.requests().size(), 3u);
    EXPECT_EQ(location, "/");

    // Switching redirects off is a setting of the object: it stays off for its later exchanges.
    RequestObject object;
    HttpFetchObjectOptions objectOptions;
    objectOptions.requestObject = &object;
    httpFetchObject(server.url("/moved"), options, objectOptions);
    options.noRedirect = false;
    EXPECT_EQ(httpFetchObject(server.url("/moved"), options, objectOptions), "moved");
}

TEST_F(HttpFetchObjectTest, TimeoutsFollowTheSecondsRule) {
    struct Case {
        int seconds;
        int ms;
    };
    const Case cases[] = {{3, 3000}, {0, 15000}, {-5, 15000}, {1, 1000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        RequestObject object;
        HttpFetchObjectOptions objectOptions;
        objectOptions.timeoutSeconds = c.seconds;
        objectOptions.requestObject = &object;
        httpFetchObject(server.url("/"), {}, objectOptions);
        EXPECT_EQ(object.timeouts(), (RequestTimeouts{c.ms, c.ms, c.ms, c.ms}));

        // -1 leaves the object's time-outs as they are.
        objectOptions.timeoutSeconds = -1;
        httpFetchObject(server.url("/"), {}, objectOptions);
        EXPECT_EQ(object.timeouts(), (RequestTimeouts{c.ms, c.ms, c.ms, c.ms}));
    }
    RequestObject fresh;
    HttpFetchObjectOptions objectOptions;
    objectOptions.timeoutSeconds = -1;
    objectOptions.requestObject = &fresh;
    httpFetchObject(server.url("/"), {}, objectOptions);
    EXPECT_EQ(fresh.timeouts(), RequestTimeouts{});
}

TEST_F(HttpFetchObjectTest, AGivenObjectKeepsItsConnectionANewOneEachCallDoesNot) {
    RequestObject object;
    HttpFetchObjectOptions objectOptions;
    objectOptions.requestObject = &object;
    httpFetchObject(server.url("/"), {}, objectOptions);
    httpFetchObject(server.url("/"), {}, objectOptions);
    EXPECT_EQ(server.connections(), 1);

    httpFetchObject(server.url("/"));
    httpFetchObject(server.url("/"));
    EXPECT_EQ(server.connections(), 3);
}

TEST_F(HttpFetchObjectTest, ProxyAndCredentialsAreUsedOnlyWithAProxy) {
    RequestObject object;
    HttpFetchOptions options;
    options.proxy = "";
    HttpFetchObjectOptions objectOptions;
    objectOptions.proxyUser = "user";
    objectOptions.proxyPassword = "secret";
    objectOptions.requestObject = &object;
    EXPECT_EQ(httpFetchObject(server.url("/"), options, objectOptions), "page");
    EXPECT_EQ(object.proxy(), "");
    EXPECT_EQ(object.proxyUser(), "");

    LoopbackServer proxy([](const ReceivedRequest& request) {
        if (request.head.find("Proxy-Authorization: ") == std::string::npos) {
            return httpReply("407 Proxy Authentication Required", {"Proxy-Authenticate: Basic realm=\"p\""},
                             "");
        }
        return httpReply("200 OK", {}, "proxied");
    });
    options.proxy = "127.0.0.1:" + std::to_string(proxy.port());
    EXPECT_EQ(httpFetchObject("http://far.localhost/x", options, objectOptions), "proxied");
    const auto requests = proxy.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].requestLine(), "GET http://far.localhost/x HTTP/1.1");
    // "user:secret" in Base64.
    EXPECT_NE(requests[1].head.find("\r\nProxy-Authorization: Basic dXNlcjpzZWNyZXQ=\r\n"),
              std::string::npos);
}

TEST_F(HttpFetchObjectTest, CertificateErrorsDoNotStopTheExchange) {
    // Self-signed, expired and issued for another name.
    LoopbackServer untrusted([](const ReceivedRequest&) { return httpReply("200 OK", {}, "over tls"); },
                             ServerOptions{.greeting = "", .tls = true});
    EXPECT_EQ(httpFetchObject(untrusted.url("/")), "over tls");
    EXPECT_EQ(untrusted.requests().size(), 1u);
}

TEST_F(HttpFetchObjectTest, AFailedSendLeavesEmptyOutputsAndNormalisedCookies) {
    const RefusingPort refusing;
    const LoopbackServer silent([](const ReceivedRequest&) { return Reply{"", Reply::Then::Stall}; });
    struct Case {
        const char* what;
        std::string url;
        int timeoutSeconds;
    };
    const Case cases[] = {
        {"connection refused", "http://127.0.0.1:" + std::to_string(refusing.port()) + "/", 0},
        {"a server that never answers", silent.url("/"), 1},
        {"no scheme cannot be opened", "127.0.0.1:" + std::to_string(server.port()) + "/", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Text cookies = "a=1;  b=2; a=1";
        Text received = "stale";
        Text location;
        Text responseHeaders = "stale";
        Text headers;
        HttpFetchOptions options;
        options.cookies = &cookies;
        options.receivedCookies = &received;
        options.location = &location;
        options.responseHeaders = &responseHeaders;
        options.headers = &headers;
        HttpFetchObjectOptions objectOptions;
        objectOptions.timeoutSeconds = c.timeoutSeconds;
        EXPECT_EQ(httpFetchObject(c.url, options, objectOptions), "");
        EXPECT_EQ(cookies, "a=1; b=2");
        EXPECT_EQ(received, "");
        EXPECT_EQ(location, "");
        EXPECT_EQ(responseHeaders, "");
        EXPECT_EQ(headers, defaultObjectHeaders(c.url));
    }
    EXPECT_EQ(server.requests().size(), 0u);
}

} // namespace
} // namespace velmora
