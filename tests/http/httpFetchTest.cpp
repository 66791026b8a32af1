#include "LoopbackServer.h"
#include "httpTestSupport.h"

#include "http/httpFetch.h"

#include <gtest/gtest.h>

#include <ostream>

#include <thread>

namespace velmora {
namespace {

using namespace std::chrono_literals;

class HttpFetchTest : public HttpTest {};

TEST_F(HttpFetchTest, DefaultRequestGoesOutExactlyAndTheRawHeaderBlockComesBack) {
    LoopbackServer server([](const ReceivedRequest&) { return httpReply("200 OK", {"X-A: 1"}, "hello"); });
    const std::string url = server.url("/page?q=1&r=%E4");
    Text headers;
    Text location;
    Text received = "stale";
    Text responseHeaders;
    HttpFetchOptions options;
    options.headers = &headers;
    options.location = &location;
    options.receivedCookies = &received;
    options.responseHeaders = &responseHeaders;

    EXPECT_EQ(httpFetch(url, options), "hello");

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].head,
              "GET /page?q=1&r=%E4 HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.port()) + "\r\n" +
                  defaultAgentLine() + defaultFetchLines(url) + "\r\n");
    EXPECT_EQ(requests[0].body, "");
    EXPECT_EQ(headers, "Referer: " + url +
                           "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: "
                           "application/x-www-form-urlencoded");
    const std::string block = "HTTP/1.1 200 OK\r\nX-A: 1\r\nContent-Length: 5\r\n\r\n";
    EXPECT_EQ(responseHeaders, block);
    EXPECT_EQ(location, block);
    EXPECT_EQ(received, "");
}

TEST_F(HttpFetchTest, CallerLinesGoFirstAndAUserAgentLineIsSentOnce) {
    LoopbackServer server([](const ReceivedRequest&) { return httpReply("200 OK", {}, ""); });
    const std::string url = server.url("/");
    struct Case {
        const char* what;
        std::string headers;
        std::string sentLines;
    };
    const std::string tail =
        "Accept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded\r\n";
    const Case cases[] = {
        {"a lower-case user agent replaces the default", "user-agent: Mine/1.0\r\nX-Referer: r",
         "user-agent: Mine/1.0\r\nX-Referer: r\r\n" + tail},
        {"a header containing User-Agent: sets the agent", "X-User-Agent: Other",
         "User-Agent: Other\r\nX-User-Agent: Other\r\nReferer: " + url + "\r\n" + tail},
        {"a trailing line break leaves an empty line, which is skipped", "X-One: 1\r\n",
         defaultAgentLine() + "X-One: 1\r\nReferer: " + url + "\r\n" + tail},
        {"a caller Content-Type stays the only one", "Content-Type: text/plain",
         defaultAgentLine() + "Content-Type: text/plain\r\nReferer: " + url +
             "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Text headers = c.headers;
        HttpFetchOptions options;
        options.headers = &headers;
        httpFetch(url, options);
        const std::string head = server.requests().back().head;
        EXPECT_EQ(head.substr(head.find("\r\n", head.find("Host:")) + 2), c.sentLines + "\r\n");
    }
}

TEST_F(HttpFetchTest, PostSendsTheBodyTextAndHandsItBackAsBytes) {
    LoopbackServer server([](const ReceivedRequest&) { return httpReply("200 OK", {}, "done"); });
    const std::string url = server.url("/form");
    Bytes bodyBytes;
    HttpFetchOptions options;
    options.method = 1;
    options.bodyText = "a=1&b=2";
    options.bodyBytes = &bodyBytes;

    EXPECT_EQ(httpFetch(url, options), "done");

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].head, "POST /form HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
                                    "\r\n" + defaultAgentLine() + defaultFetchLines(url) +
                                    "Content-Length: 7\r\n\r\n");
    EXPECT_EQ(requests[0].body, "a=1&b=2");
    EXPECT_EQ(bodyBytes, "a=1&b=2");
}

