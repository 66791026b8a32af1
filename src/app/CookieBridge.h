#pragma once

#include "http/CookieStore.h"

#include <QNetworkCookie>
#include <QObject>

#include <memory>

class QWebEngineCookieStore;

namespace velmora {

/// The cookie of the store that a cookie of the browser engine stands for; names and values stay bytes.
Cookie toCookie(const QNetworkCookie& cookie);

/// The browser engine's form of a cookie of the store.
QNetworkCookie toNetworkCookie(const Cookie& cookie);

/// Keeps the browser pane's cookies and the HTTP cookie store the same, in both directions, so a
/// sign-in made in the pane reaches the collectors' requests and a cookie a response sets reaches
/// the pane. Lives on the UI thread; the store's changes arrive from the exchanging threads.
class CookieBridge : public QObject {
    Q_OBJECT
public:
    /// Brings each side's present cookies to the other and follows every later change.
    CookieBridge(QWebEngineCookieStore& paneCookies, CookieStore& store, QObject* parent = nullptr);
    ~CookieBridge() override;
    CookieBridge(const CookieBridge&) = delete;
    CookieBridge& operator=(const CookieBridge&) = delete;

private:
    struct Relay;

    void paneCookieAdded(const QNetworkCookie& cookie);
    void paneCookieRemoved(const QNetworkCookie& cookie);
    void storeChanged(const CookieChange& change);

    QWebEngineCookieStore& paneCookies_;
    CookieStore& store_;
    std::shared_ptr<Relay> relay_;
    int listenerId_ = 0;
};

} // namespace velmora
