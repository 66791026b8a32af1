#include "http/httpFetchObject.h"

#include "http/cookieMerge.h"
#include "http/headerLines.h"
#include "http/requestHeaders.h"
#include "http/responseScan.h"
#include "text/search.h"

#include <algorithm>
#include <climits>
#include <memory>

namespace velmora {

namespace {

constexpr int kDefaultTimeoutMs = 15000;

int timeoutMilliseconds(int seconds) {
    if (seconds < 1) {
        return kDefaultTimeoutMs;
    }
    return static_cast<int>(std::min<long long>(static_cast<long long>(seconds) * 1000, INT_MAX));
}

// One "Name: value" line for a header set by name and value; none for a line without a name,
// which the object refuses.
void addHeader(TextList& lines, std::string_view line) {
    const Text name = headerName(line);
    if (name.empty()) {
        return;
    }
    const Text value = headerValue(line);
    // libcurl reads "Name:" as "drop this header"; "Name;" sends it with an empty value.
    lines.push_back(value.empty() ? name + ";" : name + ": " + value);
}

// The lines after the status line: the object reports header lines only.
Text headerLinesOf(const Text& block) {
    const std::size_t end = block.find("\r\n");
    return end == Text::npos ? Text() : block.substr(end + 2);
}

} // namespace

Bytes httpFetchObject(std::string_view url, const HttpFetchOptions& options,
                      const HttpFetchObjectOptions& objectOptions) {
    Text ownCookies;
    Text ownHeaders;
    Text ownLocation;
    Text ownReceived;
    Text ownResponseHeaders;
    Text& cookies = options.cookies != nullptr ? *options.cookies : ownCookies;
    Text& headers = options.headers != nullptr ? *options.headers : ownHeaders;
    Text& location = options.location != nullptr ? *options.location : ownLocation;
    Text& receivedCookies = options.receivedCookies != nullptr ? *options.receivedCookies : ownReceived;
    Text& responseHeaders =
        options.responseHeaders != nullptr ? *options.responseHeaders : ownResponseHeaders;

    std::unique_ptr<RequestObject> ownObject;
    RequestObject* object = objectOptions.requestObject;
    if (object == nullptr) {
        ownObject = std::make_unique<RequestObject>();
        object = ownObject.get();
    }
    if (!object->isUsable()) {
        // No object: the caller's variables stay as they were.
        return {};
    }

    if (objectOptions.timeoutSeconds != -1) {
        const int ms = timeoutMilliseconds(objectOptions.timeoutSeconds);
        object->setTimeouts({ms, ms, ms, ms});
    }
    const Text proxy = options.proxy.value_or(Text());
    if (!proxy.empty()) {
        object->setProxy(proxy);
        if (!objectOptions.proxyUser.empty()) {
            object->setCredentials(objectOptions.proxyUser, objectOptions.proxyPassword,
                                   objectOptions.proxyCredentialFlags);
        }
    }
    if (options.noRedirect) {
        object->disableRedirects();
    }
    if (headers.empty()) {
        headers = defaultObjectHeaders(url);
    }

    ObjectRequest request;
    request.verb = options.method == 1 ? "POST" : "GET";
    request.url = Text(url);
    // The cookie header comes before every other header.
    if (!cookies.empty()) {
        request.headerLines.push_back("Cookie: " + cookies);
    }
    if (findText(headers, "\r\n") == -1) {
        addHeader(request.headerLines, headers);
    } else {
        for (const Text& line : splitText(headers, "\r\n")) {
            if (!line.empty()) {
                addHeader(request.headerLines, line);
            }
        }
    }
    request.body =
        options.bodyBytes != nullptr && !options.bodyBytes->empty() ? *options.bodyBytes : options.bodyText;

    ExchangeResult result = object->exchange(request);
    // Any failure, a time-out or a cancellation included, leaves no answer at all.
    const bool answered = result.completed() && result.headersFinal;
    responseHeaders = answered ? headerLinesOf(result.headerBlock) : Text();
    scanResponseHeaders(responseHeaders, location, receivedCookies);
    mergeCookies(cookies, receivedCookies);
    if (location.empty()) {
        location = responseHeaders;
    }
    return answered ? std::move(result.body) : Bytes();
}

} // namespace velmora