TEST_F(HttpFetchTest, PostPrefersBodyBytesAndNeverAsksToContinue) {
    LoopbackServer server([](const ReceivedRequest&) { return httpReply("200 OK", {}, ""); });
    Bytes bodyBytes(3000, 'x');
    bodyBytes[10] = '\0';
    HttpFetchOptions options;
    options.method = 1;
    options.bodyText = "ignored";
    options.bodyBytes = &bodyBytes;

    httpFetch(server.url("/upload"), options);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].body, bodyBytes);
    EXPECT_EQ(requests[0].head.find("Expect:"), std::string::npos);
}

TEST_F(HttpFetchTest, GetSendsNoBody) {
    LoopbackServer server([](const ReceivedRequest&) { return httpReply("200 OK", {}, ""); });
    Bytes bodyBytes;
    HttpFetchOptions options;
    options.method = 2; // anything but 1 is GET
    options.bodyText = "unused";
    options.bodyBytes = &bodyBytes;

    httpFetch(server.url("/"), options);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].head.starts_with("GET / HTTP/1.1\r\n"));
    EXPECT_EQ(requests[0].head.find("Content-Length"), std::string::npos);
    EXPECT_EQ(bodyBytes, "");
}

Reply redirectChain(const ReceivedRequest& request, int port) {
    const std::string line = request.requestLine();
    if (line.starts_with("GET /r1 ")) {
        return httpReply("302 Found", {"Location: /r2", "Set-Cookie: hop=1; Path=/"}, "first hop");
    }
    if (line.starts_with("GET /r2 ")) {
        return httpReply("301 Moved Permanently",
                         {"Location: http://127.0.0.1:" + std::to_string(port) + "/final"}, "second hop");
    }
    return httpReply("200 OK", {"Set-Cookie: end=2; Path=/"}, "the end");
}

TEST_F(HttpFetchTest, RedirectsAreFollowedToTheFinalAnswer) {
    int port = 0;
    LoopbackServer server([&port](const ReceivedRequest& request) { return redirectChain(request, port); });
    port = server.port();
    Text location;
    Text received;
    Text responseHeaders;
    HttpFetchOptions options;
    options.location = &location;
    options.receivedCookies = &received;
    options.responseHeaders = &responseHeaders;

    EXPECT_EQ(httpFetch(server.url("/r1"), options), "the end");

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].requestLine(), "GET /r1 HTTP/1.1");
    EXPECT_EQ(requests[1].requestLine(), "GET /r2 HTTP/1.1");
    EXPECT_EQ(requests[2].requestLine(), "GET /final HTTP/1.1");
    // The cookie of the first hop travels with the later ones through the store.
    EXPECT_NE(requests[2].head.find("\r\nCookie: hop=1\r\n"), std::string::npos);
    const std::string finalBlock =
        "HTTP/1.1 200 OK\r\nSet-Cookie: end=2; Path=/\r\nContent-Length: 7\r\n\r\n";
    EXPECT_EQ(responseHeaders, finalBlock);
    EXPECT_EQ(location, finalBlock);
    EXPECT_EQ(received, "end=2");
}

TEST_F(HttpFetchTest, NoRedirectReturnsTheRedirectAnswerAndItsTarget) {
    int port = 0;
    LoopbackServer server([&port](const ReceivedRequest& request) { return redirectChain(request, port); });
    port = server.port();
    Text location;
    Text received;
    HttpFetchOptions options;
    options.location = &location;
    options.receivedCookies = &received;
    options.noRedirect = true;

    EXPECT_EQ(httpFetch(server.url("/r1"), options), "first hop");

    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(location, "/r2");
    EXPECT_EQ(received, "hop=1");
}

TEST_F(HttpFetchTest, ALaterContentLocationLineOverridesLocation) {
    LoopbackServer server([](const ReceivedRequest&) {
        return httpReply("302 Found", {"Location: /target", "Content-Location: /content"}, "");
    });
    Text location;
    HttpFetchOptions options;
    options.location = &location;
    options.noRedirect = true;

    httpFetch(server.url("/"), options);

    EXPECT_EQ(location, "/content");
}

