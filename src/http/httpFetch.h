#pragma once

#include "text/Text.h"

#include <optional>
#include <string_view>

namespace velmora {

/// The optional parameters of httpFetch. Pointers are the caller's in/out variables; a null
/// pointer is a parameter left out. `cookies` and `proxy` tell "given" (even empty) from
/// "not given".
struct HttpFetchOptions {
    int method = 0;                  ///< 0 = GET, 1 = POST with a body
    Text bodyText;                   ///< body when `bodyBytes` is empty
    Text* cookies = nullptr;         ///< given: sent, merged with the answer, store bypassed
    Text* receivedCookies = nullptr; ///< out: name=value parts of the Set-Cookie lines
    Text* headers = nullptr;         ///< in: extra lines; out: the block sent
    Text* location = nullptr;        ///< in/out: redirect target, else the header text
    bool noRedirect = false;         ///< true: redirects are not followed
    Bytes* bodyBytes = nullptr;      ///< in/out: body bytes
    std::optional<Text> proxy;       ///< given: the HTTP proxy, host:port
    Text* responseHeaders = nullptr; ///< out: the raw header block of the final answer
};

/// One HTTP exchange over the process-wide cookie store; the body, or empty bytes on failure.
/// Observes the cancel token bound to the calling thread.
Bytes httpFetch(std::string_view url, const HttpFetchOptions& options = {});

} // namespace velmora
