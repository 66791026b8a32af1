#include "market/Marketplace.h"

#include "market/CodePage.h"
#include "market/DetailAnswer.h"
#include "market/Escaping.h"
#include "market/ItemFacts.h"
#include "market/KeywordCatalogue.h"
#include "market/Random.h"
#include "market/SearchPage.h"
#include "market/ShopPages.h"
#include "market/SitePages.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace velmora::market {

namespace {

// Bytes that no decoder of the page's encoding accepts. The code page 936 ones come in pairs so that a
// reader stepping over two-byte characters stays in step with the markup that follows.
const std::string invalidUtf8 = "\xE4\xB8\xC3\x28\xFF\xFE";
const std::string invalidGbk = "\x81\x7F\xFF\xFF";
// Stands for invalidGbk while a page is still UTF-8; conversion leaves it alone.
const std::string gbkPlaceholder = "\x01\x02\x01";

const char* const utf8Html = "text/html;charset=UTF-8";
const char* const gbkHtml = "text/html;charset=GBK";

constexpr std::size_t keywordCacheLimit = 64;

std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

HttpResponse page(int status, const char* contentType, std::string body) {
    HttpResponse response;
    response.status = status;
    response.headers.emplace_back("Content-Type", contentType);
    response.headers.emplace_back("Vary", "Accept-Encoding");
    response.body = std::move(body);
    return response;
}

// Sends a page written in UTF-8 in code page 936, as the shop pages are.
HttpResponse gbkPage(const std::string& utf8, bool invalidEncoding) {
    std::string body = utf8ToGbk(utf8);
    if (invalidEncoding)
        for (std::size_t at = body.find(gbkPlaceholder); at != std::string::npos;
             at = body.find(gbkPlaceholder, at))
            body.replace(at, gbkPlaceholder.size(), invalidGbk);
    return page(200, gbkHtml, std::move(body));
}

std::optional<double> priceBound(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size())
        return std::nullopt;
    return value;
}

// The search parameters: sort=sale-desc, filter=reserve_price[lo,hi] (either bound may be empty), tab=mall.
SearchOptions searchOptions(std::string_view query) {
    SearchOptions options;
    options.bySales = queryValue(query, "sort") == "sale-desc";
    options.tmallOnly = queryValue(query, "tab") == "mall";
    const std::string filter = percentDecode(queryValue(query, "filter"), true);
    const std::string_view prefix = "reserve_price[";
    if (filter.starts_with(prefix) && filter.ends_with("]")) {
        const std::string range = filter.substr(prefix.size(), filter.size() - prefix.size() - 1);
        const std::size_t comma = range.find(',');
        if (comma != std::string::npos) {
            options.minPrice = priceBound(range.substr(0, comma));
            options.maxPrice = priceBound(range.substr(comma + 1));
        }
    }
    return options;
}

std::string selectionKey(const SearchOptions& options) {
    char key[96];
    std::snprintf(key, sizeof key, "%d|%d|%d:%.4f|%d:%.4f", options.bySales, options.tmallOnly,
                  options.minPrice.has_value(), options.minPrice.value_or(0), options.maxPrice.has_value(),
                  options.maxPrice.value_or(0));
    return key;
}

int numberOr(const std::string& text, int fallback) {
    if (!allDigits(text) || text.size() > 9)
        return fallback;
    return std::atoi(text.c_str());
}

// The values of the query and, for a form post, of the body; decoded.
std::vector<std::pair<std::string, std::string>> formFields(const Route& route, const HttpRequest& request) {
    std::vector<std::pair<std::string, std::string>> fields;
    for (auto& [key, value] : splitQuery(request.body))
        fields.emplace_back(percentDecode(key, true), percentDecode(value, true));
    for (auto& [key, value] : splitQuery(route.query))
        fields.emplace_back(percentDecode(key, true), percentDecode(value, true));
    return fields;
}

const std::string* field(const std::vector<std::pair<std::string, std::string>>& fields,
                         std::string_view name) {
    for (const auto& [key, value] : fields)
        if (key == name)
            return &value;
    return nullptr;
}

// The name=value pairs of a Cookie header.
std::vector<std::pair<std::string, std::string>> cookiePairs(std::string_view header) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::size_t start = 0;
    while (start < header.size()) {
        std::size_t end = header.find(';', start);
        if (end == std::string_view::npos)
            end = header.size();
        std::string_view part = header.substr(start, end - start);
        while (!part.empty() && part.front() == ' ')
            part.remove_prefix(1);
        if (const std::size_t equals = part.find('='); equals != std::string_view::npos)
            pairs.emplace_back(std::string(part.substr(0, equals)), std::string(part.substr(equals + 1)));
        start = end + 1;
    }
    return pairs;
}

} // namespace

