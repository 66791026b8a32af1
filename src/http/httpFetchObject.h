#pragma once

#include "http/RequestObject.h"
#include "http/httpFetch.h"
#include "text/Text.h"

#include <string_view>

namespace velmora {

/// The parameters httpFetchObject takes beyond those of httpFetch.
struct HttpFetchObjectOptions {
    int timeoutSeconds = 0;                 ///< -1: the object's own; below 1: 15 s; else seconds
    Text proxyUser;                         ///< used only with a proxy
    Text proxyPassword;                     ///< used only with a proxy
    int proxyCredentialFlags = 1;           ///< 1 = the credentials are for the proxy, 0 = the server
    RequestObject* requestObject = nullptr; ///< given: the caller's object is used (and kept)
};

/// One HTTP exchange over a request object (the caller's, or a new one for this call) with its
/// own cookies: `cookies` (left out counts as "") is sent and always merged with the answer; a
/// `headers` of "" becomes the default block; certificate errors are ignored. Parameters shared
/// with httpFetch mean the same, except that `proxy` is used only when not "" and `bodyBytes`
/// is read only. The body, or empty bytes on failure. Observes the calling thread's cancel token.
Bytes httpFetchObject(std::string_view url, const HttpFetchOptions& options = {},
                      const HttpFetchObjectOptions& objectOptions = {});

} // namespace velmora
