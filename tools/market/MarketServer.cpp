#include "market/MarketServer.h"

#include "market/Escaping.h"
#include "market/HttpServer.h"
#include "market/ItemFacts.h"
#include "market/Marketplace.h"
#include "market/Random.h"
#include "market/ShopPages.h"
#include "market/SitePages.h"

#include <algorithm>
#include <mutex>

namespace velmora::market {

namespace {

constexpr std::size_t garbageBytes = 16 * 1024;

HttpResponse utf8Page(int status, std::string body) {
    HttpResponse response;
    response.status = status;
    response.headers.emplace_back("Content-Type", "text/html;charset=UTF-8");
    response.body = std::move(body);
    return response;
}

// The query key that marks an address inside a redirect loop.
const std::string loopKey = "redirect_loop";

HttpResponse redirectTo(const std::string& location) {
    HttpResponse response = utf8Page(302, "");
    response.headers.emplace_back("Location", location);
    return response;
}

// Pads a body with blank lines: whitespace after the content keeps HTML and JSON alike well-formed.
void padBody(std::string& body, std::size_t size) {
    const std::string line = std::string(127, ' ') + "\n";
    body.reserve(size);
    while (body.size() + line.size() <= size)
        body += line;
    body.append(size > body.size() ? size - body.size() : 0, ' ');
}

// Header lines of the kind a front server adds, enough of them to pass the given size.
void addBulkyHeaders(HeaderList& headers, std::size_t size, const std::string& domain) {
    std::size_t added = 0;
    for (int i = 0; added < size; ++i) {
        std::string value = "<//img." + domain + "/tfs/TB1" + std::to_string(1000000 + i * 7919) +
                            "_!!0-tps-750-300.jpg>; rel=preload; as=image; nopush";
        added += 6 + value.size() + 2;
        headers.emplace_back("Link", std::move(value));
    }
}

} // namespace

struct MarketServer::State {
    explicit State(std::string domain)
        : market(std::move(domain)),
          server([this](const HttpRequest& request, int connection) { return handle(request, connection); }) {
    }

    struct FaultEntry {
        FaultRule rule;
        int seen = 0;
    };

    HttpReply handle(const HttpRequest& request, int connection);
    std::optional<FaultRule> pickFault(const Route& route);
    HttpReply faultReply(const FaultRule& rule, const Route& route, const HttpRequest& request,
                         int number) const;

    Marketplace market;
    HttpServer server;

    std::mutex faultMutex;
    std::vector<FaultEntry> faults;