struct Marketplace::KeywordEntry {
    std::vector<Listing> listings;
    mutable std::mutex mutex;
    mutable std::map<std::string, Selection> selections;
};

Marketplace::Marketplace(std::string domain) {
    const std::size_t colon = domain.find(':');
    domainName_ = lowerCase(domain.substr(0, colon));
    if (colon != std::string::npos)
        domainPort_ = domain.substr(colon + 1);
}

void Marketplace::setPort(std::uint16_t port) {
    std::lock_guard lock(mutex_);
    port_ = port;
    keywordCache_.clear();
}

std::string Marketplace::domain() const {
    if (!domainPort_.empty())
        return domainName_ + ":" + domainPort_;
    std::lock_guard lock(mutex_);
    return port_ ? domainName_ + ":" + std::to_string(port_) : domainName_;
}

Route Marketplace::classify(const HttpRequest& request) const {
    Route route;
    std::string target = request.target;
    std::string host = request.header("Host");
    if (target.starts_with("http://")) {
        const std::size_t slash = target.find('/', 7);
        host = target.substr(7, slash == std::string::npos ? std::string::npos : slash - 7);
        target = slash == std::string::npos ? "/" : target.substr(slash);
    }
    route.hostName = lowerCase(host.substr(0, host.find(':')));
    const std::size_t question = target.find('?');
    route.path = target.substr(0, question);
    route.query = question == std::string::npos ? std::string() : target.substr(question + 1);
    if (route.hostName == domainName_) {
        route.label.clear();
    } else if (route.hostName.ends_with("." + domainName_)) {
        route.label = route.hostName.substr(0, route.hostName.size() - domainName_.size() - 1);
    } else {
        route.label = "?";
        return route;
    }
    const std::string& label = route.label;
    const std::string& path = route.path;
    if (label == "s") {
        if (path == "/search")
            route.kind =
                hasQueryKey(route.query, "s") ? RequestKind::ResultPage : RequestKind::KeywordFirstLook;
    } else if (label == "hws.m") {
        if (path.starts_with("/cache/wdetail/5.0"))
            route.kind = RequestKind::ItemDetail;
    } else if (label.starts_with("shop")) {
        std::string_view rest = std::string_view(label).substr(4);
        const std::size_t digits = std::min(rest.find_first_not_of("0123456789"), rest.size());
        const std::string_view tail = rest.substr(digits);
        if (digits > 0 && (tail.empty() || tail == ".tmall")) {
            route.shopId = std::string(rest.substr(0, digits));
            if (path == "/search.htm")
                route.kind = RequestKind::ShopSearchPage;
            else if (path.starts_with("/i/asynSearch.htm"))
                route.kind = RequestKind::ShopItemPage;
            else if (path.empty() || path == "/" || path.ends_with(".htm") || path.ends_with(".html"))
                route.kind = RequestKind::ShopAddressPage;
        }
    } else if (label == "item" || label == "detail.tmall") {
        if (path == "/item.htm")
            route.kind = RequestKind::ShopAddressPage;
    } else if (label == "login") {
        route.kind = RequestKind::SignIn;
    } else if (label.empty() || label == "www" || label == "tmall" || label == "www.tmall") {
        if (path != "/favicon.ico")
            route.kind = RequestKind::HomePage;
    }
    return route;
}

HttpResponse Marketplace::answer(const Route& route, const HttpRequest& request, bool invalidEncoding) const {
    switch (route.kind) {
    case RequestKind::KeywordFirstLook:
    case RequestKind::ResultPage:
        return searchAnswer(route, invalidEncoding);
    case RequestKind::ItemDetail:
        return detailAnswer(route, invalidEncoding);
    case RequestKind::ShopAddressPage:
    case RequestKind::ShopSearchPage:
    case RequestKind::ShopItemPage:
        return shopAnswer(route, request, invalidEncoding);
    case RequestKind::SignIn:
        return signInAnswer(route, request);
    case RequestKind::HomePage:
        return page(200, utf8Html, homePage(domain()));
    case RequestKind::Other:
        break;
    }
    return otherAnswer(route);
}

