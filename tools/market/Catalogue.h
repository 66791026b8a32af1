#pragma once

#include <optional>
#include <string>

namespace velmora::market {

/// How a keyword's result page states its page count.
enum class PagerForm {
    TotalPage, ///< "totalPage":N, in the page data
    MaxOnly,   ///< the older page script: {pageSize:44,currentPage:1,max:N,totalCount:...}
    None,      ///< no page count at all
};

/// Overrides for one keyword's catalogue; an empty field keeps the value derived from the keyword.
struct KeywordSettings {
    std::optional<int> listingCount{}; ///< listings before any filter (at most 100 pages are shown)
    std::optional<PagerForm> pagerForm{};
};

/// The search parameters that shape a result list.
struct SearchOptions {
    bool bySales = false;             ///< sort=sale-desc
    std::optional<double> minPrice{}; ///< lower bound of filter=reserve_price[lo,hi]
    std::optional<double> maxPrice{}; ///< upper bound of filter=reserve_price[lo,hi]
    bool tmallOnly = false;           ///< tab=mall
};

/// One listing of a keyword search, as the result pages show it. Texts are UTF-8.
struct Listing {
    std::string nid;
    std::string rawTitle;       ///< plain title
    std::string rawTitleField;  ///< the raw_title value as written in the page (JSON escapes)
    std::string detailUrl;      ///< "//item.D/item.htm?id=...&ns=1&abbucket=5" (detail.tmall.D for Tmall)
    std::string detailUrlField; ///< the detail_url value as written in the page (\u003d, \u0026)
    std::string userId;
    std::string nick;
    std::string shopId;
    bool tmall = false;
    std::string viewPrice; ///< "39.00"
    int sales = 0;         ///< the monthly sales figure behind view_sales and the item detail
    std::string viewSales; ///< "1234人付款", "1.2万+人付款"
    std::string location;  ///< "浙江 杭州"
};

/// What the mobile item detail says about an item's sales.
struct ItemSales {
    int sales = 0;            ///< the figure
    std::string soldQuantity; ///< the totalSoldQuantity text ("1234", "1.2万"), "" when the answer holds none
};

/// Which item-page layout a shop answers with.
enum class ShopLayout {
    Plain,       ///< ordinary storefront
    Tmall,       ///< Tmall storefront, with the storefront marker
    Alternating, ///< Tmall on odd page numbers, plain on even ones
};

/// One shop's catalogue; MarketServer::shopSettings gives the values derived from the shop id.
struct ShopSettings {
    int itemCount = 0;
    int pageSize = 24;
    ShopLayout layout = ShopLayout::Plain;
    int noSalesEvery = 0; ///< every n-th item of the catalogue shows no sale-num figure; 0: all show one
    std::string nick;     ///< the seller's handle, UTF-8
};

/// One item of a shop's item page, in page order. Texts are UTF-8 (the page sends code page 936).
struct ShopItem {
    std::string id;
    std::string link; ///< the item-name href as in the page: "//item.D/item.htm?id=..." or a Tmall address
    std::string title;
    std::string price;   ///< "39.00"
    std::string saleNum; ///< the sale-num figure, "" when the item shows none
};

/// A cookie's name and value.
struct Cookie {
    std::string name;
    std::string value;
};

} // namespace velmora::market