TEST_F(HttpFetchTest, ErrorStatusBodiesAreReturned) {
    LoopbackServer server(
        [](const ReceivedRequest&) { return httpReply("404 Not Found", {}, "no such page"); });
    EXPECT_EQ(httpFetch(server.url("/missing")), "no such page");
}

TEST_F(HttpFetchTest, GivenCookiesAreSentLastAndMergedWithTheAnswer) {
    LoopbackServer server([](const ReceivedRequest&) {
        return httpReply("200 OK", {"Set-Cookie: b=3; Path=/", "Set-Cookie: c=deleted; Path=/"}, "");
    });
    const std::string url = server.url("/");
    Text cookies = "a=1; b=2";
    Text received;
    HttpFetchOptions options;
    options.cookies = &cookies;
    options.receivedCookies = &received;

    httpFetch(url, options);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].head.ends_with(defaultFetchLines(url) + "Cookie: a=1; b=2\r\n\r\n"));
    EXPECT_EQ(cookies, "b=3; a=1");
    EXPECT_EQ(received, "b=3;c=deleted");
}

TEST_F(HttpFetchTest, CookiesGivenEmptySendNoCookieAndBypassTheStore) {
    LoopbackServer server(
        [](const ReceivedRequest&) { return httpReply("200 OK", {"Set-Cookie: s=new; Path=/"}, ""); });
    Cookie stored;
    stored.domain = "127.0.0.1";
    stored.name = "kept";
    stored.value = "1";
    ASSERT_TRUE(CookieStore::shared().add(stored));
    Text cookies;
    HttpFetchOptions options;
    options.cookies = &cookies;

    httpFetch(server.url("/"), options);

    EXPECT_EQ(server.requests().at(0).head.find("Cookie:"), std::string::npos);
    EXPECT_EQ(cookies, "s=new");
    EXPECT_EQ(CookieStore::shared().list(), std::vector<Cookie>{stored});
}

TEST_F(HttpFetchTest, ProxyGivenCarriesTheRequest) {
    LoopbackServer proxy([](const ReceivedRequest&) { return httpReply("200 OK", {}, "via proxy"); });
    const std::string target = "http://Target.localhost:81/p?x=1";
    HttpFetchOptions options;
    options.proxy = "127.0.0.1:" + std::to_string(proxy.port());

    EXPECT_EQ(httpFetch(target, options), "via proxy");

    const auto requests = proxy.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].head,
              "GET http://target.localhost:81/p?x=1 HTTP/1.1\r\nHost: target.localhost:81\r\n" +
                  defaultAgentLine() + "Proxy-Connection: Keep-Alive\r\n" + defaultFetchLines(target) +
                  "\r\n");
}

TEST_F(HttpFetchTest, ProxyGivenEmptyGoesDirect) {
    LoopbackServer server([](const ReceivedRequest&) { return httpReply("200 OK", {}, "direct"); });
    HttpFetchOptions options;
    options.proxy = "";
    EXPECT_EQ(httpFetch(server.url("/"), options), "direct");
}

TEST_F(HttpFetchTest, AThreadReusesItsConnectionAndNeverSharesIt) {
    LoopbackServer server([](const ReceivedRequest&) { return httpReply("200 OK", {}, "ok"); });
    httpFetch(server.url("/a1"));
    std::thread other([&] { httpFetch(server.url("/b1")); });
    other.join();
    httpFetch(server.url("/a2"));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].connection, requests[2].connection);
    EXPECT_NE(requests[1].connection, requests[0].connection);
}

struct FailureCase {
    const char* what;
    Reply reply;
    const char* target;
    bool headersArrive;
    const char* body;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.what;
}

Reply headerBlockOfSize(std::size_t size) {
    Reply reply = httpReply("200 OK", {"X-Fill: "}, "body");
    const std::size_t blockSize = reply.bytes.find("\r\n\r\n") + 4;
    reply.bytes.insert(reply.bytes.find("X-Fill: ") + 8, size - blockSize, 'f');
    return reply;
}

Reply partial(std::string bytes, Reply::Then then) {
    return Reply{std::move(bytes), then};
}