HttpResponse Marketplace::searchAnswer(const Route& route, bool invalidEncoding) const {
    SearchPageContent content;
    // The search box sends the keyword in code page 936, with "+" for a space.
    content.keyword = gbkToUtf8(percentDecode(queryValue(route.query, "q"), true));
    content.domain = domain();
    content.target = route.path + (route.query.empty() ? "" : "?" + route.query);
    const SearchOptions options = searchOptions(route.query);
    const auto entry = keywordEntry(content.keyword);
    const Selection kept = selection(*entry, options);
    content.pagerForm = pagerForm(content.keyword);
    content.totalCount = static_cast<int>(kept->size());
    content.totalPage = pagesFor(kept->size());
    content.offset = numberOr(queryValue(route.query, "s"), 0);
    content.currentPage = content.offset / resultPageSize + 1;
    const std::size_t first = std::min<std::size_t>(static_cast<std::size_t>(content.offset), kept->size());
    const std::size_t last = std::min<std::size_t>(first + resultPageSize, kept->size());
    for (std::size_t i = first; i < last; ++i)
        content.listings.push_back(&entry->listings[(*kept)[i]]);
    if (invalidEncoding)
        content.invalidBytes = invalidUtf8;
    HttpResponse response = page(200, utf8Html, searchPage(content));
    response.headers.emplace_back("Cache-Control", "no-cache");
    return response;
}

HttpResponse Marketplace::detailAnswer(const Route& route, bool invalidEncoding) const {
    const std::string itemId = percentDecode(queryValue(route.query, "id"), false);
    const std::string shopId = shopOfItem(itemId);
    return page(
        200, "application/json;charset=UTF-8",
        itemDetailAnswer(itemId, shopSettings(shopId), shopId, domain(), invalidEncoding ? invalidUtf8 : ""));
}

HttpResponse Marketplace::shopAnswer(const Route& route, const HttpRequest& request,
                                     bool invalidEncoding) const {
    const std::string invalid = invalidEncoding ? gbkPlaceholder : "";
    const std::string d = domain();
    if (route.shopId.empty()) {
        // An item page, which names the item's shop.
        const std::string itemId = percentDecode(queryValue(route.query, "id"), false);
        if (!allDigits(itemId))
            return page(404, utf8Html, notFoundPage(d));
        const std::string shopId = shopOfItem(itemId);
        return gbkPage(itemPage(itemId, shopId, shopSettings(shopId), d, invalid), invalidEncoding);
    }
    const ShopSettings shop = shopSettings(route.shopId);
    switch (route.kind) {
    case RequestKind::ShopSearchPage:
        return gbkPage(shopSearchPage(route.shopId, shop, d, signedIn(request), invalid), invalidEncoding);
    case RequestKind::ShopItemPage: {
        std::string callback = queryValue(route.query, "callback");
        const bool plainName = !callback.empty() && callback.size() < 64 &&
                               std::all_of(callback.begin(), callback.end(), [](char c) {
                                   return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                          (c >= '0' && c <= '9') || c == '_' || c == '.';
                               });
        if (!plainName)
            callback = "jsonp";
        const int pageNumber = numberOr(queryValue(route.query, "pageNo"), 1);
        return gbkPage(shopItemAnswer(route.shopId, shop, pageNumber, callback, d, invalid), invalidEncoding);
    }
    default:
        return gbkPage(shopHomePage(route.shopId, shop, d, invalid), invalidEncoding);
    }
}

HttpResponse Marketplace::signInAnswer(const Route& route, const HttpRequest& request) const {
    const std::string d = domain();
    const auto fields = formFields(route, request);
    std::string redirect = field(fields, "redirectURL") ? *field(fields, "redirectURL") : "";
    if (redirect.empty())
        redirect = "http://www." + d + "/";
    // The simulator speaks plain HTTP: a return address under D that asks for https gets http.
    if (redirect.starts_with("https://")) {
        const std::string host = redirect.substr(8, redirect.find_first_of("/?#", 8) - 8);
        const std::string name = lowerCase(host.substr(0, host.find(':')));
        if (name == domainName_ || name.ends_with("." + domainName_))
            redirect = "http://" + redirect.substr(8);
    }
    const std::string cookieTail = "; Domain=" + domainName_ + "; Path=/";
    const Cookie session = signInCookie();
    if (route.path == "/member/logout.jhtml") {
        HttpResponse response = page(302, utf8Html, "");
        response.headers.emplace_back("Set-Cookie", session.name + "=" + cookieTail + "; Max-Age=0");
        response.headers.emplace_back("Location", redirect);
        return response;
    }
    if (route.path != "/member/login.jhtml")
        return page(404, utf8Html, notFoundPage(d));
    const std::string* user = field(fields, "TPL_username");
    if (user == nullptr || user->empty()) {
        HttpResponse response = page(200, utf8Html, signInPage(d, redirect, user ? "请输入账户名" : ""));
        response.headers.emplace_back("Cache-Control", "no-store");
        return response;
    }
    HttpResponse response = page(302, utf8Html, "");
    response.headers.emplace_back("Set-Cookie",
                                  session.name + "=" + session.value + cookieTail + "; HttpOnly");
    response.headers.emplace_back("Set-Cookie", "_tb_token_=" + session.value.substr(0, 13) + cookieTail);
    response.headers.emplace_back("Set-Cookie", "_nk_=" + percentEncode(*user) + cookieTail);
    response.headers.emplace_back("Set-Cookie", "unb=" + sellerUserId(*user) + cookieTail + "; HttpOnly");
    response.headers.emplace_back("Location", redirect);
    return response;
}

