#include "app/CookieBridge.h"

#include <QDateTime>
#include <QUrl>
#include <QWebEngineCookieStore>

#include <algorithm>
#include <mutex>

namespace velmora {

namespace {

Text bytesOf(const QByteArray& bytes) {
    return Text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QByteArray byteArrayOf(const Text& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The address the engine takes a cookie as coming from; a host-only cookie gets its host from it.
QUrl originOf(const Cookie& cookie) {
    QUrl origin;
    origin.setScheme(cookie.secure ? QStringLiteral("https") : QStringLiteral("http"));
    origin.setHost(QString::fromUtf8(byteArrayOf(cookie.domain)));
    origin.setPath(QString::fromUtf8(byteArrayOf(cookie.path)));
    return origin;
}

bool sameKey(const Cookie& a, const Cookie& b) {
    return a.domain == b.domain && a.includeSubdomains == b.includeSubdomains && a.path == b.path &&
           a.name == b.name;
}

} // namespace

// The store calls its listeners on the exchanging threads, also while the bridge is being
// destroyed on the UI thread; the relay tells them under its lock whether the bridge still exists.
struct CookieBridge::Relay {
    std::mutex mutex;
    CookieBridge* bridge = nullptr;
};

Cookie toCookie(const QNetworkCookie& cookie) {
    Cookie result;
    const QString domain = cookie.domain();
    result.includeSubdomains = domain.startsWith(QLatin1Char('.'));
    result.domain = bytesOf((result.includeSubdomains ? domain.mid(1) : domain).toLower().toUtf8());
    result.path = cookie.path().isEmpty() ? Text("/") : bytesOf(cookie.path().toUtf8());
    result.secure = cookie.isSecure();
    result.httpOnly = cookie.isHttpOnly();
    result.expires = cookie.isSessionCookie() ? 0 : cookie.expirationDate().toSecsSinceEpoch();
    result.name = bytesOf(cookie.name());
    result.value = bytesOf(cookie.value());
    return result;
}

QNetworkCookie toNetworkCookie(const Cookie& cookie) {
    QNetworkCookie result(byteArrayOf(cookie.name), byteArrayOf(cookie.value));
    // A Domain attribute always makes a domain cookie; a host-only cookie leaves it out and takes
    // its host from the origin it is set for.
    if (cookie.includeSubdomains) {
        result.setDomain(QLatin1Char('.') + QString::fromUtf8(byteArrayOf(cookie.domain)));
    }
    result.setPath(QString::fromUtf8(byteArrayOf(cookie.path)));
    result.setSecure(cookie.secure);
    result.setHttpOnly(cookie.httpOnly);
    if (cookie.expires != 0) {
        result.setExpirationDate(QDateTime::fromSecsSinceEpoch(cookie.expires, Qt::UTC));
    }
    return result;
}

CookieBridge::CookieBridge(QWebEngineCookieStore& paneCookies, CookieStore& store, QObject* parent)
    : QObject(parent), paneCookies_(paneCookies), store_(store), relay_(std::make_shared<Relay>()) {
    relay_->bridge = this;
    connect(&paneCookies_, &QWebEngineCookieStore::cookieAdded, this, &CookieBridge::paneCookieAdded);
    connect(&paneCookies_, &QWebEngineCookieStore::cookieRemoved, this, &CookieBridge::paneCookieRemoved);
    listenerId_ = store_.addListener([relay = relay_](const CookieChange& change) {
        std::lock_guard lock(relay->mutex);
        if (relay->bridge != nullptr) {
            QMetaObject::invokeMethod(
                relay->bridge, [bridge = relay->bridge, change] { bridge->storeChanged(change); },
                Qt::QueuedConnection);
        }
    });
    for (const Cookie& cookie : store_.list()) {
        paneCookies_.setCookie(toNetworkCookie(cookie), originOf(cookie));
    }
    // The engine announces the cookies it already holds through cookieAdded.
    paneCookies_.loadAllCookies();
}

CookieBridge::~CookieBridge() {
    store_.removeListener(listenerId_);
    std::lock_guard lock(relay_->mutex);
    relay_->bridge = nullptr;
}

void CookieBridge::paneCookieAdded(const QNetworkCookie& cookie) {
    const Cookie received = toCookie(cookie);
    // The cookies this bridge gave the pane come back here; the store holds them already.
    const std::vector<Cookie> held = store_.list();
    if (std::find(held.begin(), held.end(), received) == held.end()) {
        store_.add(received);
    }
}

void CookieBridge::paneCookieRemoved(const QNetworkCookie& cookie) {
    const Cookie gone = toCookie(cookie);
    // The engine also reports the old cookie when a new one replaces it; if the store already
    // holds another value under that key (a response replaced it), the store is ahead and keeps it.
    const std::vector<Cookie> held = store_.list();
    const bool storeHoldsIt = std::any_of(held.begin(), held.end(), [&gone](const Cookie& stored) {
        return sameKey(stored, gone) && stored.value == gone.value;
    });
    if (storeHoldsIt) {
        store_.remove(gone.domain, gone.path, gone.name);
    }
}

void CookieBridge::storeChanged(const CookieChange& change) {
    if (change.kind == CookieChange::Kind::Set) {
        paneCookies_.setCookie(toNetworkCookie(change.cookie), originOf(change.cookie));
    } else {
        paneCookies_.deleteCookie(toNetworkCookie(change.cookie), originOf(change.cookie));
    }
}

} // namespace velmora
