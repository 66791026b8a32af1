#include "http/httpFetch.h"

#include "http/CookieStore.h"
#include "http/cookieMerge.h"
#include "http/curlHandles.h"
#include "http/exchange.h"
#include "http/fetchIdleLimit.h"
#include "http/requestHeaders.h"
#include "http/responseScan.h"
#include "http/urlParts.h"
#include "text/bytes.h"
#include "text/numbers.h"
#include "text/search.h"

namespace velmora {

namespace {

// The response header block must fit a buffer of this size with its terminating zero; a longer
// block reads as a failed header query.
constexpr std::size_t kHeaderBufferSize = 5000;
constexpr long kConnectTimeoutSeconds = 60;
constexpr long kMaxRedirects = 20;

// The handles of one thread. Its connections live in the multi handle's pool, so consecutive
// calls on a thread reuse them, and no connection ever serves two threads.
struct FetchSession {
    CurlMultiPtr multi;
    CurlEasyPtr storeEasy; // attached to the process-wide cookie store
    CurlEasyPtr plainEasy; // never has a cookie engine: for callers who carry their own cookies
};

FetchSession* threadSession() {
    thread_local std::unique_ptr<FetchSession> session;
    if (!session) {
        // The store first: it is then destroyed after every thread's handles that attach to it.
        CookieStore::shared();
        auto fresh = std::make_unique<FetchSession>();
        fresh->multi.reset(curl_multi_init());
        fresh->storeEasy.reset(curl_easy_init());
        fresh->plainEasy.reset(curl_easy_init());
        if (!fresh->multi || !fresh->storeEasy || !fresh->plainEasy) {
            return nullptr;
        }
        CURL* store = fresh->storeEasy.get();
        curl_easy_setopt(store, CURLOPT_SHARE, CookieStore::shared().shareHandle());
        // An empty file name switches the cookie engine on without reading any file.
        curl_easy_setopt(store, CURLOPT_COOKIEFILE, "");
        session = std::move(fresh);
    }
    return session.get();
}

// A host the name service could look up; anything else would be sent elsewhere by a URL parser
// (a host that took in a query text, say), so the exchange fails instead, as a lookup would.
bool isPlainHost(std::string_view host) {
    return !host.empty() &&
           host.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789.-_") == std::string_view::npos;
}

// The address as the request goes out: the scheme by the secure test, host and port as split,
// and the path with its query.
Text requestAddress(std::string_view url) {
    Text address = isSecureAddress(url) ? "https://" : "http://";
    address += hostOf(url);
    address += ':';
    address += intToText(portOf(url));
    address += escapeRequestTarget(pathOf(url));
    return address;
}

// The header list in the order of the block. libcurl puts Host first (and its own User-Agent line
// unless the block holds one); the two empty entries keep it from adding Accept or
// "Expect: 100-continue" of its own.
bool headerList(std::string_view block, CurlListPtr& list) {
    for (const Text& line : splitText(block, "\r\n")) {
        if (!line.empty() && !appendLine(list, line.c_str())) {
            return false;
        }
    }
    return appendLine(list, "Accept:") && appendLine(list, "Expect:");
}

// The agent goes out on a single line; a line break in it would start a header of its own.
Text firstLine(const Text& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

ExchangeResult failedSend() {
    ExchangeResult failed;
    failed.code = CURLE_COULDNT_CONNECT;
    return failed;
}

// Sends the completed header block (and, for a POST, the body) to `url` and reads the answer.
ExchangeResult exchange(FetchSession& session, std::string_view url, const HttpFetchOptions& options,
                        const Text& headerBlock, const Text& agent, const Bytes& body) {
    const Text host = hostOf(url);
    if (!isPlainHost(host)) {
        return failedSend();
    }
    CurlListPtr headers;
    if (!headerList(headerBlock, headers)) {
        return failedSend();
    }
    CURL* easy = options.cookies == nullptr ? session.storeEasy.get() : session.plainEasy.get();
    // The handles are never reset: a reset switches the cookie engine off (and leaks libcurl's
    // list of cookie files). Every option a call may change is set on every call instead.
    curl_easy_setopt(easy, CURLOPT_URL, requestAddress(url).c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // A cancelled exchange must not wait for a name lookup still running in its thread.
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, options.noRedirect ? 0L : 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    // An explicit proxy, or explicitly none: the process environment plays no part.
    const bool proxied = options.proxy.has_value() && !options.proxy->empty();
    curl_easy_setopt(easy, CURLOPT_PROXY, proxied ? ("http://" + *options.proxy).c_str() : "");
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, firstLine(agent).c_str());
    if (options.method == 1) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.data());
    } else {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, nullptr);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(-1));
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    const IdleLimits limits{fetchIdleLimit(), fetchIdleLimit()};
    ExchangeResult result = runExchange(session.multi.get(), easy, limits, !options.noRedirect);
    // The list must outlive the transfer; drop libcurl's pointer to it before the list goes.
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
    return result;
}

} // namespace

Bytes httpFetch(std::string_view url, const HttpFetchOptions& options) {
    Text ownHeaders;
    Text ownLocation;
    Text ownReceived;
    Text ownResponseHeaders;
    Bytes ownBodyBytes;
    Text& headers = options.headers != nullptr ? *options.headers : ownHeaders;
    Text& location = options.location != nullptr ? *options.location : ownLocation;
    Text& receivedCookies = options.receivedCookies != nullptr ? *options.receivedCookies : ownReceived;
    Text& responseHeaders =
        options.responseHeaders != nullptr ? *options.responseHeaders : ownResponseHeaders;
    Bytes& bodyBytes = options.bodyBytes != nullptr ? *options.bodyBytes : ownBodyBytes;

    const Text agent = agentFor(headers);
    FetchSession* session = threadSession();
    if (session == nullptr) {
        // Nothing could be opened: the caller's variables stay as they were.
        return {};
    }

    completeRequestHeaders(headers, url, options.cookies != nullptr ? *options.cookies : Text());
    if (options.method == 1 && bodyBytes.empty()) {
        bodyBytes = textToBytes(options.bodyText);
    }

    ExchangeResult result = exchange(*session, url, options, headers, agent, bodyBytes);
    if (options.cookies == nullptr && !result.setCookies.empty()) {
        CookieStore::shared().announceResponseCookies(result.setCookies);
    }

    // A cancelled exchange reads as one whose request could not be sent.
    const bool headersRead = result.headersFinal && !result.cancelled;
    responseHeaders = headersRead && result.headerBlock.size() < kHeaderBufferSize
                          ? result.headerBlock
                          : blankText(static_cast<int>(kHeaderBufferSize));
    scanResponseHeaders(responseHeaders, location, receivedCookies);
    if (options.cookies != nullptr) {
        mergeCookies(*options.cookies, receivedCookies);
    }
    if (location.empty()) {
        location = responseHeaders;
    }
    return headersRead ? std::move(result.body) : Bytes();
}

} // namespace velmora