HttpResponse Marketplace::otherAnswer(const Route& route) const {
    if (route.label == "img")
        return page(200, "image/gif", pixelGif());
    if (route.label == "g" && (route.path.ends_with(".css") || route.path.ends_with(".js")))
        return page(200, route.path.ends_with(".css") ? "text/css" : "application/javascript", "");
    return page(404, utf8Html, notFoundPage(domain()));
}

bool Marketplace::signedIn(const HttpRequest& request) const {
    const Cookie session = signInCookie();
    for (const auto& [name, value] : request.headers)
        if (sameHeaderName(name, "Cookie"))
            for (const auto& [key, cookieValue] : cookiePairs(value))
                if (key == session.name && cookieValue == session.value)
                    return true;
    return false;
}

Cookie Marketplace::signInCookie() const {
    char value[40];
    std::snprintf(value, sizeof value, "%016llx%016llx",
                  static_cast<unsigned long long>(mixBits(hashText(domainName_))),
                  static_cast<unsigned long long>(mixBits(hashText(domainName_) ^ 0xc00c1e)));
    return {"cookie2", value};
}

void Marketplace::setKeyword(const std::string& keyword, const KeywordSettings& settings) {
    std::lock_guard lock(mutex_);
    keywordSettings_[keyword] = settings;
    keywordCache_.erase(keyword);
}

int Marketplace::listingCount(const std::string& keyword) const {
    std::lock_guard lock(mutex_);
    const auto it = keywordSettings_.find(keyword);
    if (it != keywordSettings_.end() && it->second.listingCount)
        return std::max(*it->second.listingCount, 0);
    return defaultListingCount(keyword);
}

PagerForm Marketplace::pagerForm(const std::string& keyword) const {
    std::lock_guard lock(mutex_);
    const auto it = keywordSettings_.find(keyword);
    if (it != keywordSettings_.end() && it->second.pagerForm)
        return *it->second.pagerForm;
    return defaultPagerForm(keyword);
}

std::vector<Listing> Marketplace::listings(const std::string& keyword, const SearchOptions& options) const {
    const auto entry = keywordEntry(keyword);
    const Selection kept = selection(*entry, options);
    std::vector<Listing> result;
    result.reserve(kept->size());
    for (std::size_t index : *kept)
        result.push_back(entry->listings[index]);
    return result;
}

int Marketplace::pageCount(const std::string& keyword, const SearchOptions& options) const {
    const auto entry = keywordEntry(keyword);
    return pagesFor(selection(*entry, options)->size());
}

void Marketplace::setShop(const std::string& shopId, const ShopSettings& settings) {
    std::lock_guard lock(mutex_);
    shopSettings_[shopId] = settings;
    // Listings show their shop's handle and Tmall status.
    keywordCache_.clear();
}

ShopSettings Marketplace::shopSettings(const std::string& shopId) const {
    std::lock_guard lock(mutex_);
    return shopSettingsLocked(shopId);
}

ShopSettings Marketplace::shopSettingsLocked(const std::string& shopId) const {
    const auto it = shopSettings_.find(shopId);
    return it != shopSettings_.end() ? it->second : defaultShopSettings(shopId);
}

std::shared_ptr<const Marketplace::KeywordEntry> Marketplace::keywordEntry(const std::string& keyword) const {
    const int count = listingCount(keyword);
    const std::string d = domain();
    std::lock_guard lock(mutex_);
    if (const auto it = keywordCache_.find(keyword); it != keywordCache_.end())
        return it->second;
    auto entry = std::make_shared<KeywordEntry>();
    entry->listings =
        buildListings(keyword, count, d, [this](const std::string& id) { return shopSettingsLocked(id); });
    if (keywordCache_.size() >= keywordCacheLimit)
        keywordCache_.clear();
    keywordCache_[keyword] = entry;
    return entry;
}

Marketplace::Selection Marketplace::selection(const KeywordEntry& entry, const SearchOptions& options) const {
    const std::string key = selectionKey(options);
    std::lock_guard lock(entry.mutex);
    auto& cached = entry.selections[key];
    if (!cached)
        cached = std::make_shared<const std::vector<std::size_t>>(selectListings(entry.listings, options));
    return cached;
}

} // namespace velmora::market
