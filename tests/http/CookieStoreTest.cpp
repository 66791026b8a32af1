#include "LoopbackServer.h"
#include "httpTestSupport.h"

#include "http/CookieStore.h"
#include "http/httpFetch.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

namespace velmora {
namespace {

// A server that sets the cookie lines named in the query of "/set?..." (one per "&"-separated
// item; the request carries ";" as "%3B" and a space as "%20") and answers everything else with
// an empty page.
Reply cookieSetter(const ReceivedRequest& request) {
    const std::string line = request.requestLine();
    std::vector<std::string> lines;
    const std::size_t query = line.find("/set?");
    if (query != std::string::npos) {
        std::string items = line.substr(query + 5, line.rfind(' ') - query - 5);
        for (const auto& [escaped, plain] : {std::pair{"%3B", ";"}, std::pair{"%20", " "}}) {
            for (std::size_t at; (at = items.find(escaped)) != std::string::npos;) {
                items.replace(at, 3, plain);
            }
        }
        for (std::size_t start = 0; start <= items.size();) {
            const std::size_t end = std::min(items.find('&', start), items.size());
            lines.push_back("Set-Cookie: " + items.substr(start, end - start));
            start = end + 1;
        }
    }
    return httpReply("200 OK", lines, "");
}

std::string cookieLineOf(const ReceivedRequest& request) {
    const std::size_t at = request.head.find("\r\nCookie: ");
    if (at == std::string::npos) {
        return "";
    }
    return request.head.substr(at + 10, request.head.find("\r\n", at + 2) - at - 10);
}

class CookieStoreTest : public HttpTest {
protected:
    // Fetches `target` from `host` and gives the Cookie header the request carried ("" for none).
    std::string cookiesSentTo(std::string_view host, std::string_view target = "/") {
        httpFetch(server.url(target, host));
        return cookieLineOf(server.requests().back());
    }

