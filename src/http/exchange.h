#pragma once

#include "text/Text.h"

#include <curl/curl.h>

#include <chrono>
#include <vector>

namespace velmora {

/// How long an exchange may go without progress while sending and while receiving; 0 = no limit.
struct IdleLimits {
    std::chrono::milliseconds sending{0};
    std::chrono::milliseconds receiving{0};
};

/// A Set-Cookie header an exchange received, with the address of the request it answered.
struct ResponseCookie {
    Text header;     ///< the header line without its line break
    Text requestUrl; ///< the address that was fetched when it arrived (redirects move it)
};

/// What one exchange brought back.
struct ExchangeResult {
    CURLcode code = CURLE_OK;  ///< libcurl's result for the transfer
    bool cancelled = false;    ///< the run's cancel token ended it (or kept it from starting)
    bool stalled = false;      ///< nothing arrived for longer than the inactivity limit
    bool headersFinal = false; ///< `headerBlock` is complete and belongs to the last response
    Text headerBlock;          ///< status line and header lines, each ended by "\r\n", then "\r\n"
    Bytes body;                ///< the body bytes of the last response read so far
    std::vector<ResponseCookie> setCookies; ///< every Set-Cookie header met, in order, all hops

    /// True when the transfer ran to its end.
    bool completed() const { return code == CURLE_OK && !cancelled && !stalled; }
};

/// True when the run bound to the calling thread has been cancelled.
bool runCancelled();

/// Runs a prepared easy handle on `multi` to its end. Observes the calling thread's cancel token:
/// once it is cancelled the transfer is dropped within one poll interval (20 ms). Installs its own
/// write, header, progress and pre-request callbacks on `easy`. `followsRedirects` tells which
/// header blocks are only a hop on the way.
ExchangeResult runExchange(CURLM* multi, CURL* easy, const IdleLimits& limits, bool followsRedirects);

/// A request target libcurl accepts: bytes it would refuse (controls, space, 8-bit) as %XX.
Text escapeRequestTarget(std::string_view target);

} // namespace velmora
