#include "http/CookieStore.h"

#include "http/headerLines.h"
#include "text/cut.h"
#include "text/letterCase.h"
#include "text/numbers.h"
#include "text/search.h"
#include "text/spaces.h"

#include <algorithm>
#include <ctime>

namespace velmora {

namespace {

constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";

bool holdsLineBreakOrTab(std::string_view text) {
    return text.find_first_of("\t\r\n") != std::string_view::npos;
}

Text withoutLeadingDot(std::string_view domain) {
    return toLowerCase(domain.starts_with('.') ? domain.substr(1) : domain);
}

// The store's own reading of a path for matching: quotes dropped, a path that does not begin
// with "/" read as "/", and "/dir/" the same path as "/dir".
Text comparablePath(std::string_view path) {
    if (path.starts_with('"')) {
        path.remove_prefix(1);
    }
    if (path.ends_with('"')) {
        path.remove_suffix(1);
    }
    if (!path.starts_with('/')) {
        return "";
    }
    if (path.ends_with('/')) {
        path.remove_suffix(1);
    }
    return Text(path);
}

// One line of libcurl's cookie listing: domain, subdomains flag, path, secure flag, expiry,
// name and value, separated by tabs; "#HttpOnly_" in front of the domain marks HttpOnly.
bool parseListingLine(std::string_view line, Cookie& cookie) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) {
            break;
        }
        start = tab + 1;
    }
    if (fields.size() != 7) {
        return false;
    }
    std::string_view domain = fields[0];
    cookie.httpOnly = domain.starts_with(kHttpOnlyPrefix);
    if (cookie.httpOnly) {
        domain.remove_prefix(kHttpOnlyPrefix.size());
    }
    cookie.domain = withoutLeadingDot(domain);
    cookie.includeSubdomains = fields[1] == "TRUE";
    cookie.path = Text(fields[2]);
    cookie.secure = fields[3] == "TRUE";
    cookie.expires = std::strtoll(Text(fields[4]).c_str(), nullptr, 10);
    cookie.name = Text(fields[5]);
    cookie.value = Text(fields[6]);
    return true;
}

Text listingLine(const Cookie& cookie) {
    Text line;
    if (cookie.httpOnly) {
        line += kHttpOnlyPrefix;
    }
    if (cookie.includeSubdomains) {
        line += '.';
    }
    line += withoutLeadingDot(cookie.domain);
    line += cookie.includeSubdomains ? "\tTRUE\t" : "\tFALSE\t";
    line += cookie.path;
    line += cookie.secure ? "\tTRUE\t" : "\tFALSE\t";
    line += intToText(cookie.expires);
    line += '\t';
    line += cookie.name;
    line += '\t';
    line += cookie.value;
    return line;
}

bool isExpired(const Cookie& cookie, std::int64_t now) {
    return cookie.expires != 0 && cookie.expires < now;
}

// Where a Set-Cookie header puts its cookie and whether it deletes it, worked out the way the
// store itself reads the header: the Domain attribute, else the request's host; the Path
// attribute, else the directory of the request's path.
struct SetCookieEffect {
    Cookie key;
    bool deletes = false;
};

bool readSetCookie(const ResponseCookie& received, std::int64_t now, SetCookieEffect& effect) {
    const TextList parts = splitText(headerValue(received.header), ";");
    if (parts.empty() || findText(parts.front(), "=") == -1) {
        return false;
    }
    Cookie& key = effect.key;
    const int equals = findText(parts.front(), "=");
    key.name = trimSpaces(textLeft(parts.front(), equals - 1));

    CurlUrlPtr address(curl_url());
    if (!address || curl_url_set(address.get(), CURLUPART_URL, received.requestUrl.c_str(), 0) != CURLUE_OK) {
        return false;
    }
    char* part = nullptr;
    curl_url_get(address.get(), CURLUPART_HOST, &part, 0);
    const CurlTextPtr host(part);
    part = nullptr;
    curl_url_get(address.get(), CURLUPART_PATH, &part, 0);
    const CurlTextPtr requestPath(part);

    Text domain;
    Text path;
    Text maxAge;
    Text expires;
    bool hasMaxAge = false;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const int at = findText(parts[i], "=");
        const Text name = toLowerCase(trimSpaces(at == -1 ? Text(parts[i]) : textLeft(parts[i], at - 1)));
        const Text value =
            at == -1 ? Text() : trimSpaces(textMid(parts[i], at + 1, static_cast<int>(parts[i].size())));
        if (name == "domain") {
            domain = value;
        } else if (name == "path") {
            path = value;
        } else if (name == "max-age") {
            hasMaxAge = true;
            maxAge = value;
        } else if (name == "expires") {
            expires = value;
        }
    }

    key.includeSubdomains = !withoutLeadingDot(domain).empty();
    key.domain = key.includeSubdomains ? withoutLeadingDot(domain) : toLowerCase(host ? host.get() : "");
    if (path.starts_with('/')) {
        key.path = path;
    } else {
        const std::string_view fullPath = requestPath ? requestPath.get() : "/";
        const std::size_t lastSlash = fullPath.rfind('/');
        key.path = lastSlash == std::string_view::npos ? Text("/") : Text(fullPath.substr(0, lastSlash + 1));
    }
    if (hasMaxAge) {
        effect.deletes = textToInt(maxAge) <= 0;
    } else if (!expires.empty()) {
        const time_t when = curl_getdate(expires.c_str(), nullptr);
        effect.deletes = when != -1 && when < now;
    }
    return true;
}

