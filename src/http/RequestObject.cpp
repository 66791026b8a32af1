#include "http/RequestObject.h"

#include <algorithm>
#include <chrono>

namespace velmora {

namespace {

// The object follows at most this many redirects in one exchange.
constexpr long kMaxRedirects = 10;

bool isHttpAddress(std::string_view url) {
    const auto startsWith = [url](std::string_view scheme) {
        return url.size() >= scheme.size() && curl_strnequal(url.data(), scheme.data(), scheme.size()) != 0;
    };
    return startsWith("http://") || startsWith("https://");
}

} // namespace

RequestObject::RequestObject() {
    ensureCurlGlobal();
    multi_.reset(curl_multi_init());
    easy_.reset(curl_easy_init());
}

bool RequestObject::setCredentials(std::string_view user, std::string_view password, int flags) {
    if (flags == 1) {
        proxyUser_ = user;
        proxyPassword_ = password;
        return true;
    }
    if (flags == 0) {
        serverUser_ = user;
        serverPassword_ = password;
        return true;
    }
    return false;
}

ExchangeResult RequestObject::exchange(const ObjectRequest& request) {
    ExchangeResult failed;
    failed.code = CURLE_URL_MALFORMAT;
    // The object opens only absolute http and https addresses.
    if (!isUsable() || !isHttpAddress(request.url)) {
        return failed;
    }
    CurlListPtr headers;
    for (const Text& line : request.headerLines) {
        if (!appendLine(headers, line.c_str())) {
            return failed;
        }
    }
    // Only the lines set go out (libcurl adds Host, and Content-Length for a body).
    if (!appendLine(headers, "Accept:") || !appendLine(headers, "Expect:")) {
        return failed;
    }

    CURL* easy = easy_.get();
    curl_easy_reset(easy);
    curl_easy_setopt(easy, CURLOPT_URL, escapeRequestTarget(request.url).c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, followsRedirects_ ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    // libcurl bounds the lookup and the connect together: the two limits add up, and either
    // being unlimited leaves the other alone.
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(std::max(timeouts_.resolveMs, 0)) + std::max(timeouts_.connectMs, 0));
    // Certificate errors of every kind are ignored: unknown issuer, wrong usage, name mismatch
    // and expiry included.
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(easy, CURLOPT_PROXY, proxy_.empty() ? "" : ("http://" + proxy_).c_str());
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    // Credentials answer a challenge; nothing is sent before one arrives.
    if (!proxy_.empty() && !proxyUser_.empty()) {
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxyUser_.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxyPassword_.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYAUTH, CURLAUTH_ANY);
    }
    if (!serverUser_.empty()) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, serverUser_.c_str());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, serverPassword_.c_str());
        curl_easy_setopt(easy, CURLOPT_HTTPAUTH, CURLAUTH_ANY);
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
    if (request.verb == "POST" || !request.body.empty()) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        if (request.verb != "POST") {
            // A body goes out with any verb.
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
        }
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    const IdleLimits limits{std::chrono::milliseconds(std::max(timeouts_.sendMs, 0)),
                            std::chrono::milliseconds(std::max(timeouts_.receiveMs, 0))};
    ExchangeResult result = runExchange(multi_.get(), easy, limits, followsRedirects_);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
    return result;
}

} // namespace velmora
