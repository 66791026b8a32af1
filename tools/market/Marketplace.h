#pragma once

#include "market/Catalogue.h"
#include "market/Faults.h"
#include "market/HttpMessage.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace velmora::market {

/// Where a request goes: its kind and the parts of its address that the answer needs.
struct Route {
    RequestKind kind = RequestKind::Other;
    std::string hostName; ///< the Host header's name part, lower case
    std::string label;    ///< the part of the host name before ".D" ("s", "shop123", "" for D itself)
    std::string path;
    std::string query;
    std::string shopId; ///< for shop hosts
};

/// The marketplace's content: catalogues, their configuration, and the answer to every address.
class Marketplace {
public:
    /// domain is D with or without a port.
    explicit Marketplace(std::string domain);

    /// Sets the port that D carries when it was given without one.
    void setPort(std::uint16_t port);

    /// D with its port.
    std::string domain() const;

    /// D's name part, which the Host header and the cookie domain use.
    const std::string& domainName() const { return domainName_; }

    /// Classifies a request by its Host header and path.
    Route classify(const HttpRequest& request) const;

    /// The regular answer to a request; with invalidEncoding, bytes that the page's encoding does not allow
    /// are put into the first title (or handle) of the data.
    HttpResponse answer(const Route& route, const HttpRequest& request, bool invalidEncoding) const;

    // Catalogue configuration and the expected data; MarketServer documents each of these.
    void setKeyword(const std::string& keyword, const KeywordSettings& settings);
    int listingCount(const std::string& keyword) const;
    PagerForm pagerForm(const std::string& keyword) const;
    std::vector<Listing> listings(const std::string& keyword, const SearchOptions& options) const;
    int pageCount(const std::string& keyword, const SearchOptions& options) const;
    void setShop(const std::string& shopId, const ShopSettings& settings);
    ShopSettings shopSettings(const std::string& shopId) const;
    Cookie signInCookie() const;

private:
    struct KeywordEntry;
    using Selection = std::shared_ptr<const std::vector<std::size_t>>;

    std::shared_ptr<const KeywordEntry> keywordEntry(const std::string& keyword) const;
    Selection selection(const KeywordEntry& entry, const SearchOptions& options) const;
    ShopSettings shopSettingsLocked(const std::string& shopId) const;
    bool signedIn(const HttpRequest& request) const;

    HttpResponse searchAnswer(const Route& route, bool invalidEncoding) const;
    HttpResponse detailAnswer(const Route& route, bool invalidEncoding) const;
    HttpResponse shopAnswer(const Route& route, const HttpRequest& request, bool invalidEncoding) const;
    HttpResponse signInAnswer(const Route& route, const HttpRequest& request) const;
    HttpResponse otherAnswer(const Route& route) const;

    std::string domainName_;
    std::string domainPort_; ///< the port D was given with, "" when the bound port is used
    std::uint16_t port_ = 0;

    mutable std::mutex mutex_;
    std::map<std::string, KeywordSettings> keywordSettings_;
    std::map<std::string, ShopSettings> shopSettings_;
    mutable std::map<std::string, std::shared_ptr<const KeywordEntry>> keywordCache_;
};

} // namespace velmora::market