    LoopbackServer server{cookieSetter};
};

TEST_F(CookieStoreTest, ResponseCookiesGoBackToTheirHostOnly) {
    cookiesSentTo("shop.localhost", "/set?sid=abc%3B Path=/");
    EXPECT_EQ(cookiesSentTo("shop.localhost"), "sid=abc");
    EXPECT_EQ(cookiesSentTo("a.shop.localhost"), "");
    EXPECT_EQ(cookiesSentTo("other.localhost"), "");
}

TEST_F(CookieStoreTest, DomainCookiesReachSubdomains) {
    cookiesSentTo("shop.localhost", "/set?d=1%3B Domain=shop.localhost%3B Path=/");
    EXPECT_EQ(cookiesSentTo("a.shop.localhost"), "d=1");
    EXPECT_EQ(cookiesSentTo("shop.localhost"), "d=1");
    EXPECT_EQ(cookiesSentTo("other.localhost"), "");
}

TEST_F(CookieStoreTest, PathAndDeletionAreHonoured) {
    cookiesSentTo("shop.localhost", "/set?p=1%3B Path=/only");
    EXPECT_EQ(cookiesSentTo("shop.localhost", "/elsewhere"), "");
    EXPECT_EQ(cookiesSentTo("shop.localhost", "/only/page"), "p=1");
    cookiesSentTo("shop.localhost", "/set?p=deleted%3B Path=/only%3B Max-Age=0");
    EXPECT_EQ(cookiesSentTo("shop.localhost", "/only/page"), "");
    EXPECT_TRUE(CookieStore::shared().list().empty());
}

TEST_F(CookieStoreTest, CallsGivenCookiesNeitherReadNorWriteTheStore) {
    cookiesSentTo("shop.localhost", "/set?sid=abc%3B Path=/");
    Text cookies = "mine=1";
    HttpFetchOptions options;
    options.cookies = &cookies;
    httpFetch(server.url("/set?extra=2%3B Path=/", "shop.localhost"), options);
    EXPECT_EQ(cookieLineOf(server.requests().back()), "mine=1");
    EXPECT_EQ(cookies, "extra=2; mine=1");
    EXPECT_EQ(cookiesSentTo("shop.localhost"), "sid=abc");
}

TEST_F(CookieStoreTest, AddListRemoveRoundTrip) {
    CookieStore& store = CookieStore::shared();
    Cookie cookie;
    cookie.domain = "shop.localhost";
    cookie.includeSubdomains = true;
    cookie.path = "/";
    cookie.httpOnly = true;
    cookie.expires = 4102444800; // 2100-01-01
    cookie.name = "login";
    cookie.value = "token";
    Cookie session = cookie;
    session.includeSubdomains = false;
    session.httpOnly = false;
    session.expires = 0;
    session.name = "s";
    session.value = "";

    ASSERT_TRUE(store.add(cookie));
    ASSERT_TRUE(store.add(session));
    EXPECT_EQ(store.list(), (std::vector<Cookie>{cookie, session}));
    EXPECT_EQ(cookiesSentTo("a.shop.localhost"), "login=token");
    EXPECT_EQ(cookiesSentTo("shop.localhost"), "login=token; s=");

    cookie.value = "renewed";
    ASSERT_TRUE(store.add(cookie));
    EXPECT_EQ(store.list(), (std::vector<Cookie>{cookie, session}));

    EXPECT_TRUE(store.remove(".shop.localhost", "/", "login"));
    EXPECT_FALSE(store.remove("shop.localhost", "/", "login"));
    EXPECT_EQ(store.list(), std::vector<Cookie>{session});
    EXPECT_EQ(cookiesSentTo("shop.localhost"), "s=");

    store.clear();
    EXPECT_TRUE(store.list().empty());
}

TEST_F(CookieStoreTest, AddRefusesWhatTheStoreCannotHold) {
    Cookie valid;
    valid.domain = "shop.localhost";
    valid.name = "n";
    struct Case {
        const char* what;
        Cookie cookie;
    };
    Case cases[] = {{"no name", valid},
                    {"no domain", valid},
                    {"a tab in the value", valid},
                    {"a line break in the name", valid},
                    {"a relative path", valid}};
    cases[0].cookie.name = "";
    cases[1].cookie.domain = "";
    cases[2].cookie.value = "a\tb";
    cases[3].cookie.name = "n\r\nX: 1";
    cases[4].cookie.path = "rel";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(CookieStore::shared().add(c.cookie));
    }
    EXPECT_TRUE(CookieStore::shared().list().empty());
}

TEST_F(CookieStoreTest, ListenersHearResponseChangesButNotTheirOwn) {
    CookieStore& store = CookieStore::shared();
    std::vector<CookieChange> changes;
    const int id = store.addListener([&](const CookieChange& change) { changes.push_back(change); });
    Cookie added;
    added.domain = "shop.localhost";
    added.name = "bridge";
    added.value = "1";
    store.add(added);
    store.remove("shop.localhost", "/", "bridge");
    EXPECT_TRUE(changes.empty());

    // A refused cookie (a domain this host may not set) changes nothing and is not reported.
    cookiesSentTo("shop.localhost", "/set?a=1%3B Path=/&d=2%3B Domain=.shop.localhost%3B Path=/x/&no=3%3B "
                                    "Domain=other.localhost");
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].kind, CookieChange::Kind::Set);
    EXPECT_EQ(changes[0].cookie.domain, "shop.localhost");
    EXPECT_FALSE(changes[0].cookie.includeSubdomains);
    EXPECT_EQ(changes[0].cookie.path, "/");
    EXPECT_EQ(changes[0].cookie.name, "a");
    EXPECT_EQ(changes[0].cookie.value, "1");
    EXPECT_EQ(changes[1].kind, CookieChange::Kind::Set);
    EXPECT_EQ(changes[1].cookie.domain, "shop.localhost");
    EXPECT_TRUE(changes[1].cookie.includeSubdomains);
    EXPECT_EQ(changes[1].cookie.path, "/x/");

    // A cookie without a Path attribute belongs to the directory of the request's path.
    changes.clear();
    cookiesSentTo("a.shop.localhost", "/dir/set?dflt=4");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].cookie.domain, "a.shop.localhost");
    EXPECT_EQ(changes[0].cookie.path, "/dir/");

    changes.clear();
    cookiesSentTo("shop.localhost", "/set?a=gone%3B Path=/%3B Expires=Thu, 01 Jan 1970 00:00:01 GMT");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].kind, CookieChange::Kind::Removed);
    EXPECT_EQ(changes[0].cookie.domain, "shop.localhost");
    EXPECT_EQ(changes[0].cookie.path, "/");
    EXPECT_EQ(changes[0].cookie.name, "a");

    store.removeListener(id);
    changes.clear();
    cookiesSentTo("shop.localhost", "/set?late=1");
    EXPECT_TRUE(changes.empty());
}

TEST_F(CookieStoreTest, ThreadsShareTheStoreSafely) {
    constexpr int kThreads = 4;
    constexpr int kFetches = 10;
    std::mutex mutex;
    int heard = 0;
    const int id = CookieStore::shared().addListener([&](const CookieChange&) {
        std::lock_guard lock(mutex);
        ++heard;
    });
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kFetches; ++i) {
                httpFetch(server.url("/set?t" + std::to_string(t) + "i" + std::to_string(i) + "=1%3B Path=/",
                                     "shop.localhost"));
                CookieStore::shared().list();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    CookieStore::shared().removeListener(id);
    EXPECT_EQ(CookieStore::shared().list().size(), static_cast<std::size_t>(kThreads * kFetches));
    EXPECT_EQ(heard, kThreads * kFetches);
}

} // namespace
} // namespace velmora