class HttpFetchFailure : public HttpTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(HttpFetchFailure, GivesTheOutputsOfTheFailure) {
    const FailureCase& c = GetParam();
    SCOPED_TRACE(c.what);
    const ShortIdleLimit idle(300ms);
    LoopbackServer server([&](const ReceivedRequest&) { return c.reply; });
    const std::string url = server.url(c.target);
    Text location;
    Text received = "stale";
    Text responseHeaders;
    Text headers;
    HttpFetchOptions options;
    options.location = &location;
    options.receivedCookies = &received;
    options.responseHeaders = &responseHeaders;
    options.headers = &headers;

    const Bytes body = httpFetch(url, options);

    EXPECT_EQ(body, c.body);
    const std::string block = c.reply.bytes.substr(0, c.reply.bytes.find("\r\n\r\n") + 4);
    EXPECT_EQ(responseHeaders, c.headersArrive ? block : kBlank);
    EXPECT_EQ(location, responseHeaders);
    EXPECT_EQ(received, "");
    EXPECT_EQ(headers, defaultFetchLines(url).substr(0, defaultFetchLines(url).size() - 2));
}

const FailureCase kFailureCases[] = {
    {"accepts and never answers", partial("", Reply::Then::Stall), "/", false, ""},
    {"closes without answering", partial("", Reply::Then::Close), "/", false, ""},
    {"closes in the middle of the body",
     partial("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789", Reply::Then::Close), "/", true,
     "0123456789"},
    {"goes silent in the middle of the body",
     partial("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789", Reply::Then::Stall), "/", true,
     "0123456789"},
    {"goes silent in the middle of the header block",
     partial("HTTP/1.1 200 OK\r\nX-A: 1\r\n", Reply::Then::Stall), "/", false, ""},
    {"a header block of 4999 bytes fits", headerBlockOfSize(4999), "/", true, "body"},
    {"a header block of 5000 bytes does not fit", headerBlockOfSize(5000), "/", false, "body"},
    {"a header block of 9000 bytes does not fit", headerBlockOfSize(9000), "/", false, "body"},
    {"redirects without end", httpReply("302 Found", {"Location: /again"}, ""), "/", false, ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, HttpFetchFailure, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(HttpFetchTest, AnAddressThatCannotBeReachedGivesBlankHeaders) {
    // Greets every connection in plain text, which a TLS handshake cannot take.
    LoopbackServer plain([](const ReceivedRequest&) { return httpReply("200 OK", {}, "plain"); },
                         ServerOptions{"HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n"});
    LoopbackServer untrusted([](const ReceivedRequest&) { return httpReply("200 OK", {}, "secret"); },
                             ServerOptions{.greeting = "", .tls = true});
    const RefusingPort refusing;
    struct Case {
        const char* what;
        std::string url;
    };
    const Case cases[] = {
        {"connection refused", "http://127.0.0.1:" + std::to_string(refusing.port()) + "/x"},
        {"https to a server without TLS", "https://127.0.0.1:" + std::to_string(plain.port()) + "/"},
        {"a certificate that is rejected", untrusted.url("/")},
        {"a host that took in a query text", "http://127.0.0.1?x=1"},
        {"port zero", "http://127.0.0.1:zero/"},
        {"empty address", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Text location;
        Text keptLocation = "caller's";
        Text received = "stale";
        Text responseHeaders;
        HttpFetchOptions options;
        options.location = &location;
        options.receivedCookies = &received;
        options.responseHeaders = &responseHeaders;
        EXPECT_EQ(httpFetch(c.url, options), "");
        EXPECT_EQ(responseHeaders, kBlank);
        EXPECT_EQ(location, kBlank);
        EXPECT_EQ(received, "");

        options.location = &keptLocation;
        httpFetch(c.url, options);
        EXPECT_EQ(keptLocation, "caller's");
    }
    EXPECT_EQ(plain.requests().size(), 0u);
    EXPECT_EQ(untrusted.requests().size(), 0u);
}

} // namespace
} // namespace velmora