    std::mutex logMutex;
    std::vector<RequestRecord> log;
    int requestCount = 0;
    std::function<void(const RequestRecord&)> observer;
};

HttpReply MarketServer::State::handle(const HttpRequest& request, int connection) {
    const Route route = market.classify(request);
    RequestRecord record;
    {
        std::lock_guard lock(logMutex);
        record.number = ++requestCount;
    }
    record.connection = connection;
    record.method = request.method;
    record.host = request.header("Host");
    record.target = request.target;
    record.headers = request.headers;
    record.body = request.body;
    record.kind = route.kind;

    HttpReply reply;
    if (hasQueryKey(route.query, loopKey)) {
        // Inside a redirect loop: the address keeps sending the client back to itself, whatever the rules
        // say.
        record.fault = FaultType::RedirectLoop;
        reply.response = redirectTo("http://" + request.header("Host") + request.target);
    } else if (const std::optional<FaultRule> fault = pickFault(route)) {
        record.fault = fault->type;
        reply = faultReply(*fault, route, request, record.number);
    } else {
        reply.response = market.answer(route, request, false);
    }
    record.status = reply.response.status;
    record.bodyBytes = reply.response.body.size();

    std::function<void(const RequestRecord&)> notify;
    {
        std::lock_guard lock(logMutex);
        log.push_back(record);
        notify = observer;
    }
    if (notify)
        notify(record);
    return reply;
}

std::optional<FaultRule> MarketServer::State::pickFault(const Route& route) {
    const std::string target = route.path + (route.query.empty() ? "" : "?" + route.query);
    std::lock_guard lock(faultMutex);
    std::optional<FaultRule> hit;
    for (FaultEntry& entry : faults) {
        const FaultRule& rule = entry.rule;
        if ((rule.kind && *rule.kind != route.kind) || !route.hostName.starts_with(rule.host) ||
            !target.starts_with(rule.pathPrefix))
            continue;
        const int number = ++entry.seen;
        const bool inRange = number >= rule.firstRequest &&
                             (rule.count == FaultRule::always || number < rule.firstRequest + rule.count);
        if (inRange && !hit)
            hit = rule;
    }
    return hit;
}

HttpReply MarketServer::State::faultReply(const FaultRule& rule, const Route& route,
                                          const HttpRequest& request, int number) const {
    const std::string address = "http://" + request.header("Host") + request.target;
    HttpReply reply;
    switch (rule.type) {
    case FaultType::Delay:
        reply.response = market.answer(route, request, false);
        reply.delayMs = rule.delayMs;
        break;
    case FaultType::Stall:
        reply.response = market.answer(route, request, false);
        reply.delivery = Delivery::Stall;
        break;
    case FaultType::Drip:
        reply.response = market.answer(route, request, false);
        reply.delivery = Delivery::Drip;
        reply.dripIntervalMs = rule.dripIntervalMs;
        break;
    case FaultType::ResetMidBody:
        reply.response = market.answer(route, request, false);
        reply.delivery = Delivery::ResetMidBody;
        break;
    case FaultType::ServerError:
        reply.response = utf8Page(500, serverErrorPage());
        break;
    case FaultType::Garbage: {
        reply.response = market.answer(route, request, false);
        Rng rng(static_cast<std::uint64_t>(number));
        std::string& body = reply.response.body;
        body.resize(garbageBytes);
        for (char& byte : body)
            byte = static_cast<char>(rng.next() & 0xFF);
        break;
    }
    case FaultType::HugePage:
        reply.response = market.answer(route, request, false);
        padBody(reply.response.body, rule.hugeBytes);
        break;
    case FaultType::InvalidEncoding:
        reply.response = market.answer(route, request, true);
        break;
    case FaultType::RedirectLoop:
        reply.response = redirectTo(address + (request.target.find('?') == std::string::npos ? "?" : "&") +
                                    loopKey + "=1");
        break;
    case FaultType::OversizedHeaders:
        reply.response = market.answer(route, request, false);
        addBulkyHeaders(reply.response.headers, rule.headerBytes, market.domain());
        break;
    case FaultType::SignInWall:
        reply.response = utf8Page(200, signInWallPage(market.domain(), address));
        break;
    case FaultType::SliderCheck:
        reply.response = utf8Page(200, sliderCheckPage(market.domain(), address));
        break;
    }
    return reply;
}

MarketServer::MarketServer(std::string domainName) : state_(std::make_unique<State>(std::move(domainName))) {}

MarketServer::~MarketServer() {
    stop();
}

bool MarketServer::start(std::uint16_t port) {
    if (!state_->server.start(port))
        return false;
    state_->market.setPort(state_->server.port());
    return true;
}

void MarketServer::stop() {
    state_->server.stop();
}

std::uint16_t MarketServer::port() const {
    return state_->server.port();
}

std::string MarketServer::domain() const {
    return state_->market.domain();
}

std::string MarketServer::url(const std::string& label, const std::string& target) const {
    return "http://" + (label.empty() ? "" : label + ".") + domain() + target;
}

std::vector<RequestRecord> MarketServer::requests() const {
    std::lock_guard lock(state_->logMutex);
    return state_->log;
}

void MarketServer::clearRequests() {
    std::lock_guard lock(state_->logMutex);
    state_->log.clear();
}

void MarketServer::setRequestObserver(std::function<void(const RequestRecord&)> observer) {
    std::lock_guard lock(state_->logMutex);
    state_->observer = std::move(observer);
}

void MarketServer::addFault(const FaultRule& rule) {
    std::lock_guard lock(state_->faultMutex);
    state_->faults.push_back({rule, 0});
}

void MarketServer::clearFaults() {
    std::lock_guard lock(state_->faultMutex);
    state_->faults.clear();
}

void MarketServer::setKeyword(const std::string& keyword, const KeywordSettings& settings) {
    state_->market.setKeyword(keyword, settings);
}

int MarketServer::listingCount(const std::string& keyword) const {
    return state_->market.listingCount(keyword);
}

PagerForm MarketServer::pagerForm(const std::string& keyword) const {
    return state_->market.pagerForm(keyword);
}

std::vector<Listing> MarketServer::listings(const std::string& keyword, const SearchOptions& options) const {
    return state_->market.listings(keyword, options);
}

int MarketServer::pageCount(const std::string& keyword, const SearchOptions& options) const {
    return state_->market.pageCount(keyword, options);
}

ItemSales MarketServer::itemSales(const std::string& itemId) const {
    return market::itemSales(itemId);
}

void MarketServer::setShop(const std::string& shopId, const ShopSettings& settings) {
    state_->market.setShop(shopId, settings);
}

ShopSettings MarketServer::shopSettings(const std::string& shopId) const {
    return state_->market.shopSettings(shopId);
}

std::vector<ShopItem> MarketServer::shopItems(const std::string& shopId, int page) const {
    return shopPageItems(shopId, shopSettings(shopId), page, domain());
}

bool MarketServer::shopPageIsTmall(const std::string& shopId, int page) const {
    const ShopSettings shop = shopSettings(shopId);
    return market::shopPageIsTmall(shop, std::clamp(page, 1, shopLastPage(shop)));
}

int MarketServer::shopPageCount(const std::string& shopId) const {
    return shopLastPage(shopSettings(shopId));
}

std::string MarketServer::shopAsyncSearchValue(const std::string& shopId) const {
    return asyncSearchValue(shopId);
}

Cookie MarketServer::signInCookie() const {
    return state_->market.signInCookie();
}

} // namespace velmora::market