bool sameKey(const Cookie& stored, const Cookie& key) {
    return stored.name == key.name && stored.includeSubdomains == key.includeSubdomains &&
           stored.domain == key.domain && comparablePath(stored.path) == comparablePath(key.path);
}

} // namespace

CookieStore& CookieStore::shared() {
    static CookieStore store;
    return store;
}

CookieStore::CookieStore() {
    ensureCurlGlobal();
    share_.reset(curl_share_init());
    curl_share_setopt(share_.get(), CURLSHOPT_LOCKFUNC, &CookieStore::lockData);
    curl_share_setopt(share_.get(), CURLSHOPT_UNLOCKFUNC, &CookieStore::unlockData);
    curl_share_setopt(share_.get(), CURLSHOPT_USERDATA, this);
    // Cookies: the store itself. Names: one lookup serves every thread. TLS sessions: a thread's
    // first https request may resume another's session. Connections stay unshared: a handle on
    // one thread must never pick up a connection another thread is using.
    curl_share_setopt(share_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_share_setopt(share_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(share_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    easy_.reset(curl_easy_init());
    curl_easy_setopt(easy_.get(), CURLOPT_SHARE, share_.get());
}

CookieStore::~CookieStore() = default;

void CookieStore::lockData(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    // Shared and single access take the same lock: every use of the share is short.
    static_cast<CookieStore*>(self)->dataLocks_[data].lock();
}

void CookieStore::unlockData(CURL*, curl_lock_data data, void* self) {
    static_cast<CookieStore*>(self)->dataLocks_[data].unlock();
}

bool CookieStore::add(const Cookie& cookie) {
    if (cookie.domain.empty() || cookie.name.empty() || !cookie.path.starts_with('/') ||
        holdsLineBreakOrTab(cookie.domain) || holdsLineBreakOrTab(cookie.path) ||
        holdsLineBreakOrTab(cookie.name) || holdsLineBreakOrTab(cookie.value)) {
        return false;
    }
    const Text line = listingLine(cookie);
    std::lock_guard lock(easyMutex_);
    return curl_easy_setopt(easy_.get(), CURLOPT_COOKIELIST, line.c_str()) == CURLE_OK;
}

bool CookieStore::remove(std::string_view domain, std::string_view path, std::string_view name) {
    const Text wanted = withoutLeadingDot(domain);
    bool removed = false;
    for (Cookie cookie : list()) {
        if (cookie.domain == wanted && cookie.path == path && cookie.name == name) {
            // The store has no delete: a cookie added again with an expiry in the past replaces
            // the live one and is dropped at the next lookup; list() never shows it.
            cookie.expires = 1;
            std::lock_guard lock(easyMutex_);
            removed =
                curl_easy_setopt(easy_.get(), CURLOPT_COOKIELIST, listingLine(cookie).c_str()) == CURLE_OK ||
                removed;
        }
    }
    return removed;
}

std::vector<Cookie> CookieStore::list() const {
    curl_slist* lines = nullptr;
    {
        std::lock_guard lock(easyMutex_);
        curl_easy_getinfo(easy_.get(), CURLINFO_COOKIELIST, &lines);
    }
    const CurlListPtr owned(lines);
    const std::int64_t now = std::time(nullptr);
    std::vector<Cookie> cookies;
    for (const curl_slist* line = lines; line != nullptr; line = line->next) {
        Cookie cookie;
        if (parseListingLine(line->data, cookie) && !isExpired(cookie, now)) {
            cookies.push_back(std::move(cookie));
        }
    }
    return cookies;
}

void CookieStore::clear() {
    std::lock_guard lock(easyMutex_);
    curl_easy_setopt(easy_.get(), CURLOPT_COOKIELIST, "ALL");
}

int CookieStore::addListener(Listener listener) {
    std::lock_guard lock(listenersMutex_);
    listeners_.emplace_back(nextListenerId_, std::move(listener));
    return nextListenerId_++;
}

void CookieStore::removeListener(int id) {
    std::lock_guard lock(listenersMutex_);
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void CookieStore::announceResponseCookies(const std::vector<ResponseCookie>& cookies) {
    std::vector<Listener> listeners;
    {
        std::lock_guard lock(listenersMutex_);
        for (const auto& entry : listeners_) {
            listeners.push_back(entry.second);
        }
    }
    if (listeners.empty() || cookies.empty()) {
        return;
    }
    const std::int64_t now = std::time(nullptr);
    const std::vector<Cookie> stored = list();
    for (const ResponseCookie& received : cookies) {
        SetCookieEffect effect;
        if (!readSetCookie(received, now, effect)) {
            continue;
        }
        CookieChange change;
        const auto match = std::find_if(stored.begin(), stored.end(),
                                        [&](const Cookie& cookie) { return sameKey(cookie, effect.key); });
        if (match != stored.end()) {
            change.cookie = *match;
        } else if (effect.deletes) {
            change.kind = CookieChange::Kind::Removed;
            change.cookie = effect.key;
        } else {
            // The store refused the cookie (a domain the host may not set, say): nothing changed.
            continue;
        }
        for (const Listener& listener : listeners) {
            listener(change);
        }
    }
}

} // namespace velmora
