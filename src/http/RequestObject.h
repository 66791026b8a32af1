#pragma once

#include "http/curlHandles.h"
#include "http/exchange.h"
#include "text/Text.h"

#include <string_view>

namespace velmora {

/// The four time-outs of a request object in milliseconds; 0 = no limit. A fresh object has
/// none for the name lookup, 60 s to connect and 30 s each to send and to receive.
struct RequestTimeouts {
    int resolveMs = 0;
    int connectMs = 60000;
    int sendMs = 30000;
    int receiveMs = 30000;

    bool operator==(const RequestTimeouts&) const = default;
};

/// What one exchange of a request object sends.
struct ObjectRequest {
    Text verb = "GET";
    Text url;
    TextList headerLines; ///< "Name: value" lines in the order they are set
    Bytes body;           ///< sent when not empty, whatever the verb
};

/// A reusable HTTP request object (httpFetchObject): it keeps its time-outs, proxy settings,
/// redirect switch and open connection from one exchange to the next. It has no cookie store;
/// cookies travel only in its callers' headers. Use it on one thread at a time.
class RequestObject {
public:
    RequestObject();

    /// False when libcurl could not give the object its handles; every exchange then fails.
    bool isUsable() const { return easy_ != nullptr && multi_ != nullptr; }

    /// Sets the time-outs of later exchanges.
    void setTimeouts(const RequestTimeouts& timeouts) { timeouts_ = timeouts; }

    /// The time-outs later exchanges use.
    const RequestTimeouts& timeouts() const { return timeouts_; }

    /// Sends later requests by way of an HTTP proxy, host:port.
    void setProxy(std::string_view proxy) { proxy_ = proxy; }

    /// The proxy later requests go through; "" = none.
    const Text& proxy() const { return proxy_; }

    /// Credentials answering a proxy's challenge (flags 1) or a server's (flags 0); false for
    /// other flags, which change nothing.
    bool setCredentials(std::string_view user, std::string_view password, int flags);

    /// The user name set for the proxy; "" when none.
    const Text& proxyUser() const { return proxyUser_; }

    /// Stops later exchanges from following redirects.
    void disableRedirects() { followsRedirects_ = false; }

    /// True until redirects are switched off.
    bool followsRedirects() const { return followsRedirects_; }

    /// Runs one exchange; certificate errors do not stop it. Observes the calling thread's
    /// cancel token.
    ExchangeResult exchange(const ObjectRequest& request);

private:
    CurlMultiPtr multi_; // holds the object's connection between exchanges
    CurlEasyPtr easy_;
    RequestTimeouts timeouts_;
    Text proxy_;
    Text proxyUser_;
    Text proxyPassword_;
    Text serverUser_;
    Text serverPassword_;
    bool followsRedirects_ = true;
};

} // namespace velmora
