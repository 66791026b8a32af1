#pragma once

#include "http/curlHandles.h"
#include "http/exchange.h"
#include "text/Text.h"

#include <curl/curl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string_view>
#include <vector>

namespace velmora {

/// One cookie as the store holds it.
struct Cookie {
    Text domain;                    ///< host or domain, lower case, without a leading "."
    bool includeSubdomains = false; ///< true: also sent to every host below `domain`
    Text path = "/";
    bool secure = false;
    bool httpOnly = false;
    std::int64_t expires = 0; ///< seconds since the epoch; 0 = ends with the session
    Text name;
    Text value;

    bool operator==(const Cookie&) const = default;
};

/// A change that a response made to the store.
struct CookieChange {
    enum class Kind { Set, Removed };
    Kind kind = Kind::Set;
    Cookie cookie; ///< Set: as the store now holds it; Removed: domain, path and name of the gone one
};

/// The process-wide cookie store of httpFetch: responses set cookies in it and later requests to
/// matching hosts carry them, as a browser does. Safe to use from any thread.
class CookieStore {
public:
    using Listener = std::function<void(const CookieChange&)>;

    /// The one store of the process.
    static CookieStore& shared();

    CookieStore(const CookieStore&) = delete;
    CookieStore& operator=(const CookieStore&) = delete;
    ~CookieStore();

    /// Adds or replaces (same domain, subdomain flag, path and name) a cookie; false when refused.
    bool add(const Cookie& cookie);

    /// Removes the cookies with this domain (a leading "." ignored), path and name; false when none.
    bool remove(std::string_view domain, std::string_view path, std::string_view name);

    /// The live cookies, in the store's order; expired ones are left out.
    std::vector<Cookie> list() const;

    /// Removes every cookie.
    void clear();

    /// Registers a listener for changes that responses make; changes made through add, remove and
    /// clear are not reported. Listeners run on the exchanging thread, after its exchange.
    int addListener(Listener listener);

    /// Unregisters a listener by the number addListener gave.
    void removeListener(int id);

    /// The share handle that exchanges using the store attach to. It shares cookies, the name
    /// cache and TLS sessions, never connections: a connection stays with its thread.
    CURLSH* shareHandle() const { return share_.get(); }

    /// Reports to the listeners what an exchange's Set-Cookie headers did to the store.
    void announceResponseCookies(const std::vector<ResponseCookie>& cookies);

private:
    CookieStore();

    static void lockData(CURL*, curl_lock_data data, curl_lock_access, void* self);
    static void unlockData(CURL*, curl_lock_data data, void* self);

    // One mutex per kind of shared data, so a name lookup never waits for a cookie update.
    std::array<std::mutex, CURL_LOCK_DATA_LAST> dataLocks_;
    CurlSharePtr share_;
    // The store's own handle for add, remove and list; libcurl reaches a share's cookies only
    // through an easy handle attached to it.
    mutable std::mutex easyMutex_;
    CurlEasyPtr easy_;
    mutable std::mutex listenersMutex_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListenerId_ = 1;
};

} // namespace velmora
