#pragma once

#include "market/Catalogue.h"
#include "market/Faults.h"
#include "market/RequestRecord.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora::market {

/// The marketplace simulator: one loopback port that answers for every host under a market domain D
/// (s.D, hws.m.D, shop<ID>.D, item.D, detail.tmall.D, login.D, www.D), with deterministic catalogues,
/// switchable faults and a log of every request. All members are thread-safe.
class MarketServer {
public:
    /// domainName is D without a port ("market.localhost"); with a port ("market.localhost:8123") it is used
    /// as it is, otherwise the bound port is added.
    explicit MarketServer(std::string domainName = "market.localhost");
    ~MarketServer();
    MarketServer(const MarketServer&) = delete;
    MarketServer& operator=(const MarketServer&) = delete;

    /// Listens on 127.0.0.1:port (0: a free port); false when the port cannot be had.
    bool start(std::uint16_t port = 0);

    /// Stops listening and ends every connection, also stalled or dripping ones; safe to call twice.
    void stop();

    /// The bound port, 0 when not running.
    std::uint16_t port() const;

    /// D with its port, "market.localhost:41234".
    std::string domain() const;

    /// "http://" + label + "." + D + target, e.g. url("s", "/search?q=abc"); an empty label gives D itself.
    std::string url(const std::string& label, const std::string& target) const;

    /// Every request received since the start or the last clearRequests, in order.
    std::vector<RequestRecord> requests() const;

    /// Forgets the logged requests (numbering goes on).
    void clearRequests();

    /// Calls observer for every request once its answer is prepared (on the connection's thread).
    void setRequestObserver(std::function<void(const RequestRecord&)> observer);

    /// Adds a fault switch; see FaultRule for how it selects requests.
    void addFault(const FaultRule& rule);

    /// Removes every fault switch.
    void clearFaults();

    /// Overrides a keyword's catalogue size or page count form (keyword in UTF-8).
    void setKeyword(const std::string& keyword, const KeywordSettings& settings);

    /// The catalogue size a keyword has now.
    int listingCount(const std::string& keyword) const;

    /// The page count form a keyword answers with now.
    PagerForm pagerForm(const std::string& keyword) const;

    /// Every listing the search shows for the keyword and options, in result order: page n holds the
    /// listings [44(n-1), 44n) (the pager shows at most 100 pages).
    std::vector<Listing> listings(const std::string& keyword, const SearchOptions& options = {}) const;

    /// The page count the first look states for the keyword and options (0 when nothing is found).
    int pageCount(const std::string& keyword, const SearchOptions& options = {}) const;

    /// The sales figure of an item and the totalSoldQuantity text of its detail answer.
    ItemSales itemSales(const std::string& itemId) const;

    /// Overrides a shop's catalogue; start from shopSettings(shopId) to change one field.
    void setShop(const std::string& shopId, const ShopSettings& settings);

    /// The catalogue a shop has now (derived from the id unless set).
    ShopSettings shopSettings(const std::string& shopId) const;

    /// The items of a shop's item page n in page order; a page past the last repeats the last page.
    std::vector<ShopItem> shopItems(const std::string& shopId, int page) const;

    /// Whether a shop's item page n answers in the Tmall layout (with the storefront marker).
    bool shopPageIsTmall(const std::string& shopId, int page) const;

    /// The number of a shop's last item page.
    int shopPageCount(const std::string& shopId) const;

    /// The asynchronous search address that the signed-in search page hands out (with "&amp;" as in the
    /// page).
    std::string shopAsyncSearchValue(const std::string& shopId) const;

    /// The session cookie that signing in sets and that the shop search page checks.
    Cookie signInCookie() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace velmora::market
